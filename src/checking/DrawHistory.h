#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
#include "common/InputFile.h"
#include "common/Result.h"

namespace bm {

// One past draw of a results file.
struct HistoryDraw {
    std::string date;  // "YYYY-MM-DD", empty when the line held no date
    DrawResult draw;
    std::int64_t line = 0;  // physical 1-based line of the file
};

// A field as a date, in "YYYY-MM-DD": "YYYY-MM-DD", "YYYY/MM/DD", "M/D/YYYY" (month first),
// "D.M.YYYY" (day first) or eight digits "YYYYMMDD"; each must name a real day.
std::optional<std::string> ReadDrawDate(std::string_view field);

// What one line of a results file holds: nothing to read (blank, comment), a header (a line
// without a date that is not all numbers), a draw, or a fault. `fault` says what is wrong,
// without the file and line; for a header, what would be wrong were it meant as a draw.
struct DrawsLine {
    enum class Kind { Skip, Header, Draw, Fault } kind = Kind::Skip;
    HistoryDraw draw;
    std::string fault;
};
DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool);

// What a reading found besides the draws, complete once the reader reached the end of the file.
struct DrawsFileNotes {
    std::int64_t repeated = 0;      // draws with the date and numbers of an earlier draw
    std::int64_t outOfOrderLine = 0;  // the first dated draw against the order of those before it; 0: in order
    std::int64_t skipped = 0;       // lines passed over as no draws of the game (only when asked)
    std::int64_t firstSkippedLine = 0;
    std::string firstSkippedReason;
    std::string firstSkippedRefusal;  // the first skipped line's refusal, as a reading without skipping gives it
};

// What stderr says about a draws file besides its draws: the lines skipped, repeated draws,
// a file out of date order; one text per line, nothing for a clean file.
std::vector<std::string> DrawsFileNoteLines(const std::filesystem::path& file, const DrawsFileNotes& notes);
// The question asked before the window skips lines ("... Skip them?").
std::string SkipQuestion(const DrawsFileNotes& notes);

// Reads a results file draw by draw, so that a history of any length takes no more memory
// than one line (and eight bytes a draw to find repeated draws). Header lines may come before
// the first draw only. The first fault ends the reading with an error naming the file and line;
// with `skipInvalid`, every line after the headers that would be refused is passed over and
// counted instead.
class DrawsReader {
public:
    static Result<std::unique_ptr<DrawsReader>> Open(const std::filesystem::path& file, const CheckGame& game,
                                                     int pool, bool skipInvalid = false);
    // The same over a file opened already: a second pass reads the very file the first one read.
    static Result<std::unique_ptr<DrawsReader>> Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                     int pool, bool skipInvalid = false);
    ~DrawsReader();
    DrawsReader(const DrawsReader&) = delete;
    DrawsReader& operator=(const DrawsReader&) = delete;

    // The next draw; false at the end of the file or at a fault (then error() holds it).
    bool Next(HistoryDraw& draw);
    const std::optional<Error>& error() const { return error_; }
    std::int64_t draws() const { return draws_; }
    const DrawsFileNotes& notes() const { return notes_; }
    const std::shared_ptr<const InputFile>& input() const { return input_; }

private:
    DrawsReader(std::shared_ptr<const InputFile> input, const CheckGame& game, int pool, bool skipInvalid);
    enum class LineRead { Line, TooLong, End, Failed };
    LineRead ReadLine(std::string& line);
    bool Refill();
    void Note(const HistoryDraw& draw);
    void Finish();

    std::shared_ptr<const InputFile> input_;
    std::string name_;
    const CheckGame& game_;
    int pool_;
    bool skipInvalid_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::uint64_t position_ = 0;  // of the next read from the file
    bool atEnd_ = false;
    bool pastHeaders_ = false;
    bool finished_ = false;
    std::int64_t line_ = 0;
    std::int64_t draws_ = 0;
    std::string lastDate_;
    int direction_ = 0;  // +1 dates rising, -1 falling, 0 not known yet
    std::vector<std::uint64_t> keys_;
    DrawsFileNotes notes_;
    std::optional<Error> error_;
};

}  // namespace bm
