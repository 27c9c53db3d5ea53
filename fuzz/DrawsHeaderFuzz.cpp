// A results file read by the columns its header names must give what the plain reading by
// position gives of the same draws laid out plainly. The first byte picks the game, its pool and
// whether lines that are no draws are skipped; the second the header: the balls in one column or
// one a column, the extra number in its own column or with them, a draw number before the date,
// prize columns and a multiplier after the balls. A draw of that shape follows the header, so that
// every fuzzed line after it is read past the headers; the fuzzed lines follow.
//
// Each fuzzed line is turned into the line the plain reading would need: the date and the balls of
// the named columns, nothing else, when the header's rules find them (a whole number in every ball
// field, as many as the columns must hold, an amount or nothing in a prize column, no needed
// column missing); a line that is no date at all where those rules refuse it; the line itself where
// the header plays no part (a line of text, of numbers only, with an open quote, too long). The
// two readings must agree on every draw, its line and date, on where the file is refused and on
// the lines skipped. The plain reading is held to DrawsReference by fuzz_draws.
#include <fstream>

#include "FuzzSupport.h"
#include "checking/DrawHistory.h"
#include "checking/DrawHistoryParts.h"
#include "checking/GameVariants.h"

using namespace bm;
using bmfuzz::Require;

namespace {

constexpr std::size_t kMaxLine = 4096;

struct Template {
    bool oneColumn = false;    // "Winning Numbers" holds every ball
    bool extraColumn = false;  // the bonus or powerball in a column of its own
    bool drawNumber = false;
    bool multiplier = false;
    bool prizes = false;
};

struct Read {
    std::vector<HistoryDraw> draws;
    std::optional<Error> error;
    DrawsFileNotes notes;
};

Read ReadAll(const std::filesystem::path& file, const CheckGame& game, int pool, const DrawsOptions& options)
{
    Read r;
    auto reader = DrawsReader::Open(file, game, pool, options);
    Require(reader.ok(), "a file that begins with a header was refused at opening");
    HistoryDraw d;
    while ((*reader)->Next(d))
        r.draws.push_back(d);
    r.error = (*reader)->error();
    r.notes = (*reader)->notes();
    return r;
}

// The plain line for one fuzzed line, by the header's rules.
std::string PlainLine(std::string_view raw, const Template& t, const CheckGame& game, DateOrder order)
{
    std::string_view line = raw;
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    const auto first = line.find_first_not_of(" \t");
    if (raw.size() > kMaxLine || line.find('\r') != std::string_view::npos || first == std::string_view::npos ||
        line[first] == '#')
        return std::string(raw);
    bool unclosed = false;
    const auto fields = draws::SplitFields(line, 0, unclosed);
    if (unclosed)
        return std::string(raw);
    const bool extra = game.extra != ExtraNumber::None;
    const auto want = static_cast<std::size_t>(game.DrawSize());
    bool justNumbers = true, text = false, dated = false;
    std::size_t run = 0, longest = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& f = fields[i];
        if (ReadDrawDate(f, order) || draws::DateShaped(f) || draws::ThreeFieldDateAt(fields, i))
            dated = true;
        const auto n = f.empty() ? std::nullopt : draws::WholeNumbers(f);
        justNumbers = justNumbers && (f.empty() || (n && !ReadDrawDate(f, order)));
        if (n) {
            run += n->size();
            longest = std::max(longest, run);
        } else {
            run = 0;
            text = text || !f.empty();
        }
    }
    const bool headerLike = !dated && longest < want && text;
    if (justNumbers || headerLike)
        return std::string(raw);

    // The columns: [Draw Number,] Draw Date, balls, [extra,] [Division 1, Division 2,] [Multiplier].
    std::size_t c = t.drawNumber ? 1 : 0;
    const std::size_t dateAt = c++;
    const std::size_t mainFrom = c;
    const std::size_t mainColumns = t.oneColumn ? 1 : static_cast<std::size_t>(game.mainDrawn);
    c += mainColumns;
    const bool ownExtra = extra && t.extraColumn;
    const std::size_t extraAt = t.extraColumn && extra ? c++ : SIZE_MAX;
    const std::size_t prizeFrom = c;
    if (t.prizes)
        c += 2;
    if (t.multiplier)
        ++c;
    const std::size_t columns = c;
    const std::string refused = "0000-00-00";
    // Needed: the date, the balls, the extra column, the prizes.
    const std::size_t lastNeeded = t.prizes ? prizeFrom + 1 : ownExtra ? extraAt : mainFrom + mainColumns - 1;
    if (fields.size() <= lastNeeded)
        return refused;
    const auto date = ReadDrawDate(fields[dateAt], order);
    if (!date)
        return refused;
    std::vector<std::size_t> mainCols;
    for (std::size_t k = 0; k < mainColumns; ++k)
        mainCols.push_back(mainFrom + k);
    if (mainFrom + mainColumns == columns) {
        std::size_t end = fields.size();
        while (end > columns && fields[end - 1].empty())
            --end;
        for (std::size_t k = columns; k < end; ++k)
            mainCols.push_back(k);
    }
    std::vector<std::int32_t> numbers;
    for (std::size_t k : mainCols) {
        const auto n = fields[k].empty() ? std::nullopt : draws::WholeNumbers(fields[k]);
        if (!n)
            return refused;
        numbers.insert(numbers.end(), n->begin(), n->end());
    }
    if (numbers.size() != want - (ownExtra ? 1 : 0))
        return refused;
    if (ownExtra) {
        const auto n = fields[extraAt].empty() ? std::nullopt : draws::WholeNumbers(fields[extraAt]);
        if (!n || n->size() != 1)
            return refused;
        numbers.push_back(n->front());
    }
    if (t.prizes)
        for (std::size_t k = prizeFrom; k < prizeFrom + 2; ++k)
            if (!fields[k].empty() && fields[k] != "-" && !ReadFileAmount(fields[k]))
                return refused;
    std::string plain = *date;
    for (std::int32_t n : numbers)
        plain += "," + std::to_string(n);
    return plain;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const auto variants = CheckerVariants();
    const CheckerVariant& variant = variants[data[0] % variants.size()];
    const CheckGame& game = variant.Game((data[0] >> 3) & 1);
    const int pool = (data[0] >> 4) & 1 ? 49 : 9;
    DrawsOptions options;
    options.skipInvalid = (data[0] >> 5) & 1;
    options.dateOrder = (data[0] >> 6) & 1 ? DateOrder::DayFirst : DateOrder::MonthFirst;
    Template t;
    t.oneColumn = data[1] & 1;
    t.extraColumn = data[1] & 2;
    t.drawNumber = data[1] & 4;
    t.multiplier = data[1] & 8;
    t.prizes = data[1] & 16;
    const bool extra = game.extra != ExtraNumber::None;

    std::string header = t.drawNumber ? "Draw Number,Draw Date" : "Draw Date";
    std::string good = t.drawNumber ? "7,2020-01-01" : "2020-01-01";
    std::string plainGood = "2020-01-01";
    std::string balls;
    for (int k = 1; k <= game.DrawSize(); ++k) {
        balls += (k > 1 ? " " : "") + std::to_string(k);
        plainGood += "," + std::to_string(k);
    }
    if (t.oneColumn) {
        header += ",Winning Numbers";
        good += ",\"" + (extra && t.extraColumn ? balls.substr(0, balls.rfind(' ')) : balls) + "\"";
    } else {
        for (int k = 1; k <= game.mainDrawn; ++k) {
            header += ",Ball " + std::to_string(k);
            good += "," + std::to_string(k);
        }
        if (extra && !t.extraColumn)
            t.extraColumn = true;  // a column a ball: the extra number has its own
    }
    if (t.extraColumn && extra) {
        header += game.extra == ExtraNumber::Bonus ? ",Bonus Ball" : ",Powerball";
        good += "," + std::to_string(game.DrawSize());
    }
    if (t.prizes) {
        header += ",Division 1,Division 2";
        good += ",\"$1,000.00\",";
    }
    if (t.multiplier) {
        header += ",Multiplier";
        good += ",3";
    }
    const std::string_view fuzzed = bmfuzz::AsText(data + 2, size - 2);
    const std::string file = header + "\n" + good + "\n" + std::string(fuzzed);
    std::string plain = "# " + header + "\n" + plainGood + "\n";
    for (std::size_t start = 0; start < fuzzed.size();) {
        const std::size_t end = fuzzed.find('\n', start);
        const std::string_view raw = fuzzed.substr(start, end == std::string_view::npos ? end : end - start);
        plain += PlainLine(raw, t, game, options.dateOrder);
        if (end == std::string_view::npos)
            break;
        plain += "\n";
        start = end + 1;
    }
    bmfuzz::WriteScratch(file);
    const std::filesystem::path plainFile = bmfuzz::ScratchFile().string() + ".plain";
    {
        std::ofstream out(plainFile, std::ios::binary | std::ios::trunc);
        out << plain;
    }
    const Read got = ReadAll(bmfuzz::ScratchFile(), game, pool, options);
    const Read expected = ReadAll(plainFile, game, pool, options);
    Require(!got.draws.empty() && got.draws.front().line == 2, "the draw after the header was not read");
    Require(got.draws.size() == expected.draws.size(),
            "read " + std::to_string(got.draws.size()) + " draws, not " + std::to_string(expected.draws.size()));
    for (std::size_t d = 0; d < got.draws.size(); ++d) {
        const HistoryDraw& g = got.draws[d];
        const HistoryDraw& e = expected.draws[d];
        Require(g.line == e.line && g.date == e.date, "draw " + std::to_string(d + 1) + " read from line " +
                                                          std::to_string(g.line) + " as of " + g.date + ", not line " +
                                                          std::to_string(e.line) + " of " + e.date);
        for (int k = 0; k < game.mainDrawn; ++k)
            Require(g.draw.main[static_cast<std::size_t>(k)] == e.draw.main[static_cast<std::size_t>(k)],
                    "a number of line " + std::to_string(e.line) + " read wrongly");
        if (extra)
            Require(g.draw.extra == e.draw.extra, "the extra number of line " + std::to_string(e.line));
    }
    // The message only when they differ: one of the two holds no error to quote.
    if (got.error.has_value() != expected.error.has_value())
        bmfuzz::Broken(expected.error ? "a fault was not refused: " + expected.error->message
                                      : "a good line was refused: " + got.error->message);
    if (got.error) {
        // The same line, whatever the words.
        const auto where = [](const std::string& message) {
            const auto at = message.find(": line ");
            return at == std::string::npos ? std::string()
                                           : message.substr(at + 7, message.find_first_of(": ", at + 7) - at - 7);
        };
        Require(where(got.error->message) == where(expected.error->message),
                "refused at \"" + got.error->message + "\", not \"" + expected.error->message + "\"");
    }
    Require(got.notes.skipped == expected.notes.skipped &&
                got.notes.firstSkippedLine == expected.notes.firstSkippedLine,
            "skipped " + std::to_string(got.notes.skipped) + " lines from line " +
                std::to_string(got.notes.firstSkippedLine) + ", not " + std::to_string(expected.notes.skipped) +
                " from line " + std::to_string(expected.notes.firstSkippedLine));
    return 0;
}
