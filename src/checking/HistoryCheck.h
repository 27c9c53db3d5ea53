#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "checking/CheckEngine.h"
#include "checking/DrawHistory.h"

namespace bm {

// A wheel held as bit sets of its main numbers, so that one play against one draw is two ANDs
// and two population counts. Numbers 1 to 127 fit; pools are at most two digits.
class CompactWheel {
public:
    static constexpr int kMaxPool = 127;
    // Reads every play of the wheel once; a malformed line or a play that cannot be a ticket of
    // the game refuses the file, naming it, the line and the number.
    static Result<CompactWheel> Read(const std::filesystem::path& wheel, const CheckGame& game, int pool);
    // The same from a file opened already. `keepGoing`, when given, is asked every so many plays;
    // false stops the reading with `stopped` set and what was read so far.
    static Result<CompactWheel> Read(const std::shared_ptr<const InputFile>& wheel, const CheckGame& game, int pool,
                                     const std::function<bool()>& keepGoing, bool& stopped);

    std::size_t size() const { return low_.size(); }

    std::vector<std::uint64_t> low_;   // bit n for numbers 1..63
    std::vector<std::uint64_t> high_;  // bit n-64 for numbers 64..127
    std::vector<std::int32_t> extra_;  // the powerball of a powerball play
    bool wide_ = false;                // some play holds a number beyond 63
};

// One draw of the history with its counts, by tier index of the game.
struct HistoryRow {
    HistoryDraw draw;
    Tally tally;
    std::int64_t wins = 0;
};

struct HistoryRun {
    std::int64_t draws = 0;
    std::int64_t plays = 0;
    Tally total;
    std::int64_t wins = 0;
    bool aborted = false;
    std::int64_t elapsedMs = 0;
    DrawsFileNotes drawsFile;  // repeated draws, date order and skipped lines of the draws file
};

// Polled on the calling thread between pieces of work (about every hundred million comparisons
// at most); false stops the run. `drawsDone` counts the draws whose rows have been given.
using HistoryPoll = std::function<bool(std::int64_t drawsDone)>;

// Checks the wheel against every draw the reader gives, in file order, handing each draw's row
// to `row` as soon as it is counted. Draws are taken a batch at a time, so memory does not grow
// with the history. `workers` threads share the plays.
Status RunHistory(const CheckGame& game, const CompactWheel& wheel, DrawsReader& draws,
                  const std::function<void(const HistoryRow&)>& row, HistoryRun& run, Clock& clock, int workers = 1,
                  const HistoryPoll& poll = {});

// The CSV a history run writes: header, one line per draw, the total line; LF line ends.
std::string HistoryCsvHeader(const CheckGame& game);
std::string HistoryCsvRow(const CheckGame& game, const HistoryRow& row);
std::string HistoryCsvTotal(const CheckGame& game, const HistoryRun& run);
// The column names of the tiers, in summary order ("Match 5+", "Jackpot").
std::vector<std::string> HistoryTierNames(const CheckGame& game);
// The draw as the CSV shows it: "3 11 12 14 41 43 +13".
std::string HistoryDrawText(const CheckGame& game, const DrawResult& draw);

}  // namespace bm
