#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "checking/CheckEngine.h"
#include "checking/DrawHistory.h"
#include "common/Platform.h"

namespace bm {

// A wheel as the history counts it: each play packed into one 64-bit word (seven bits a main
// number, the powerball in the bits left), kept in chunks so that a large wheel is never copied
// while it grows. Numbers 1 to 127 fit; pools are at most two digits.
class CompactWheel {
public:
    static constexpr int kMaxPool = 127;
    static constexpr std::size_t kBytesPerPlay = sizeof(std::uint64_t);
    // Reads every play of the wheel once; a malformed line or a play that cannot be a ticket of
    // the game refuses the file, naming it, the line and the number. A wheel that would take more
    // than `memoryFree` bytes is refused too, before the machine runs short.
    static Result<CompactWheel> Read(const std::filesystem::path& wheel, const CheckGame& game, int pool,
                                     std::uint64_t memoryFree = FreeMemoryBytes());
    // The same from a file opened already. `keepGoing`, when given, is asked every few thousand
    // plays; false stops the reading with `stopped` set and what was read so far.
    static Result<CompactWheel> Read(const std::shared_ptr<const InputFile>& wheel, const CheckGame& game, int pool,
                                     const std::function<bool()>& keepGoing, bool& stopped,
                                     std::uint64_t memoryFree = FreeMemoryBytes());

    std::size_t size() const { return size_; }
    // What the plays take, chunks and all.
    std::size_t BytesHeld() const;
    int mainPicks() const { return mainPicks_; }
    bool powerball() const { return powerball_; }
    std::uint64_t Packed(std::size_t play) const { return chunks_[play >> kChunkShift][play & (kChunk - 1)]; }
    // The play's powerball, which may be past what its field holds.
    std::int32_t Powerball(std::size_t play) const;

    static constexpr int kFieldBits = 7;
    static constexpr std::uint64_t kFieldMask = (1u << kFieldBits) - 1;

private:
    static constexpr int kChunkShift = 16;
    static constexpr std::size_t kChunk = std::size_t{1} << kChunkShift;
    void Add(const Play& play);
    // The plays of `reader` added, as Read takes them; the last chunk is left whole.
    static Status ReadPlays(WheelReader& reader, CompactWheel& w, const CheckGame& game, int pool,
                            const std::function<bool()>& keepGoing, bool& stopped, std::uint64_t memoryFree);
    // The plays of `other` added after these (the last chunk not trimmed yet).
    void Append(CompactWheel&& other);
    // Once the wheel is read: the last chunk takes only what its plays need.
    void TrimLastChunk();

    std::vector<std::unique_ptr<std::uint64_t[]>> chunks_;
    std::size_t size_ = 0;
    int mainPicks_ = 0;
    bool powerball_ = false;
    bool trimmed_ = false;
    // Powerballs too large for their field, by play, in play order (a play holds the field's
    // highest value then).
    std::vector<std::pair<std::size_t, std::int32_t>> largePowerballs_;
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

// The instructions the counting may use, for tests of each version: the widest the processor
// has (the default), its 64-bit population count, or portable code only.
enum class HistoryInstructions { Widest, PopulationCount, Portable };
void AllowHistoryInstructions(HistoryInstructions most);

// The CSV a history run writes: header, one line per draw, the total line; LF line ends. With
// `money` (the draws file carries prizes) each line ends in "Won", what the plays won at the
// file's prizes, and the total line in their sum.
std::string HistoryCsvHeader(const CheckGame& game, bool money = false);
std::string HistoryCsvRow(const CheckGame& game, const HistoryRow& row, bool money = false);
std::string HistoryCsvTotal(const CheckGame& game, const HistoryRun& run, std::optional<long double> won = {});
// The column names of the tiers, in summary order ("Match 5+", "Jackpot").
std::vector<std::string> HistoryTierNames(const CheckGame& game);
// The draw as the CSV shows it: "3 11 12 14 41 43 +13".
std::string HistoryDrawText(const CheckGame& game, const DrawResult& draw);

}  // namespace bm
