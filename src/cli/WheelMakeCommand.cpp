#include <cmath>
#include <cstdio>

#include "checking/Clock.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/Interrupt.h"
#include "cli/WheelCommand.h"
#include "common/AtomicFile.h"
#include "common/Numbers.h"
#include "common/ShownText.h"
#include "wheels/WheelDesign.h"
#include "wheels/WheelLibrary.h"
#include "wheels/WheelMake.h"

namespace bm::cli {

namespace {

// A whole number option within lo..hi, or the reason it is not.
Result<std::int64_t> WholeOption(const std::map<std::string, std::string>& options, const std::string& name,
                                 std::int64_t lo, std::int64_t hi)
{
    const std::string& text = options.at(name);
    const auto value = ParseWhole(text);
    if (!value || *value < lo || *value > hi)
        return Error{name + " \"" + text + "\" is not a whole number from " + std::to_string(lo) + " to " +
                     std::to_string(hi)};
    return *value;
}

std::string Seconds(double s)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

}  // namespace

std::function<void(std::int64_t rounds)>& WheelMakeRoundHook()
{
    static std::function<void(std::int64_t)> hook;
    return hook;
}

std::function<void(wheels::MadeWheel&)>& WheelMakeResultHook()
{
    static std::function<void(wheels::MadeWheel&)> hook;
    return hook;
}

int RunWheelMake(const std::vector<std::string>& passed, const bm::ProgramFolder& folder, std::ostream& out,
                 std::ostream& err)
{
    std::vector<std::string> args = passed;
    auto second = TakeSecondOption(args);
    if (!second)
        return Refuse(err, second.error().message);
    const auto parsed = ParseNamedOptions(args,
                                          {"--numbers", "--count", "--pick", "--if", "--match", "--seconds", "--seed",
                                           "--rounds", "--definition", "--out"},
                                          "wheel make");
    if (!parsed)
        return Refuse(err, parsed.error().message);
    const auto& options = *parsed;
    const auto has = [&](const char* name) { return options.count(name) != 0; };

    std::optional<WheelGame> game;
    std::vector<std::filesystem::path> inputs;
    if (has("--definition")) {
        auto read = ReadWheelGame(options.at("--definition"), folder, inputs);
        if (!read)
            return Refuse(err, read.error().message);
        game = std::move(*read);
    }
    if (const Status chosen = CheckSecondChoice(*second, game); !chosen)
        return Refuse(err, chosen.error().message);

    std::vector<int> numbers;
    if (has("--numbers") == has("--count"))
        return Refuse(err, has("--numbers") ? "give --numbers or --count, not both"
                                            : "--numbers or --count is missing: give the numbers to wheel, such as "
                                              "--numbers \"3 11 19 27 35 43 45\", or their count, such as --count 15");
    if (has("--numbers")) {
        const auto given = game ? wheels::ParseNumbers(options.at("--numbers"), game->pool, game->name)
                                : wheels::ParseNumbers(options.at("--numbers"));
        if (!given)
            return Refuse(err, given.error().message);
        numbers = *given;
    } else {
        const auto count = WholeOption(options, "--count", 1, game ? game->pool : wheels::kMaxWheelNumbers);
        if (!count)
            return Refuse(err, count.error().message + (game ? " (the numbers of " + game->name + ")" : ""));
        for (int n = 1; n <= *count; ++n)
            numbers.push_back(n);
    }

    wheels::WheelShape shape;
    shape.v = static_cast<int>(numbers.size());
    if (has("--pick")) {
        const auto pick = WholeOption(options, "--pick", 1, wheels::kMaxWheelNumbers);
        if (!pick)
            return Refuse(err, pick.error().message);
        shape.k = static_cast<int>(*pick);
        if (game && shape.k != game->pick)
            return Refuse(err, "--pick " + std::to_string(shape.k) + ": " + game->name + " plays hold " +
                                   std::to_string(game->pick) + " numbers");
    } else if (game) {
        shape.k = game->pick;
    } else {
        return Refuse(err, "--pick is missing: give the numbers of a play, such as --pick 6");
    }
    for (const auto& [name, field] : {std::pair{"--if", &shape.m}, std::pair{"--match", &shape.t}}) {
        if (!has(name))
            return Refuse(err, std::string(name) + " is missing: the guarantee is \"--match T if --if M\" of the "
                                                   "numbers drawn, such as --match 3 --if 6");
        const auto value = WholeOption(options, name, 1, wheels::kMaxWheelNumbers);
        if (!value)
            return Refuse(err, value.error().message);
        *field = static_cast<int>(*value);
    }
    double seconds = 10;
    if (has("--seconds")) {
        const auto value = ParseDouble(options.at("--seconds"));
        if (!value || !(*value > 0) || *value > 86400)
            return Refuse(err, "--seconds \"" + options.at("--seconds") +
                                   "\" is not a number of seconds above 0 and at most 86400");
        seconds = *value;
    }
    std::uint64_t seed = 1;
    if (has("--seed")) {
        const auto value = WholeOption(options, "--seed", 0, std::int64_t{1} << 62);
        if (!value)
            return Refuse(err, value.error().message);
        seed = static_cast<std::uint64_t>(*value);
    }
    std::int64_t rounds = -1;
    if (has("--rounds")) {
        const auto value = WholeOption(options, "--rounds", 1, std::int64_t{1} << 40);
        if (!value)
            return Refuse(err, value.error().message);
        rounds = *value;
    }
    if (const auto fault = wheels::MakeFault(shape))
        return Refuse(err, "wheel make: " + *fault);
    const std::string outFile = has("--out") ? options.at("--out") : std::string();
    if (!outFile.empty()) {
        if (const Status target = CheckOutputTarget(outFile, inputs, &folder); !target)
            return Refuse(err, target.error().message);
    }

    Clock& clock = MonotonicClock();
    const std::int64_t start = clock.NowMs();
    Interrupt interrupt;
    wheels::MakeLimits limits;
    limits.search.seed = seed;
    limits.search.maxRounds = rounds;
    const auto spent = [&clock, start, seconds]() {
        return static_cast<double>(clock.NowMs() - start) / (seconds * 1000.0);
    };
    limits.spent = spent;
    wheels::SearchProgress last;  // where the search was when last asked
    limits.search.keepGoing = [&](const wheels::SearchProgress& progress) {
        last = progress;
        if (WheelMakeRoundHook())
            WheelMakeRoundHook()(progress.rounds);
        return !interrupt.Pressed() && spent() < 1.0;
    };
    std::vector<std::string> faults;
    wheels::MadeWheel result = wheels::MakeWheel(shape, limits, wheels::LibraryFolder(), faults);
    for (const std::string& fault : faults)
        err << "brindlemark: note: the wheel library is left out: " << ShownLine(fault) << "\n";
    if (WheelMakeResultHook())
        WheelMakeResultHook()(result);
    const bool interrupted = interrupt.Pressed();
    const std::string elapsed = Seconds(static_cast<double>(clock.NowMs() - start) / 1000.0);
    if (result.plays.empty()) {
        // Why there is none: how far the first wheel had come.
        std::string reached;
        if (last.tryingPlays > 0 && last.uncovered > 0)
            reached = "; " + std::to_string(last.tryingPlays) + " plays so far, " + std::to_string(last.uncovered) +
                      " of the " + std::to_string(wheels::SetsToCover(shape)) + " sets of " + std::to_string(shape.m) +
                      " numbers still uncovered";
        err << "brindlemark: wheel make: " << (interrupted ? "interrupted" : "the time ran out")
            << " before a first wheel was complete (" << elapsed << reached << "); nothing written"
            << (interrupted ? "" : "; give it more --seconds") << "\n";
        return kExitFailure;
    }
    // The proof walks every subset of the numbers: Ctrl+C is heard there too (a wheel not
    // proven is never written); after a Ctrl+C that ended the search, the best wheel so far is
    // proven and written.
    const bool pressedBefore = interrupted;
    const auto match =
        wheels::CheckedMatch(shape, result.plays, [&](double) { return pressedBefore || !interrupt.Pressed(); });
    if (!match && !pressedBefore && interrupt.Pressed()) {
        err << "brindlemark: wheel make: interrupted while the wheel was proven; nothing written\n";
        return kExitFailure;
    }
    if (!match || *match < shape.t) {
        err << "brindlemark: wheel make: the wheel built does not hold its guarantee (a fault of the program); "
               "nothing written\n";
        return kExitFailure;
    }
    auto plays = wheels::PlaysOnNumbers(result.plays, numbers);
    if (*second) {
        auto withSecond = wheels::WithSecondNumbers(plays, **second);
        if (!withSecond)
            return Refuse(err, withSecond.error().message);
        plays = std::move(*withSecond);
    }
    const std::string text = wheels::PlaysText(plays);
    if (!outFile.empty()) {
        if (const Status written = WriteFileAtomically(outFile, text); !written)
            return Fail(err, written.error().message);
    } else {
        out << text;
        out.flush();
        if (!out) {
            err << "brindlemark: the plays could not be written on standard output\n";
            return kExitFailure;
        }
    }
    err << (interrupted ? "interrupted; the best wheel so far: " : "") << result.plays.size() << " plays, " << elapsed
        << ", " << wheels::BoundAndRecordText(shape) << (result.source.empty() ? "" : "; " + result.source) << "\n";
    return interrupted ? kExitFailure : kExitOk;
}

}  // namespace bm::cli
