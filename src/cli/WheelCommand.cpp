#include "cli/WheelCommand.h"

#include <algorithm>

#include "checking/CheckReport.h"
#include "checking/Clock.h"
#include "checking/TwoPoolCheck.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/InputFiles.h"
#include "cli/Interrupt.h"
#include "cli/ReportOutput.h"
#include "common/AtomicFile.h"
#include "common/InputFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipMarks.h"
#include "wheels/SecondPool.h"
#include "wheels/WheelAnalysis.h"
#include "wheels/WheelDesign.h"
#include "wheels/WheelLibrary.h"

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
    {"library", RunWheelLibrary},
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
    const auto marksFile = MarksFileOf(chosen.file);
    const auto marks = ReadSlipMarks(marksFile);
    if (!marks)
        return marks.error();
    // A powerball play ends in a number drawn from another pool, which a design cannot give;
    // with the pool known from [Second], --second gives it.
    if (def->bPB && !marks->second)
        return Error{chosen.file.string() + ": " + chosen.name +
                     " is a powerball game: its plays end in a powerball that a design does not give (a [Second] "
                     "section in " +
                     marksFile.filename().string() + " lets --second give it)"};
    WheelGame game{chosen.name, def->Pool, def->Pick};
    if (marks->second) {
        inputs.push_back(marksFile);
        game.secondPool = marks->second->pool;
        game.secondPick = marks->second->pick;
    }
    return game;
}

Result<std::optional<wheels::SecondChoice>> TakeSecondOption(std::vector<std::string>& args)
{
    std::optional<std::string> numbers;
    bool all = false, seenAll = false;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--second" || a.rfind("--second=", 0) == 0) {
            if (numbers)
                return Error{"--second is given twice (or beside --second-all with numbers)"};
            if (a == "--second" && i + 1 >= args.size())
                return Error{"--second needs a value: the second-pool numbers, such as --second \"3 7 11\""};
            numbers = a == "--second" ? args[++i] : a.substr(9);
            if (numbers->empty())
                return Error{"--second needs a value: the second-pool numbers, such as --second \"3 7 11\""};
        } else if (a == "--second-all" || a.rfind("--second-all=", 0) == 0) {
            if (seenAll)
                return Error{"--second-all is given twice"};
            seenAll = all = true;
            std::optional<std::string> value;
            if (a != "--second-all")
                value = a.substr(13);
            else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0)
                value = args[++i];
            if (value) {
                if (numbers)
                    return Error{"--second-all with numbers and --second both give the second-pool numbers; give one"};
                numbers = *value;
            }
        } else {
            rest.push_back(a);
        }
    }
    if (all && !numbers)
        return Error{"--second-all needs the second-pool numbers: --second-all \"3 7 11\", or beside --second"};
    args = std::move(rest);
    if (!numbers)
        return std::optional<wheels::SecondChoice>();
    wheels::SecondChoice choice;
    choice.all = all;
    // Read against the game once it is known; kept as text in the first number's place till then.
    choice.text = *numbers;
    return std::optional<wheels::SecondChoice>(std::move(choice));
}

Status CheckSecondChoice(std::optional<wheels::SecondChoice>& choice, const std::optional<WheelGame>& game)
{
    const bool twoPools = game && game->secondPick > 0;
    if (!choice) {
        if (twoPools)
            return Error{game->name + " plays end in " + std::to_string(game->secondPick) +
                         (game->secondPick == 1 ? " number" : " numbers") + " of its second pool (1 to " +
                         std::to_string(game->secondPool) +
                         "): give them with --second \"S1 S2 ...\" or "
                         "--second-all \"S1 S2 ...\""};
        return Ok{};
    }
    if (!twoPools)
        return Error{std::string(game ? game->name + " has no second pool" : "--second needs --definition") +
                     ": --second and --second-all go with a definition whose marks file has a [Second] section"};
    const auto numbers = wheels::ParseNumbers(choice->text, game->secondPool, game->name + "'s second pool",
                                              choice->all ? "--second-all" : "--second");
    if (!numbers)
        return numbers.error();
    choice->numbers = *numbers;
    choice->pick = game->secondPick;
    if (static_cast<int>(choice->numbers.size()) < choice->pick)
        return Error{std::string(choice->all ? "--second-all" : "--second") + " holds " +
                     std::to_string(choice->numbers.size()) + " number; " + game->name + " plays take " +
                     std::to_string(choice->pick) + " second-pool numbers"};
    return Ok{};
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

int RunWheelApply(const std::vector<std::string>& passed, const bm::ProgramFolder& folder, std::ostream& out,
                  std::ostream& err)
{
    std::vector<std::string> args = passed;
    auto second = TakeSecondOption(args);
    if (!second)
        return Refuse(err, second.error().message);
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
    if (const Status chosen = CheckSecondChoice(*second, game); !chosen)
        return Refuse(err, chosen.error().message);
    if (!outFile.empty()) {
        if (const Status target = CheckOutputTarget(outFile, inputs, &folder); !target)
            return Refuse(err, target.error().message);
    }
    // The design is read twice from the one open file, a piece at a time: first to know its
    // shape (and every refusal, before anything is written), then to write the plays, so memory
    // stays flat however large the design is.
    const auto opened = wheels::OpenDesign(designFile);
    if (!opened)
        return Refuse(err, opened.error().message);
    const InputFile& design = **opened;
    const auto refuseUnlessChanged = [&](const std::string& message) {
        if (const Status same = design.CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return Refuse(err, message);
    };
    const auto numbers =
        game ? wheels::ParseNumbers(numbersText, game->pool, game->name) : wheels::ParseNumbers(numbersText);
    const int v = numbers ? static_cast<int>(numbers->size()) : 0;
    // The first label beyond the numbers given, for labels counted from 0 and from 1.
    struct Beyond {
        std::int64_t line = 0;
        int label = 0;
    };
    std::optional<Beyond> beyondFromZero, beyondFromOne;
    const auto shape = wheels::ScanDesign(design, designFile, [&](const std::vector<int>& play, std::int64_t line) {
        for (int label : play) {
            if (!beyondFromZero && label >= v)
                beyondFromZero = Beyond{line, label};
            if (!beyondFromOne && label > v)
                beyondFromOne = Beyond{line, label};
        }
        return true;
    });
    if (!shape)
        return refuseUnlessChanged(shape.error().message);
    if (!numbers)
        return Refuse(err, numbers.error().message);
    if (game && shape->playSize != game->pick)
        return Refuse(err, designFile + ": its plays hold " + std::to_string(shape->playSize) + " numbers; " +
                               game->name + " plays hold " + std::to_string(game->pick));
    if (const auto& beyond = shape->zeroBased ? beyondFromZero : beyondFromOne)
        return Refuse(err, designFile + ": line " + std::to_string(beyond->line) + ": label " +
                               std::to_string(beyond->label) + " is beyond the " + std::to_string(v) +
                               " numbers given");
    std::optional<wheels::SecondNumbersInTurn> secondNumbers;
    if (*second) {
        auto turn = wheels::SecondNumbersInTurn::For(**second, shape->plays);
        if (!turn)
            return Refuse(err, turn.error().message);
        secondNumbers = std::move(*turn);
    }
    // Numbers beyond the design's labels would be left out without a word.
    if (const auto unused = v - shape->NumbersNeeded(); unused > 0)
        err << "brindlemark: note: " << ShownLine(designFile) << " has " << shape->NumbersNeeded()
            << " labels; the last " << unused << " of the numbers given are in no play\n";

    AtomicFileWriter file;
    if (!outFile.empty()) {
        if (const Status ready = file.Open(outFile); !ready)
            return Refuse(err, ready.error().message);
    }
    ReportOutput printed(out);
    std::string text;
    const auto flush = [&] {
        if (file.IsOpen())
            file.Write(text);
        else
            printed.Write(text);
        text.clear();
    };
    const int shift = shape->zeroBased ? 0 : 1;
    std::vector<int> play;
    std::vector<std::vector<int>> lines;
    bool differs = false;  // a label the first pass did not see: the file changed in between
    const auto written = wheels::ScanDesign(design, designFile, [&](const std::vector<int>& labels, std::int64_t) {
        play.clear();
        for (int label : labels) {
            if (label - shift < 0 || label - shift >= v) {
                differs = true;
                return false;
            }
            play.push_back((*numbers)[static_cast<std::size_t>(label - shift)]);
        }
        std::sort(play.begin(), play.end());
        if (secondNumbers) {
            secondNumbers->Lines(play, lines);
            text += wheels::PlaysText(lines);
        } else {
            text += wheels::PlaysText({play});
        }
        if (text.size() >= 64 * 1024)
            flush();
        return printed.ok();
    });
    flush();
    if (!file.IsOpen() && !printed.ok()) {
        err << "brindlemark: the plays could not be written on standard output\n";
        return kExitFailure;
    }
    // A second pass that meets a fault, a label or a count of plays the first did not read a
    // changed file.
    if (const Status same = design.CheckUnchanged(); !same)
        return Fail(err, same.error().message);
    if (differs || !written || written->plays != shape->plays)
        return Fail(err, ChangedWhileCheckedText(designFile));
    if (file.IsOpen()) {
        if (const Status committed = file.Commit(); !committed)
            return Fail(err, committed.error().message);
        return kExitOk;
    }
    if (!printed.Flush()) {
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
    // A game of two pools: the main numbers are analysed, the second ones counted per number.
    const auto marks = ReadSlipMarks(MarksFileOf(inputs->chosen.file));
    if (!marks)
        return Refuse(err, marks.error().message);
    const GameFormat format = GameOf(inputs->def, *marks);
    CheckGame game = inputs->game;
    std::string secondText;
    if (format.HasSecondPool()) {
        auto two = TwoPoolGameOf(format, SlipMarks{}, {});
        if (!two)
            return Refuse(err, two.error().message);
        game.numbersPerPlay = format.NumbersPerPlay();
        game.mainPicks = game.mainDrawn = format.Pick;
        game.extra = ExtraNumber::None;
        auto reader = WheelReader::Open(inputs->wheel, format.NumbersPerPlay(), NumberWidth::Bits32);
        if (!reader)
            return Refuse(err, reader.error().message);
        std::vector<std::int64_t> counts(static_cast<std::size_t>(format.secondPool) + 1, 0);
        Play play;
        while ((*reader)->Next(play)) {
            if (const auto fault = TwoPoolPlayFault(*two, play))
                return Refuse(err, inputs->wheel.string() + ": line " + std::to_string(play.line) + ": " + *fault);
            for (int i = format.Pick; i < format.NumbersPerPlay(); ++i)
                ++counts[static_cast<std::size_t>(play.numbers[static_cast<std::size_t>(i)])];
        }
        if ((*reader)->error())
            return Refuse(err, (*reader)->error()->message);
        std::vector<int> chosen;
        std::vector<std::int64_t> held;
        for (int n = 1; n <= format.secondPool; ++n)
            if (counts[static_cast<std::size_t>(n)] > 0) {
                chosen.push_back(n);
                held.push_back(counts[static_cast<std::size_t>(n)]);
            }
        secondText = wheels::SecondCountsText(chosen, held);
    }
    const auto wheel = wheels::ReadWheelForAnalysis(inputs->wheel, game, inputs->def.Pool);
    if (!wheel)
        return Refuse(err, wheel.error().message);
    const int u = static_cast<int>(wheel->numbers.size());
    if (const auto fault = wheels::AnalysisFault(wheel->plays, u, inputs->def.Pool, game.mainDrawn))
        return Refuse(err, inputs->wheel.string() + ": " + *fault);
    Interrupt interrupt;
    const auto coverage = wheels::Analyze(wheel->plays, u, inputs->def.Pool, game.mainDrawn,
                                          [&](double) { return !interrupt.Pressed(); });
    if (!coverage) {
        if (!coverage.error().stopped)
            return Refuse(err, coverage.error().message);
        err << "brindlemark: wheel analyze interrupted; nothing written\n";
        return kExitFailure;
    }
    out << wheels::CoverageText(*coverage) << secondText;
    out.flush();
    if (!out) {
        err << "brindlemark: the analysis could not be written on standard output\n";
        return kExitFailure;
    }
    err << CompletionTimeText(static_cast<double>(clock.NowMs() - start) / 1000.0, UserNumberSeparators()) << "\n";
    return kExitOk;
}

int RunWheelLibrary(const std::vector<std::string>& args, const bm::ProgramFolder&, std::ostream& out,
                    std::ostream& err)
{
    if (!args.empty())
        return Refuse(err, "unknown option \"" + args.front() + "\" for wheel library");
    const auto entries = wheels::ListLibrary(wheels::LibraryFolder());
    if (!entries)
        return Refuse(err, entries.error().message);
    const auto quoted = [](const std::string& text) {
        std::string q = "\"";
        for (const char c : text)
            q += c == '"' ? std::string("\"\"") : std::string(1, c);
        return q + "\"";
    };
    out << "v,k,t,plays,status,credit\n";
    for (const auto& e : *entries)
        out << e.v << ',' << e.k << ',' << e.t << ',' << e.plays << ','
            << (e.provenOptimal ? "proven optimal" : "best known") << ',' << quoted(e.credit) << '\n';
    out.flush();
    if (!out) {
        err << "brindlemark: the list could not be written on standard output\n";
        return kExitFailure;
    }
    err << entries->size() << " designs from " << wheels::kLibraryCredit << "\n";
    return kExitOk;
}

}  // namespace bm::cli
