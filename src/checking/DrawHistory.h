#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "checking/DrawEntry.h"
#include "checking/GameVariants.h"
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

// What one line of a results file holds: nothing to read (blank, comment, header), a draw, or
// a fault (the message says what, without the file and line).
struct DrawsLine {
    enum class Kind { Skip, Draw, Fault } kind = Kind::Skip;
    HistoryDraw draw;
    std::string fault;
};
DrawsLine ReadDrawsLine(std::string_view line, const CheckGame& game, int pool);

// Reads a results file draw by draw, so that a history of any length takes no more memory
// than one line. The first fault ends the reading with an error naming the file and line.
class DrawsReader {
public:
    static Result<std::unique_ptr<DrawsReader>> Open(const std::filesystem::path& file, const CheckGame& game,
                                                     int pool);
    ~DrawsReader();
    DrawsReader(const DrawsReader&) = delete;
    DrawsReader& operator=(const DrawsReader&) = delete;

    // The next draw; false at the end of the file or at a fault (then error() holds it).
    bool Next(HistoryDraw& draw);
    const std::optional<Error>& error() const { return error_; }
    std::int64_t draws() const { return draws_; }

private:
    DrawsReader(std::FILE* f, std::string name, const CheckGame& game, int pool);
    bool ReadLine(std::string& line);

    std::FILE* file_;
    std::string name_;
    const CheckGame& game_;
    int pool_;
    std::int64_t line_ = 0;
    std::int64_t draws_ = 0;
    std::optional<Error> error_;
};

}  // namespace bm
