#include "cli/WheelCommand.h"

#include <algorithm>

#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/InputFiles.h"
#include "cli/Interrupt.h"
#include "checking/CheckReport.h"
#include "checking/Clock.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelDesign.h"

namespace bm::cli {

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const std::vector<std::string>&, const bm::ProgramFolder&, std::ostream&, std::ostream&);
};

constexpr Subcommand kSubcommands[] = {
    {"apply", RunWheelApply},
    {"analyze", RunWheelAnalyze},
    {"make", RunWheelMake},
};

std::string Required(const std::map<std::string, std::string>& options, const std::string& name)
{
    const auto found = options.find(name);
    return found == options.end() ? std::string() : found->second;
}

}  // namespace

// A definition's pool and the numbers of its plays, for checking a design against it.
Result<WheelGame> ReadWheelGame(const std::string& definition, const bm::ProgramFolder& folder,
                                std::vector<std::filesystem::path>& inputs)
{
    const auto found = ResolveDefinition(definition, folder);
    if (!found)
        return found.error();
    const DefinitionArgument& chosen = *found;
    inputs.push_back(chosen.file);
    const auto def = ReadChosenDefinition(chosen);
    if (!def)
        return def.error();
    // A powerball play ends in a number drawn from another pool, which a design cannot give.
    if (def->bPB)
        return Error{chosen.file.string() + ": " + chosen.name +
                     " is a powerball game: its plays end in a powerball that a design does not give"};
    return WheelGame{chosen.name, def->Pool, def->Pick};
}

Result<std::map<std::string, std::string>> ParseNamedOptions(const std::vector<std::string>& args,
                                                             const std::vector<std::string>& names,
                                                             const std::string& command)
{
    std::map<std::string, std::string> options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto name = std::find_if(names.begin(), names.end(),
                                       [&](const std::string& n) { return a == n || a.rfind(n + "=", 0) == 0; });
        if (name == names.end())
            return Error{"unknown option \"" + a + "\" for " + command};
        if (options.count(*name))
            return Error{*name + " is given twice"};
        if (a == *name && i + 1 >= args.size())
            return Error{*name + " needs a value"};
        std::string value = a == *name ? args[++i] : a.substr(name->size() + 1);
        if (value.empty())
            return Error{*name + " needs a value"};
        options.emplace(*name, std::move(value));
    }
    return options;
}

int RunWheelCommand(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    std::string names;
    for (const Subcommand& s : kSubcommands)
        names += std::string(names.empty() ? "" : " or ") + s.name;
    if (args.empty())
        return Refuse(err, "wheel needs what to do: " + names + "; see brindlemark --help");
    for (const Subcommand& s : kSubcommands)
        if (args.front() == s.name)
            return s.run({args.begin() + 1, args.end()}, folder, out, err);
    return Refuse(err, "unknown wheel command \"" + args.front() + "\": " + names + "; see brindlemark --help");
}

int RunWheelApply(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                  std::ostream& err)
{
    const auto options = ParseNamedOptions(args, {"--design", "--numbers", "--definition", "--out"}, "wheel apply");
    if (!options)
        return Refuse(err, options.error().message);
    const std::string designFile = Required(*options, "--design");
    const std::string numbersText = Required(*options, "--numbers");
    const std::string definition = Required(*options, "--definition");
    const std::string outFile = Required(*options, "--out");
    if (designFile.empty())
        return Refuse(err, "--design is missing: give the design file, a wheel written on labels 1..v or 0..v-1");
    if (numbersText.empty())
        return Refuse(err, "--numbers is missing: give the numbers to put in place of the labels, such as "
                           "--numbers \"3 11 19 27 35 43 45\"");

    std::optional<WheelGame> game;
    std::vector<std::filesystem::path> inputs{designFile};
    if (!definition.empty()) {
        auto read = ReadWheelGame(definition, folder, inputs);
        if (!read)
            return Refuse(err, read.error().message);
        game = std::move(*read);
    }
    if (!outFile.empty()) {
        if (const Status target = CheckOutputTarget(outFile, inputs, &folder); !target)
            return Refuse(err, target.error().message);
    }
    const auto design = wheels::ReadDesign(designFile);
    if (!design)
        return Refuse(err, design.error().message);
    const auto numbers = game ? wheels::ParseNumbers(numbersText, game->pool, game->name)
                              : wheels::ParseNumbers(numbersText);
    if (!numbers)
        return Refuse(err, numbers.error().message);
    if (game && design->playSize != game->pick)
        return Refuse(err, design->name + ": its plays hold " + std::to_string(design->playSize) + " numbers; " +
                               game->name + " plays hold " + std::to_string(game->pick));
    const auto plays = wheels::ApplyDesign(*design, *numbers);
    if (!plays)
        return Refuse(err, plays.error().message);
    // Numbers beyond the design's labels would be left out without a word.
    if (const auto unused = static_cast<int>(numbers->size()) - design->NumbersNeeded(); unused > 0)
        err << "brindlemark: note: " << ShownLine(design->name) << " has " << design->NumbersNeeded()
            << " labels; the last " << unused << " of the numbers given are in no play\n";
    const std::string text = wheels::PlaysText(*plays);
    if (!outFile.empty()) {
        if (const Status written = WriteFileAtomically(outFile, text); !written)
            return Refuse(err, written.error().message);
        return kExitOk;
    }
    out << text;
    out.flush();
    if (!out) {
        err << "brindlemark: the plays could not be written on standard output\n";
        return kExitFailure;
    }
    return kExitOk;
}

int RunWheelAnalyze(const std::vector<std::string>& args, const bm::ProgramFolder& folder, std::ostream& out,
                    std::ostream& err)
{
    const auto options = ParseNamedOptions(args, {"--definition", "--wheel"}, "wheel analyze");
    if (!options)
        return Refuse(err, options.error().message);
    CheckOptions check;
    check.definition = Required(*options, "--definition");
    check.wheel = Required(*options, "--wheel");
    if (check.definition.empty())
        return Refuse(err, "--definition is missing: give a definition name such as LO649 or a .def file");
    if (check.wheel.empty())
        return Refuse(err, "--wheel is missing: give the wheel file to analyse");
    const auto inputs = ResolveCheckInputs(check, folder);
    if (!inputs)
        return Refuse(err, inputs.error().message);
    Clock& clock = MonotonicClock();
    const std::int64_t start = clock.NowMs();
    const auto wheel = wheels::ReadWheelForAnalysis(inputs->wheel, inputs->game, inputs->def.Pool);
    if (!wheel)
        return Refuse(err, wheel.error().message);
    const int u = static_cast<int>(wheel->numbers.size());
    if (const auto fault = wheels::AnalysisFault(wheel->plays, u, inputs->def.Pool, inputs->game.mainDrawn))
        return Refuse(err, inputs->wheel.string() + ": " + *fault);
    Interrupt interrupt;
    const auto coverage = wheels::Analyze(wheel->plays, u, inputs->def.Pool, inputs->game.mainDrawn,
                                          [&](double) { return !interrupt.Pressed(); });
    if (!coverage) {
        if (!coverage.error().stopped)
            return Refuse(err, coverage.error().message);
        err << "brindlemark: wheel analyze interrupted; nothing written\n";
        return kExitFailure;
    }
    out << wheels::CoverageText(*coverage);
    out.flush();
    if (!out) {
        err << "brindlemark: the analysis could not be written on standard output\n";
        return kExitFailure;
    }
    err << CompletionTimeText(static_cast<double>(clock.NowMs() - start) / 1000.0, UserNumberSeparators()) << "\n";
    return kExitOk;
}

}  // namespace bm::cli
