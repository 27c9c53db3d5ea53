#pragma once

#include <array>
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

// What one draw of a game holds: `main` numbers, perhaps a bonus drawn from the same pool after
// them, and `second` numbers (0 to 2) from a pool of their own (a powerball game: one). A pool of
// 0 for the second numbers: only "at least 1" is known of them.
struct DrawShape {
    int main = 6;
    bool bonus = false;
    int second = 0;
    int mainPool = 49;
    int secondPool = 0;
    int Size() const { return main + (bonus ? 1 : 0) + second; }
};
inline constexpr int kMaxSecondNumbers = 2;

// The shape of a checker game's draw: its extra number is a bonus, or a powerball of a pool of
// its own.
DrawShape DrawShapeOf(const CheckGame& game, int pool);

// The numbers of one draw, in the order the file gives them.
struct DrawnNumbers {
    std::array<std::int32_t, kMaxMatches> main{};
    int mainCount = 0;
    std::int32_t bonus = 0;  // 0: the shape has none
    std::array<std::int32_t, kMaxSecondNumbers> second{};
    int secondCount = 0;
};

// One past draw of a results file.
struct HistoryDraw {
    std::string date;  // "YYYY-MM-DD", empty when the line held no date
    DrawResult draw;   // as a checker game compares it: the bonus or the first second-pool number as its extra
    DrawnNumbers numbers;
    std::int64_t line = 0;  // physical 1-based line of the file
    // The prize of each division (1 first) the file gives for this draw, in hundredths; -1 where
    // its field is empty. Empty when the file names no prize columns.
    std::vector<std::int64_t> prizes;
};

// How "01/02/2020" is read: not known yet, day first or month first.
enum class DateOrder { Unknown, DayFirst, MonthFirst };

// "--date-order" values: "DMY" or "MDY".
std::optional<DateOrder> DateOrderFromText(std::string_view text);

// A field as a date, in "YYYY-MM-DD": "YYYY-MM-DD" (a time after it allowed), "YYYY/MM/DD",
// "A/B/YYYY" and "A-B-YYYY" in the given order (month first when not known), "D.M.YYYY" (day
// first), "DD-Mon-YYYY", "D Month YYYY", "Month D, YYYY", eight digits "YYYYMMDD", each perhaps
// after a day's name; each must name a real day.
std::optional<std::string> ReadDrawDate(std::string_view field, DateOrder order = DateOrder::MonthFirst);

// What a reading of a results file is asked besides the game.
struct DrawsOptions {
    bool skipInvalid = false;
    DateOrder dateOrder = DateOrder::Unknown;  // Unknown: settled by the file, or refused
    std::string from, to;                      // "YYYY-MM-DD" or empty: only the draws of those days are given
};

// What one line of a results file holds: nothing to read (blank, comment), a header (a line
// without a date that is not all numbers), a draw, or a fault. `fault` says what is wrong,
// without the file and line; for a header, what would be wrong were it meant as a draw.
struct DrawsLine {
    enum class Kind { Skip, Header, Draw, Fault } kind = Kind::Skip;
    HistoryDraw draw;
    std::optional<HistoryDraw> second;  // a second draw of the day on the same line
    std::string fault;
    int outside = 0;  // draws of the line passed over as outside the days asked for
    // Read by position after a date: the first field of the draw and its numbers per field.
    std::size_t spreadFrom = 0;
    std::vector<int> spread;
    std::size_t fields = 0;  // the line's fields, empty ones too
};
// A line read by position (no header naming its columns), dates month first when not known.
DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool,
                        DateOrder order = DateOrder::MonthFirst);

// An amount of money as results files write it ("$15,781.85", "133461,60", "1 234,5 EUR"), in
// hundredths; nothing for other text. Empty text or "-" is no amount either.
std::optional<std::int64_t> ReadFileAmount(std::string_view text);

// What a reading found besides the draws, complete once the reader reached the end of the file.
struct DrawsFileNotes {
    std::int64_t repeated = 0;        // draws with the date and numbers of an earlier draw
    std::int64_t outOfOrderLine = 0;  // the first dated draw against the order of those before it; 0: in order
    std::int64_t skipped = 0;         // lines passed over as no draws of the game (only when asked)
    std::int64_t firstSkippedLine = 0;
    std::string firstSkippedReason;
    std::string firstSkippedRefusal;  // the first skipped line's refusal, as a reading without skipping gives it
    std::int64_t outsideRange = 0;    // draws passed over as outside the days asked for
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
    static Result<std::unique_ptr<DrawsReader>> Open(const std::filesystem::path& file, const CheckGame& game, int pool,
                                                     bool skipInvalid = false);
    // The same over a file opened already: a second pass reads the very file the first one read.
    static Result<std::unique_ptr<DrawsReader>> Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                     int pool, bool skipInvalid = false);
    // With the reading's options; `game` only words the refusals as the checker does.
    static Result<std::unique_ptr<DrawsReader>> Open(const std::filesystem::path& file, const CheckGame& game, int pool,
                                                     const DrawsOptions& options);
    static Result<std::unique_ptr<DrawsReader>> Open(std::shared_ptr<const InputFile> input, const CheckGame& game,
                                                     int pool, const DrawsOptions& options);
    // Any shape of draw, the refusals in the reader's own words.
    static Result<std::unique_ptr<DrawsReader>> Open(const std::filesystem::path& file, const DrawShape& shape,
                                                     const DrawsOptions& options);
    static Result<std::unique_ptr<DrawsReader>> Open(std::shared_ptr<const InputFile> input, const DrawShape& shape,
                                                     const DrawsOptions& options);
    ~DrawsReader();
    DrawsReader(const DrawsReader&) = delete;
    DrawsReader& operator=(const DrawsReader&) = delete;

    // The next draw; false at the end of the file or at a fault (then error() holds it).
    bool Next(HistoryDraw& draw);
    const std::optional<Error>& error() const { return error_; }
    std::int64_t draws() const { return draws_; }
    const DrawsFileNotes& notes() const { return notes_; }
    const std::shared_ptr<const InputFile>& input() const { return input_; }
    // Whether the file's header names prize columns (known once the first draw is read).
    bool carriesPrizes() const;
    // How its dates were read.
    DateOrder dateOrder() const { return order_; }
    // Whether Open refused the file for dates that read both day first and month first; the
    // window then asks which.
    static bool AsksDateOrder(const Error& error);

private:
    struct Layout;
    DrawsReader(std::shared_ptr<const InputFile> input, const DrawShape& shape, const CheckGame* game,
                const DrawsOptions& options);
    static Result<std::unique_ptr<DrawsReader>> OpenWith(std::shared_ptr<const InputFile> input, const DrawShape& shape,
                                                         const CheckGame* game, const DrawsOptions& options);
    Status Survey();
    enum class LineRead { Line, TooLong, End, Failed };
    LineRead ReadLine(std::string& line);
    bool Refill();
    void Note(const HistoryDraw& draw);
    void Finish();

    std::shared_ptr<const InputFile> input_;
    std::string name_;
    DrawShape shape_;
    const CheckGame* game_;
    DrawsOptions options_;
    DateOrder order_ = DateOrder::MonthFirst;
    char separator_ = 0;  // ';' when the file's first line holds one: only it parts fields; 0: , ; and tab
    std::unique_ptr<Layout> layout_;
    std::vector<HistoryDraw> pending_;  // a second draw of the line last read
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    std::uint64_t position_ = 0;  // of the next read from the file
    bool atEnd_ = false;
    bool pastHeaders_ = false;
    // Without a header, how the first draw lay over its fields, and its line: every draw after
    // it must lie the same way, or a number missing would let the next column slide into it.
    std::optional<std::pair<std::size_t, std::vector<int>>> firstSpread_;
    std::size_t firstFields_ = 0;
    std::int64_t firstSpreadLine_ = 0;
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
