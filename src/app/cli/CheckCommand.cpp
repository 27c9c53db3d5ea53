#include "app/cli/CheckCommand.h"

#include <optional>
#include <set>
#include <thread>

#include "app/cli/Cli.h"
#include "app/cli/InputFiles.h"
#include "app/cli/Interrupt.h"
#include "checking/CheckReport.h"
#include "checking/GameRules.h"
#include "checking/SummaryFile.h"
#include "definitions/DefinitionFile.h"

namespace bm::cli {

Result<CheckOptions> ParseCheckOptions(const std::vector<std::string>& args)
{
    CheckOptions o;
    const std::pair<std::string, std::string*> named[] = {
        {"--definition", &o.definition}, {"--wheel", &o.wheel}, {"--draw", &o.draw}, {"--draws", &o.draws},
        {"--save", &o.save}};
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
    return o;
}

// The draw as blank- and/or comma-separated numbers, the extra number last.
Result<DrawResult> ParseDraw(const std::string& text, const CheckGame& game, int pool, const std::string& lottery)
{
    std::vector<std::string> numbers;
    std::string current;
    for (char c : text + " ") {
        if (c == ' ' || c == ',' || c == '\t') {
            if (!current.empty())
                numbers.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (static_cast<int>(numbers.size()) != game.DrawSize()) {
        std::string what = std::to_string(game.mainDrawn) + " main numbers";
        if (game.extra == ExtraNumber::Bonus)
            what += " and the bonus number last";
        else if (game.extra == ExtraNumber::Powerball)
            what += " and the powerball last";
        return Error{"--draw \"" + text + "\" holds " + std::to_string(numbers.size()) + " numbers; " + lottery +
                     " (" + std::string(game.name) + ") needs " + std::to_string(game.DrawSize()) + ": " + what};
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
const CheckerVariant* VariantFor(const ChosenDefinition& chosen, const SlipDefinition& def)
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

private:
    Interrupt interrupt_;
};

// Large files are read side by side by one worker per processor (four at most).
int Workers()
{
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 4u));
}

int Refuse(std::ostream& err, const std::string& message)
{
    err << "brindlemark: " << message << "\n";
    return kExitRefused;
}

}  // namespace

int RunCheckCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    const auto options = ParseCheckOptions(args);
    if (!options)
        return Refuse(err, options.error().message);
    if (!options->draws.empty())
        return RunHistoryCommand(*options, folder, out, err);
    const auto chosen = ResolveDefinition(options->definition, folder);
    if (!chosen)
        return Refuse(err, chosen.error().message);
    const auto def = ReadDefinitionFile(chosen->file);
    if (!def)
        return Refuse(err, def.error().message);
    const CheckerVariant* variant = VariantFor(*chosen, *def);
    if (!variant)
        return Refuse(err, chosen->file.string() + ": the game of " + chosen->name +
                               " has no ticket checker (only 5-, 6- and 7-number games are checked)");
    const CheckGame& game = variant->Game(def->bBon);
    const auto draw = ParseDraw(options->draw, game, def->Pool, chosen->name);
    if (!draw)
        return Refuse(err, draw.error().message);

    const std::filesystem::path wheel = ResolveWheel(options->wheel, folder);
    const NumberSeparators separators = UserNumberSeparators();
    CheckRun run;
    InterruptPoll poll;
    const Status status = RunCheckInParts(game, def->Pool, *draw, wheel, MonotonicClock(), run, Workers(), &poll, 4096);
    if (!status)
        return Refuse(err, status.error().message);
    if (run.aborted) {
        err << AbortText(run.playsRead, run.ElapsedSeconds(), separators) << "\n";
        return kExitFailure;
    }

    std::string report = ReportHeader(chosen->name, wheel.filename().string(), game, *draw, run.playsRead, separators);
    report += ReportLines(game, run.reported);
    const std::string text = CompletedReport(report, SummaryText(game, run.tally, def->Pool, separators));
    if (!options->save.empty()) {
        if (const Status saved = WriteSummaryFile(options->save, text); !saved)
            return Refuse(err, saved.error().message);
    }
    out << text;
    out.flush();
    err << CompletionTimeText(run.ElapsedSeconds(), separators) << "\n";
    return kExitOk;
}

}  // namespace bm::cli
