#include <algorithm>
#include <cstdio>
#include <thread>

#include "checking/HistoryCheck.h"
#include "checking/HistoryMoney.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/Interrupt.h"
#include "cli/ReportOutput.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"

namespace bm::cli {

namespace {

int Stopped(std::ostream& err, std::int64_t draws)
{
    err << "brindlemark: stopped after " << draws << " draws; nothing was written\n";
    return kExitFailure;
}

}  // namespace

std::function<void(std::int64_t draws)>& HistoryPollHook()
{
    static std::function<void(std::int64_t)> hook;
    return hook;
}

int RunHistoryCommand(const CheckOptions& options, const bm::ProgramFolder& folder, std::ostream& out,
                      std::ostream& err)
{
    // Ctrl+C is heard from the start: while the draws are read, the wheel loads and the draws are checked.
    Interrupt interrupt;
    const auto inputs = ResolveCheckInputs(options, folder);
    if (!inputs)
        return Refuse(err, inputs.error().message);
    // Named one by one: lambdas below may not capture structured bindings on every compiler.
    const SlipDefinition& def = inputs->def;
    const CheckGame& game = inputs->game;
    const std::filesystem::path& wheelFile = inputs->wheel;
    const std::filesystem::path drawsFile = options.draws;
    DrawsOptions reading;
    reading.skipInvalid = options.skipInvalidDraws;
    reading.dateOrder = DateOrderFromText(options.dateOrder).value_or(DateOrder::Unknown);
    reading.from = options.from;
    reading.to = options.to;

    // Every draw is read once before anything is written, so that a bad line refuses the run
    // with nothing on stdout. Both passes read the one file opened here.
    auto first = DrawsReader::Open(drawsFile, game, def.Pool, reading);
    if (!first)
        return Refuse(err, first.error().message);
    const std::shared_ptr<const InputFile> draws = (*first)->input();
    HistoryDraw draw;
    while ((*first)->Next(draw)) {
        if (((*first)->draws() & 0x3FF) == 0 && interrupt.Pressed())
            return Stopped(err, 0);
    }
    if ((*first)->error()) {
        if (const Status same = draws->CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return Refuse(err, (*first)->error()->message);
    }
    const std::int64_t drawCount = (*first)->draws();
    const bool money = (*first)->carriesPrizes();
    // The second pass reads the dates as the first settled them.
    reading.dateOrder = (*first)->dateOrder();
    first->reset();

    if (const Status plain = CheckWheelIsFile(wheelFile); !plain)
        return Refuse(err, plain.error().message);
    auto wheelInput = InputFile::Open(wheelFile);
    if (!wheelInput)
        return Refuse(err, wheelInput.error().message);
    const InputFile* wheelRead = wheelInput->get();
    bool stopped = false;
    auto wheel = CompactWheel::Read(
        *wheelInput, game, def.Pool, [&] { return !interrupt.Pressed(); }, stopped);
    if (!wheel) {
        if (const Status same = InputsUnchanged({wheelRead, draws.get()}); !same)
            return Fail(err, same.error().message);
        return Refuse(err, wheel.error().message);
    }
    if (stopped || interrupt.Pressed())
        return Stopped(err, 0);
    auto second = DrawsReader::Open(draws, game, def.Pool, reading);
    if (!second)
        return Refuse(err, second.error().message);

    // The CSV is kept until the whole run is known good (one short line a draw, so memory goes
    // with the result): a run that fails, an input that changed meanwhile or Ctrl+C leave
    // nothing on stdout that a pipeline could take for a result.
    AtomicFileWriter saved;
    if (!options.save.empty()) {
        if (const Status opened = saved.Open(options.save); !opened)
            return Refuse(err, opened.error().message);
    }
    std::string csv = HistoryCsvHeader(game, money);
    long double won = 0;
    const auto row = [&](const HistoryRow& r) {
        if (money)
            won += WonBy(HistoryPrizes{}, r.tally, TierPrizes(game, r.draw.prizes));
        csv += HistoryCsvRow(game, r, money);
    };
    const HistoryPoll poll = [&](std::int64_t done) {
        if (HistoryPollHook())
            HistoryPollHook()(done);
        return !interrupt.Pressed();
    };
    HistoryRun run;
    const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const Status status = RunHistory(game, *wheel, **second, row, run, MonotonicClock(), workers, poll);
    // A fault or another count in the second pass means the file changed in between.
    const Status same = InputsUnchanged({wheelRead, draws.get()});
    if (!same || (status && !run.aborted && run.draws != drawCount))
        return Fail(err, same ? ChangedWhileCheckedText(drawsFile) : same.error().message);
    if (!status)
        return Refuse(err, status.error().message);
    if (run.aborted)
        return Stopped(err, run.draws);
    csv += HistoryCsvTotal(game, run, money ? std::optional<long double>(won) : std::nullopt);
    ReportOutput printed(out);
    printed.Write(csv);
    if (!printed.Flush())
        return Fail(err, printed.FailureText());
    if (saved.IsOpen()) {
        saved.Write(csv);
        if (const Status committed = saved.Commit(); !committed)
            return Fail(err, committed.error().message);
    }
    for (const std::string& note : DrawsFileNoteLines(drawsFile, run.drawsFile))
        err << ShownLine(note) << "\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(run.elapsedMs) / 1000.0);
    err << "Checked " << run.plays << " plays against " << run.draws << " draws in " << seconds << " seconds\n";
    return kExitOk;
}

}  // namespace bm::cli
