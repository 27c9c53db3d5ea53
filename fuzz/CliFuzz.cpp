// The command line's parsing only: nothing here prints, spools or writes. The input is split at
// NUL bytes into arguments. The first byte picks the check game for --draw. Besides not crashing:
// what a parser accepts is complete and unambiguous, and what it refuses says why.
#include <algorithm>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/JobCommand.h"

using namespace bm;
using namespace bm::cli;
using bmfuzz::Require;

namespace {

std::vector<std::string> Arguments(std::string_view bytes)
{
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

void CheckHome(const std::vector<std::string>& args)
{
    std::vector<std::string> rest = args;
    std::string error;
    const auto home = TakeHome(rest, error);
    (void)WantsCommandLine(args);
    if (!error.empty())
        return;
    Require(rest.size() <= args.size(), "TakeHome added arguments");
    const std::size_t taken = args.size() - rest.size();
    Require(taken == 0 || !home.empty(), "arguments taken without a home");
    // Every argument that remains stands in the original order.
    std::size_t at = 0;
    for (const auto& r : rest) {
        while (at < args.size() && args[at] != r)
            ++at;
        Require(at < args.size(), "TakeHome changed an argument");
        ++at;
    }
}

void CheckJob(const std::vector<std::string>& args, bool takesWheel)
{
    const auto parsed = ParseJobOptions(args, takesWheel);
    if (!parsed) {
        Require(!parsed.error().message.empty(), "a refusal without a message");
        return;
    }
    const JobOptions& o = *parsed;
    Require(!o.definition.empty(), "a job without a definition accepted");
    Require(!takesWheel || !o.wheel.empty(), "a print without a wheel file accepted");
    Require(takesWheel || o.wheel.empty(), "a test pattern took a wheel file");
    Require(o.output != JobOptions::Output::Pdf || !o.pdf.empty(), "--pdf without a file accepted");
    Require(o.output != JobOptions::Output::Printer || !o.printer.empty(), "--printer without a name accepted");
}

void CheckCheck(const std::vector<std::string>& args, const CheckGame& game)
{
    const auto parsed = ParseCheckOptions(args);
    if (!parsed) {
        Require(!parsed.error().message.empty(), "a refusal without a message");
        return;
    }
    Require(!parsed->definition.empty() && !parsed->wheel.empty() && parsed->draw.empty() != parsed->draws.empty(),
            "check accepted without a definition, a wheel file, or exactly one of a draw and a draws file");
    if (parsed->draw.empty())
        return;
    const auto draw = ParseDraw(parsed->draw, game, 49, "ZZ649");
    if (draw)
        Require(draw->mainCount == game.mainDrawn, "a draw of the wrong size accepted");
    else
        Require(draw.error().message.rfind("--draw", 0) == 0, "a draw refusal that does not name --draw");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const auto variants = CheckerVariants();
    const CheckGame& game = variants[data[0] % variants.size()].Game((data[0] >> 4) & 1);
    const auto args = Arguments(bmfuzz::AsText(data + 1, size - 1));
    CheckHome(args);
    CheckJob(args, true);
    CheckJob(args, false);
    CheckCheck(args, game);
    // --draw's text on its own, as a shell would pass a whole quoted draw.
    (void)ParseDraw(std::string(bmfuzz::AsText(data + 1, size - 1)), game, 49, "ZZ649");
    return 0;
}
