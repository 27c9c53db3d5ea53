#include "cli/CheckCommand.h"

#include <functional>
#include <optional>
#include <set>
#include <thread>

#include "checking/CheckReport.h"
#include "checking/DrawHistory.h"
#include "checking/GameRules.h"
#include "checking/SummaryFile.h"
#include "cli/Cli.h"
#include "cli/InputFiles.h"
#include "cli/Interrupt.h"
#include "cli/ReportOutput.h"
#include "cli/TwoPoolCommand.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"

namespace bm::cli {

Result<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args)
{
    CheckOptions o;
    const std::pair<std::string, std::string*> named[] = {{"--definition", &o.definition},
                                                          {"--wheel", &o.wheel},
                                                          {"--draw", &o.draw},
                                                          {"--draws", &o.draws},
                                                          {"--save", &o.save},
                                                          {"--date-order", &o.dateOrder},
                                                          {"--from", &o.from},
                                                          {"--to", &o.to}};
    std::set<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool known = false;
        for (const auto& [name, target] : named) {
            if (a != name && a.rfind(name + "=", 0) != 0)
                continue;
            known = true;
            if (!seen.insert(name).second)
                return Error{name + " is given twice"};
            if (a == name && i + 1 >= args.size())
                return Error{name + " needs a value"};
            *target = a == name ? args[++i] : a.substr(name.size() + 1);
            if (target->empty())
                return Error{name + " needs a value"};
            break;
        }
        if (!known && a == "--skip-invalid-draws") {
            if (!seen.insert(a).second)
                return Error{a + " is given twice"};
            o.skipInvalidDraws = known = true;
        }
        if (!known)
            return Error{"unknown option \"" + a + "\" for check"};
    }
    if (o.definition.empty())
        return Error{"--definition is missing: give a definition name such as LO649 or a .def file"};
    if (o.wheel.empty())
        return Error{"--wheel is missing: give the wheel file to check"};
    if (!o.draw.empty() && !o.draws.empty())
        return Error{"--draw and --draws exclude each other: give one draw or one file of draws"};
    if (o.draw.empty() && o.draws.empty())
        return Error{"--draw is missing: give the drawn numbers, such as --draw \"3 11 19 27 35 43\""};
    if (o.skipInvalidDraws && o.draws.empty())
        return Error{"--skip-invalid-draws goes with --draws FILE: it passes over the lines of a draws file that are "
                     "no draws of the game"};
    for (const auto& [name, value] : {std::pair<const char*, const std::string*>{"--date-order", &o.dateOrder},
                                      {"--from", &o.from},
                                      {"--to", &o.to}})
        if (!value->empty() && o.draws.empty())
            return Error{std::string(name) + " goes with --draws FILE"};
    if (!o.dateOrder.empty() && !DateOrderFromText(o.dateOrder))
        return Error{"--date-order \"" + o.dateOrder + "\" is not DMY (day first) or MDY (month first)"};
    for (const auto& [name, value] : {std::pair<const char*, std::string*>{"--from", &o.from}, {"--to", &o.to}}) {
        if (value->empty())
            continue;
        const bool iso = value->size() == 10 && (*value)[4] == '-' && (*value)[7] == '-';
        const auto day = iso ? ReadDrawDate(*value) : std::nullopt;
        if (!day)
            return Error{std::string(name) + " \"" + *value + "\" is not a day written YYYY-MM-DD"};
        *value = *day;
    }
    if (!o.from.empty() && !o.to.empty() && o.from > o.to)
        return Error{"--from " + o.from + " comes after --to " + o.to + ": no draw lies between them"};
    return o;
}

// The draw as blank- and/or comma-separated numbers, the extra number last.
Result<DrawResult> ParseDraw(const std::string& text, const CheckGame& game, int pool, const std::string& lottery)
{
    // Read as a line of a draws file is: whole numbers only, and no empty field between commas.
    std::vector<std::string> numbers;
    std::string current;
    bool afterComma = false;
    for (char c : text + " ") {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!current.empty())
                numbers.push_back(current);
            else if (c == ',' && (afterComma || numbers.empty()))
                return Error{"--draw \"" + text + "\" has an empty number before a comma; give each drawn number once"};
            if (c == ',' || !current.empty())
                afterComma = c == ',';
            current.clear();
        } else {
            current += c;
        }
    }
    if (afterComma)
        return Error{"--draw \"" + text + "\" ends with a comma; give each drawn number once"};
    for (const auto& n : numbers)
        if (n.find_first_not_of("0123456789") != std::string::npos)
            return Error{"--draw \"" + text + "\": \"" + n + "\" is not a whole number"};
    if (static_cast<int>(numbers.size()) != game.DrawSize()) {
        std::string what = std::to_string(game.mainDrawn) + " main numbers";
        if (game.extra == ExtraNumber::Bonus)
            what += " and the bonus number last";
        else if (game.extra == ExtraNumber::Powerball)
            what += " and the powerball last";
        return Error{"--draw \"" + text + "\" holds " + std::to_string(numbers.size()) + " numbers; " + lottery + " (" +
                     std::string(game.name) + ") needs " + std::to_string(game.DrawSize()) + ": " + what};
    }
    const DrawReading reading = ReadDraw(game, numbers);
    if (!reading.ok())
        return Error{"--draw: " + reading.message};
    if (const auto refusal = DrawRuleFault(game, pool, reading.draw))
        return Error{"--draw: " + refusal->message};
    return reading.draw;
}

// The checker "Check Tickets" would open: the pick digit of the definition name rules, as there;
// a file whose name carries no digit there falls back on the pick the file holds.
const CheckerVariant* VariantFor(const DefinitionArgument& chosen, const SlipDefinition& def)
{
    GameFormat game = def.Game();
    if (chosen.name.size() >= 3 && chosen.name[2] >= '0' && chosen.name[2] <= '9')
        game.Pick = chosen.name[2] - '0';
    return ChooseChecker(game);
}

namespace {

// Ctrl+C stops a long check as Escape does in the window.
class InterruptPoll final : public CheckProgress {
public:
    bool Poll(const CheckRun&) override { return !interrupt_.Pressed(); }
    bool Stopped() { return interrupt_.Pressed(); }

private:
    Interrupt interrupt_;
};

// Large files are read side by side by one worker per processor (four at most).
int Workers()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 4u));
}

// Reads the wheel once more for its report lines, handing them to `write` some 64 KB at a time;
// stops early when `write` fails or Ctrl+C is pressed. A file that no longer holds the plays
// just counted is refused.
// Winning lines kept from the reading (16 bytes each); a longer report is read again.
constexpr std::int64_t kReportLinesKept = 1 << 19;

// The report lines the reading kept, in pieces.
void WriteKeptReportLines(const CheckGame& game, const CheckRun& run,
                          const std::function<bool(std::string_view)>& write, InterruptPoll& poll)
{
    constexpr std::size_t kPiece = 4096;
    // One piece's buffer for all: a fresh one each time would be mapped and unmapped again.
    std::string piece;
    piece.reserve(kPiece * 48);
    for (std::size_t at = 0; at < run.reported.size();) {
        for (const std::size_t end = std::min(at + kPiece, run.reported.size()); at < end; ++at)
            AppendReportLine(piece, game.tiers[run.reported[at].tier], run.reported[at].line);
        if (poll.Stopped() || !write(piece))
            return;
        piece.clear();
    }
}

Status WriteReportLines(const CheckGame& game, int pool, const DrawResult& draw,
                        const std::shared_ptr<const InputFile>& wheel, const CheckRun& counted,
                        const std::function<bool(std::string_view)>& write, InterruptPoll& poll)
{
    std::int64_t reportedPlays = 0;
    for (std::size_t i = 0; i < game.tiers.size(); ++i)
        reportedPlays += game.tiers[i].reportLine ? counted.tally.count[i] : 0;
    if (reportedPlays == 0)
        return Ok{};
    auto reader = WheelReader::Open(wheel, game.numbersPerPlay, NumberWidth::Bits32);
    if (!reader)
        return reader.error();
    const DrawMatcher matcher(game, draw, pool);
    Tally tally;
    std::int64_t plays = 0;
    std::string piece;
    Play play;
    bool changed = false;
    while (!changed && (*reader)->Next(play)) {
        const int tier = matcher.Classify(play);
        // The first reading took every play: one refused now was written since.
        changed = tier == DrawMatcher::kNotAPlay;
        if (changed)
            break;
        ++tally.count[tier];
        ++plays;
        if (game.tiers[tier].reportLine)
            AppendReportLine(piece, game.tiers[tier], play.line);
        if (piece.size() >= 64 * 1024 || (plays & 0xFFF) == 0) {
            if (poll.Stopped() || !write(piece))
                return Ok{};
            piece.clear();
        }
    }
    if (changed || (*reader)->error() || plays != counted.playsRead || !(tally == counted.tally))
        return Error{ChangedWhileCheckedText(wheel->path())};
    if (!poll.Stopped())
        write(piece);
    return Ok{};
}

int Interrupted(std::ostream& err, const CheckRun& run, const NumberSeparators& separators)
{
    err << AbortText(run.playsRead, run.ElapsedSeconds(), separators) << "\n";
    return kExitFailure;
}

}  // namespace

int Refuse(std::ostream& err, const std::string& message)
{
    err << "brindlemark: " << ShownLine(message) << "\n";
    return kExitRefused;
}

int Fail(std::ostream& err, const std::string& message)
{
    err << "brindlemark: " << ShownLine(message) << "\n";
    return kExitFailure;
}

Result<CheckInputs> ResolveCheckInputs(const CheckOptions& options, const bm::ProgramFolder& folder)
{
    auto chosen = ResolveDefinition(options.definition, folder);
    if (!chosen)
        return chosen.error();
    std::filesystem::path wheel = ResolveWheel(options.wheel, folder);
    if (!options.save.empty()) {
        std::vector<std::filesystem::path> read{wheel, chosen->file};
        if (!options.draws.empty())
            read.emplace_back(options.draws);
        if (const Status target = CheckOutputTarget(options.save, read, &folder); !target)
            return target.error();
    }
    auto def = ReadChosenDefinition(*chosen);
    if (!def)
        return def.error();
    const CheckerVariant* variant = VariantFor(*chosen, *def);
    if (!variant)
        return Error{chosen->file.string() + ": the game of " + chosen->name +
                     " has no ticket checker (only 5-, 6- and 7-number games are checked)"};
    const CheckGame& game = variant->Game(def->bBon);
    return CheckInputs{std::move(*chosen), std::move(*def), game, std::move(wheel)};
}

int RunCheckCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    const auto options = ParseCheckOptions(args);
    if (!options)
        return Refuse(err, options.error().message);
    // A game of two pools (other than powerball) is checked by its tiers (m, j).
    const auto twoPool = TwoPoolInputsFor(*options, folder);
    if (!twoPool)
        return Refuse(err, twoPool.error().message);
    if (*twoPool)
        return RunTwoPoolCheckCommand(*options, **twoPool, out, err);
    if (!options->draws.empty())
        return RunHistoryCommand(*options, folder, out, err);
    // Ctrl+C is heard from here on, in every phase: a stop is reported, never a silent death.
    InterruptPoll poll;
    const auto inputs = ResolveCheckInputs(*options, folder);
    if (!inputs)
        return Refuse(err, inputs.error().message);
    const DefinitionArgument& chosen = inputs->chosen;
    const SlipDefinition& def = inputs->def;
    const CheckGame& game = inputs->game;
    const std::filesystem::path& wheel = inputs->wheel;
    const auto draw = ParseDraw(options->draw, game, def.Pool, chosen.name);
    if (!draw)
        return Refuse(err, draw.error().message);

    if (const Status plain = CheckWheelIsFile(wheel); !plain)
        return Refuse(err, plain.error().message);
    auto input = InputFile::Open(wheel);
    if (!input)
        return Refuse(err, input.error().message);
    const InputFile& wheelFile = **input;
    // A fault met in a file that changed meanwhile is the change's doing: that is the message.
    const auto refuseUnlessChanged = [&](const std::string& message) {
        if (const Status same = wheelFile.CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return message == ChangedWhileCheckedText(wheel) ? Fail(err, message) : Refuse(err, message);
    };

    const NumberSeparators separators = UserNumberSeparators();
    CheckRun run;
    // Up to half a million winning lines (8 MB) are kept from the reading; past that the report
    // is read again below, so memory stays flat however many plays win.
    run.keepAtMost = kReportLinesKept;
    const Status status = RunCheckInParts(game, def.Pool, *draw, *input, MonotonicClock(), run, Workers(), &poll, 4096);
    if (!status)
        return refuseUnlessChanged(status.error().message);
    if (run.aborted)
        return Interrupted(err, run, separators);

    // The report lines go out in pieces, written at once to the summary's unnamed file and to
    // stdout, with Ctrl+C heard between pieces. The summary is committed only after the whole
    // report went out.
    AtomicFileWriter summaryFile;
    if (!options->save.empty()) {
        if (const Status opened = summaryFile.Open(options->save); !opened)
            return Refuse(err, opened.error().message);
    }
    ReportOutput printed(out);
    // A report that stdout refused is not written on: the run fails with the reason.
    const auto write = [&](std::string_view piece) {
        return printed.Write(piece) && (!summaryFile.IsOpen() || summaryFile.Write(WithCrLf(piece)));
    };
    // Names as a terminal and a text file can show them: a line feed in a name makes no line.
    if (write(ReportHeader(chosen.name, wheel.filename().string(), game, *draw, run.playsRead, separators))) {
        if (!run.reportDropped) {
            WriteKeptReportLines(game, run, write, poll);
        } else if (const Status reported = WriteReportLines(game, def.Pool, *draw, *input, run, write, poll);
                   !reported) {
            return refuseUnlessChanged(reported.error().message);
        }
        if (!poll.Stopped())
            write("\n" + SummaryText(game, run.tally, def.Pool, separators));
    }
    printed.Flush();
    if (poll.Stopped())
        return Interrupted(err, run, separators);
    if (const Status same = wheelFile.CheckUnchanged(); !same)
        return Fail(err, same.error().message);
    if (!printed.ok())
        return Fail(err, printed.FailureText());
    if (summaryFile.IsOpen()) {
        if (const Status committed = summaryFile.Commit(); !committed)
            return Fail(err, committed.error().message);
    }
    err << CompletionTimeText(run.ElapsedSeconds(), separators) << "\n";
    return kExitOk;
}

}  // namespace bm::cli
