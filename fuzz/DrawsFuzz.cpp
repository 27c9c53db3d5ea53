// Draws files come from lotteries and data sites in every shape. The first byte picks the game
// (5, 6 or 7 numbers, a bonus or powerball, the pool), whether lines that are no draws are
// skipped and the date order the user gives (none, day first, month first); the rest is the file.
// The buffered reader must agree with a plain reading by position on the order it reads dates in
// or its refusal to guess it, on every draw, its line and date, on where the file is refused, on
// the lines skipped and on the repeated draws and the date order it notes; a second reading of the
// same open file must give the same draws. A file whose header names the draws' columns is read by
// them: fuzz_draws_header holds that reading to this one.
#include "DrawsReference.h"
#include "FuzzSupport.h"
#include "checking/DrawHistory.h"
#include "checking/GameVariants.h"

using namespace bm;
using bmfuzz::Require;

namespace {

struct Read {
    std::vector<HistoryDraw> draws;
    std::optional<Error> error;
    DrawsFileNotes notes;
};

Read ReadAll(DrawsReader& reader)
{
    Read r;
    HistoryDraw d;
    while (reader.Next(d))
        r.draws.push_back(d);
    Require(!reader.Next(d), "a draw after the end or a fault");
    r.error = reader.error();
    r.notes = reader.notes();
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const auto variants = CheckerVariants();
    const CheckerVariant& variant = variants[data[0] % variants.size()];
    const CheckGame& game = variant.Game((data[0] >> 3) & 1);
    const int pool = (data[0] >> 4) & 1 ? 49 : 9;  // a small pool makes draws that keep the rules likely
    const bool skip = (data[0] >> 5) & 1;
    const int order = data[0] >> 6;
    const std::string_view bytes = bmfuzz::AsText(data + 1, size - 1);
    bmfuzz::WriteScratch(bytes);

    bmfuzz::ReferenceGame rules;
    rules.mainDrawn = game.mainDrawn;
    rules.extra = game.extra == ExtraNumber::Bonus       ? bmfuzz::ReferenceGame::Extra::Bonus
                  : game.extra == ExtraNumber::Powerball ? bmfuzz::ReferenceGame::Extra::Powerball
                                                         : bmfuzz::ReferenceGame::Extra::None;
    rules.pool = pool;
    rules.skip = skip;
    rules.order = order == 1   ? bmfuzz::ReferenceGame::Order::DayFirst
                  : order == 2 ? bmfuzz::ReferenceGame::Order::MonthFirst
                               : bmfuzz::ReferenceGame::Order::Unknown;
    const bmfuzz::ReferenceDraws expected = bmfuzz::ReadDrawsPlainly(bytes, rules);
    using Refusal = bmfuzz::ReferenceDraws::Refusal;

    DrawsOptions options;
    options.skipInvalid = skip;
    options.dateOrder = order == 1 ? DateOrder::DayFirst : order == 2 ? DateOrder::MonthFirst : DateOrder::Unknown;
    const std::string name = bmfuzz::ScratchFile().string();
    auto reader = DrawsReader::Open(bmfuzz::ScratchFile(), game, pool, options);
    Require(reader.ok() == (expected.refusal == Refusal::None),
            reader.ok() ? "the file was not refused at opening" : "refused at opening: " + reader.error().message);
    if (!reader) {
        const std::string& message = reader.error().message;
        const auto line = [](std::int64_t n) { return "(line " + std::to_string(n) + ")"; };
        const std::string begins = expected.refusal == Refusal::Wide ? name + ": is UTF-"
                                   : expected.refusal == Refusal::OrdersEven
                                       ? name + ": its dates are written day first " + line(expected.dayFirstLine) +
                                             " as often as month first " + line(expected.monthFirstLine) +
                                             "; give --date-order"
                                       : name + ": line " + std::to_string(expected.eitherLine) + ": the date \"";
        Require(message.rfind(begins, 0) == 0,
                "the refusal \"" + message + "\" does not begin with \"" + begins + "\"");
        Require(expected.refusal == Refusal::Wide || DrawsReader::AsksDateOrder(reader.error()),
                "a refusal for the date order that does not ask for it");
        return 0;
    }
    const bool dayFirst = expected.order == bmfuzz::ReferenceGame::Order::DayFirst;
    Require((*reader)->dateOrder() == (dayFirst ? DateOrder::DayFirst : DateOrder::MonthFirst),
            std::string("dates read ") + (dayFirst ? "month first" : "day first") + " against the file");
    // Read by the columns its header names: fuzz_draws_header's part.
    if (expected.byHeader)
        return 0;
    const Read got = ReadAll(**reader);
    Require(got.draws.size() == expected.draws.size(),
            "read " + std::to_string(got.draws.size()) + " draws, not " + std::to_string(expected.draws.size()));
    for (std::size_t d = 0; d < got.draws.size(); ++d) {
        const HistoryDraw& g = got.draws[d];
        const bmfuzz::ReferenceDraw& e = expected.draws[d];
        Require(g.line == e.line, "draw " + std::to_string(d + 1) + " read from line " + std::to_string(g.line) +
                                      ", not " + std::to_string(e.line));
        Require(g.date == e.date, "the date of line " + std::to_string(e.line) + " read as \"" + g.date + "\"");
        for (int k = 0; k < game.mainDrawn; ++k)
            Require(g.draw.main[static_cast<std::size_t>(k)] == e.numbers[static_cast<std::size_t>(k)],
                    "a number of line " + std::to_string(e.line) + " read wrongly");
        if (game.extra != ExtraNumber::None)
            Require(g.draw.extra == e.numbers.back(), "the extra number of line " + std::to_string(e.line));
    }
    Require(got.error.has_value() == expected.fault,
            expected.fault ? "a fault was not refused" : "a good file was refused");
    if (expected.fault) {
        const std::string where =
            expected.faultLine ? name + ": line " + std::to_string(expected.faultLine) : name + ": holds no draw";
        const std::string& message = got.error->message;
        Require(message.rfind(where, 0) == 0 &&
                    (expected.faultLine == 0 ||
                     (message.size() > where.size() && (message[where.size()] == ':' || message[where.size()] == ' '))),
                "the refusal \"" + message + "\" does not begin with \"" + where + "\"");
    }
    Require(got.notes.skipped == expected.skipped && got.notes.firstSkippedLine == expected.firstSkipped,
            "skipped " + std::to_string(got.notes.skipped) + " lines from line " +
                std::to_string(got.notes.firstSkippedLine) + ", not " + std::to_string(expected.skipped) +
                " from line " + std::to_string(expected.firstSkipped));
    if (expected.fault)
        return 0;
    Require(got.notes.repeated == expected.repeated, "noted " + std::to_string(got.notes.repeated) +
                                                         " repeated draws, not " + std::to_string(expected.repeated));
    Require(got.notes.outOfOrderLine == expected.outOfOrderLine, "the date order broken at another line");

    // The second pass of a history reads the same open file.
    auto again = DrawsReader::Open((*reader)->input(), game, pool, options);
    Require(again.ok(), "a second reading of the same file refused");
    const Read second = ReadAll(**again);
    Require(second.draws.size() == got.draws.size() && !second.error, "a second reading read otherwise");
    return 0;
}
