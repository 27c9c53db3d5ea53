#include <algorithm>
#include <cstdio>
#include <thread>

#include "app/cli/CheckCommand.h"
#include "app/cli/Cli.h"
#include "app/cli/Interrupt.h"
#include "checking/HistoryCheck.h"
#include "common/AtomicFile.h"

namespace bm::cli {

int RunHistoryCommand(const CheckOptions& options, const bm::ProgramFolder& folder, std::ostream& out,
                      std::ostream& err)
{
    const auto inputs = ResolveCheckInputs(options, folder);
    if (!inputs)
        return Refuse(err, inputs.error().message);
    // Named one by one: lambdas below may not capture structured bindings on every compiler.
    const SlipDefinition& def = inputs->def;
    const CheckGame& game = inputs->game;
    const std::filesystem::path& wheelFile = inputs->wheel;
    const std::filesystem::path drawsFile = options.draws;

    // Every draw is read once before anything is written, so that a bad line refuses the run
    // with nothing on stdout.
    {
        auto draws = DrawsReader::Open(drawsFile, game, def.Pool);
        if (!draws)
            return Refuse(err, draws.error().message);
        HistoryDraw draw;
        while ((*draws)->Next(draw)) {
        }
        if ((*draws)->error())
            return Refuse(err, (*draws)->error()->message);
    }
    auto wheel = CompactWheel::Read(wheelFile, game, def.Pool);
    if (!wheel)
        return Refuse(err, wheel.error().message);
    auto draws = DrawsReader::Open(drawsFile, game, def.Pool);
    if (!draws)
        return Refuse(err, draws.error().message);

    // The CSV goes out only when the run ends well: a stopped run writes nothing, as check does.
    // It is a line per draw, small beside the plays held.
    std::string csv = HistoryCsvHeader(game);
    const auto row = [&](const HistoryRow& r) { csv += HistoryCsvRow(game, r); };
    Interrupt interrupt;
    const HistoryPoll poll = [&](std::int64_t) { return !interrupt.Pressed(); };
    HistoryRun run;
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const Status status = RunHistory(game, *wheel, **draws, row, run, MonotonicClock(), workers, poll);
    if (!status)
        return Refuse(err, status.error().message);
    if (run.aborted) {
        err << "brindlemark: stopped after " << run.draws << " draws; nothing was written\n";
        return kExitFailure;
    }
    csv += HistoryCsvTotal(game, run);
    if (!options.save.empty()) {
        if (const Status written = WriteFileAtomically(options.save, csv); !written)
            return Refuse(err, written.error().message);
    }
    out << csv;
    out.flush();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(run.elapsedMs) / 1000.0);
    err << "Checked " << run.plays << " plays against " << run.draws << " draws in " << seconds << " seconds\n";
    return kExitOk;
}

}  // namespace bm::cli
