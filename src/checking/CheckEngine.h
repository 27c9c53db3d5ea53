#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "checking/Clock.h"
#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
#include "common/Result.h"
#include "printing/WheelFile.h"

namespace bm {

// The counters of one run, by tier index of the game (the game's tier order).
struct Tally {
    std::array<std::int64_t, kMaxTiers> count{};
    bool operator==(const Tally&) const = default;
};

struct Totals {
    std::int64_t plays = 0;
    std::int64_t losses = 0;
    std::int64_t wins = 0;
};
Totals TotalsOf(const CheckGame& game, const Tally& tally);

// A run as far as it got.
struct CheckRun {
    Tally tally;
    std::int64_t playsRead = 0;   // "Lines Checked"
    std::string reportLines;      // one line per reported play, each ending in "\n"
    bool aborted = false;         // stopped by the user
    std::int64_t elapsedMs = 0;   // from the start of the run to its end or abort

    double ElapsedSeconds() const { return static_cast<double>(elapsedMs) / 1000.0; }
};

// What a window needs while a run goes: a look at the run every few plays, to repaint its
// counts and to ask whether the user wants to stop.
class CheckProgress {
public:
    virtual ~CheckProgress() = default;
    // False stops the run; the plays read so far stay counted.
    virtual bool Poll(const CheckRun& run) = 0;
};

// The tier index of one play under the game's rules.
int ClassifyPlay(const CheckGame& game, const DrawResult& draw, const Play& play);

// "Match-3 For This Draw At Line 12" with its line end, appended to `report`.
void AppendReportLine(std::string& report, const Tier& tier, std::int64_t line);

// Checks every play of the wheel file against the draw, filling `run` (which the caller zeroes).
// `progress`, when given, is polled after every `pollEvery` plays. A file that cannot be opened
// or holds a malformed line ends the run with that error; `run` keeps what was counted before it.
Status RunCheck(const CheckGame& game, const DrawResult& draw, const std::filesystem::path& wheel, Clock& clock,
                CheckRun& run, CheckProgress* progress = nullptr, int pollEvery = 256);

}  // namespace bm
