#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "checking/Clock.h"
#include "checking/DrawEntry.h"
#include "checking/GameRules.h"
#include "checking/GameVariants.h"
#include "common/Result.h"
#include "plays/WheelFile.h"

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

// A play whose tier has a report line: the tier index and the play's physical line.
struct ReportedPlay {
    int tier;
    std::int64_t line;
    bool operator==(const ReportedPlay&) const = default;
};

// A run as far as it got.
struct CheckRun {
    Tally tally;
    std::int64_t playsRead = 0;          // "Lines Checked"
    std::vector<ReportedPlay> reported;  // in file order
    // At most this many reported plays are kept; past it they are all let go (`reportDropped`)
    // and the caller reads the lines again, so memory stays bounded whatever the winners.
    std::int64_t keepAtMost = INT64_MAX;
    // Parts of one file read side by side share one allowance instead (winners may crowd in one part).
    std::atomic<std::int64_t>* sharedAllowance = nullptr;
    bool reportDropped = false;
    bool aborted = false;        // stopped by the user
    std::int64_t elapsedMs = 0;  // from the start of the run to its end or abort

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

// Sorts plays into the game's tiers for one draw, in a game of `pool` numbers. Game numbers are
// small, so a table says at once whether a number was drawn; numbers beyond it are compared one
// by one.
class DrawMatcher {
public:
    DrawMatcher(const CheckGame& game, const DrawResult& draw, int pool);
    const CheckGame& game() const { return game_; }
    // Which plays are plays of the game at all.
    const PlayRule& rule() const { return rule_; }
    // The tier index of the play, or kNotAPlay when the rule refuses it.
    static constexpr int kNotAPlay = -1;
    int Classify(const Play& play) const;

    // Whether CheckUsualLines can take any line at all (a pool of at most 63 numbers, and a
    // processor with the vector instructions it is written for).
    bool HasQuickPath() const { return quick_.on; }
    // Checks the plays at the start of `bytes` while they are lines of the usual shape and the
    // game's rule accepts them, at most `most` of them, counting them into `run` as CheckPlays
    // does, the first on line `line`. Returns the bytes taken; `plays` gets their count. The
    // line it stops at is left to the plain reading, which also names its faults.
    std::size_t CheckUsualLines(std::string_view bytes, std::int64_t most, std::int64_t line, CheckRun& run,
                                std::int64_t& plays) const;

    // For a wheel read into plays of 64 bits: whether PackUsualLines can take any line, and the
    // usual lines at the start of `bytes` that the rule accepts, at most `most` of them, each
    // play's main numbers written to `out` seven bits apart in the order of the line. Returns the
    // bytes taken; `plays` gets their count. The line it stops at is left to the plain reading.
    bool HasPackPath() const { return quick_.blocks; }
    std::size_t PackUsualLines(std::string_view bytes, std::int64_t most, std::uint64_t* out,
                               std::int64_t& plays) const;

private:
    static constexpr std::uint32_t kTableSize = 256;
    static_assert((kTableSize & (kTableSize - 1)) == 0, "numbers are masked into the table");
    static constexpr std::uint8_t kInPool = 2;  // beside 1 for a drawn number
    bool IsMain(std::int32_t n) const;

    const CheckGame& game_;
    PlayRule rule_;
    DrawResult draw_;
    std::array<std::uint8_t, kTableSize> drawn_{};
    bool allDrawnInTable_ = true;  // then a number beyond the table cannot match
    bool smallPool_ = false;       // the table also says which numbers are in the pool

    // The draw as CheckUsualLines compares with it: a play is a bit per number.
    struct Quick {
        bool on = false;
        bool blocks = false;  // 64 bytes at a time (AVX-512), else a line at a time (AVX2)
        int numbers = 0;
        int mainPicks = 0;
        bool powerball = false;      // the last number is the powerball, else every number is a main pick
        std::uint64_t poolBits = 0;  // 1 to pool
        std::uint64_t drawn = 0;     // the main numbers
        std::uint64_t bonus = 0;     // the bonus, when a pick may hit it
        std::int32_t powerballDrawn = 0;
        // By matches and hit: the tier, and kReported when its plays have report lines.
        static constexpr int kTier = 0x7F, kReported = 0x80;
        std::array<std::array<std::uint8_t, 2>, kMaxMatches + 1> tier{};
    } quick_;
};

// The widest instructions the quick reading may use, for tests that compare every version with
// the plain reading on one machine: 64-byte blocks (AVX-512), a line at a time (AVX2), none.
enum class CheckInstructions { Widest, LineAtATime, Portable };
void AllowCheckInstructions(CheckInstructions most);

// "Match-3 For This Draw At Line 12" with its line end, appended to `report`.
void AppendReportLine(std::string& report, const Tier& tier, std::int64_t line);
// The report lines of the given plays, each ending in "\n".
std::string ReportLines(const CheckGame& game, std::span<const ReportedPlay> plays);

// Checks the plays `reader` gives until the end, a fault or a stop asked by `progress`. A play
// the matcher's rule refuses is a fault of the file.
Status CheckPlays(WheelReader& reader, const DrawMatcher& matcher, CheckRun& run, CheckProgress* progress,
                  int pollEvery);

// Checks every play of the wheel file against the draw, filling `run` (which starts empty).
// `progress`, when given, is polled after every `pollEvery` plays. A file that cannot be opened,
// holds a malformed line or a play that is no play of a game of `pool` numbers ends the run with
// that error; `run` keeps what was counted before it.
// A file that changed while it was read (see InputFile) ends the run with that error instead.
Status RunCheck(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                Clock& clock, CheckRun& run, CheckProgress* progress = nullptr, int pollEvery = 256);
Status RunCheck(const CheckGame& game, int pool, const DrawResult& draw, const std::shared_ptr<const InputFile>& wheel,
                Clock& clock, CheckRun& run, CheckProgress* progress = nullptr, int pollEvery = 256);

}  // namespace bm

namespace bm {

// The same check with the file split into pieces that `workers` threads read side by side, for
// large files on the command line. `progress` is polled from every worker thread with that
// piece's share of the run, so it must be safe to call from several threads. A fault is reported
// as the whole file's reading would report it.
Status RunCheckInParts(const CheckGame& game, int pool, const DrawResult& draw, const std::filesystem::path& wheel,
                       Clock& clock, CheckRun& run, int workers, CheckProgress* progress = nullptr,
                       int pollEvery = 4096);
Status RunCheckInParts(const CheckGame& game, int pool, const DrawResult& draw,
                       const std::shared_ptr<const InputFile>& wheel, Clock& clock, CheckRun& run, int workers,
                       CheckProgress* progress = nullptr, int pollEvery = 4096);

}  // namespace bm
