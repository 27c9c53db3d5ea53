#include "cli/TwoPoolCommand.h"

#include <cstdio>

#include "checking/CheckReport.h"
#include "checking/DrawHistory.h"
#include "checking/SummaryFile.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "cli/Interrupt.h"
#include "cli/ReportOutput.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "slip/MarkPlacement.h"

namespace bm::cli {

Result<std::optional<TwoPoolInputs>> TwoPoolInputsFor(const CheckOptions& options, const bm::ProgramFolder& folder)
{
    auto chosen = ResolveDefinition(options.definition, folder);
    if (!chosen)
        return chosen.error();
    auto def = ReadDefinitionAsNamed(chosen->file);
    if (!def)
        return def.error();
    const auto marksFile = MarksFileOf(chosen->file);
    auto marks = ReadSlipMarks(marksFile);
    if (!marks)
        return marks.error();
    const GameFormat format = GameOf(*def, *marks);
    if (!ChecksByTiers(format))
        return std::optional<TwoPoolInputs>();
    auto game = TwoPoolGameOf(format, *marks, marksFile.string());
    if (!game)
        return game.error();
    std::filesystem::path wheel = ResolveWheel(options.wheel, folder);
    if (!options.save.empty()) {
        std::vector<std::filesystem::path> read{wheel, chosen->file, marksFile};
        if (!options.draws.empty())
            read.emplace_back(options.draws);
        if (const Status target = CheckOutputTarget(options.save, read, &folder); !target)
            return target.error();
    }
    return std::optional<TwoPoolInputs>(TwoPoolInputs{std::move(*chosen), std::move(*game), std::move(wheel)});
}

namespace {

TwoPoolDraw DrawOf(const HistoryDraw& d)
{
    TwoPoolDraw draw;
    draw.main.assign(d.numbers.main.begin(), d.numbers.main.begin() + d.numbers.mainCount);
    draw.second.assign(d.numbers.second.begin(), d.numbers.second.begin() + d.numbers.secondCount);
    return draw;
}

}  // namespace

int RunTwoPoolHistory(const CheckOptions& options, const TwoPoolInputs& inputs, std::ostream& out, std::ostream& err)
{
    Interrupt interrupt;
    const TwoPoolGame& game = inputs.game;
    const DrawShape shape{game.pick, false, game.secondPick, game.pool, game.secondPool};
    DrawsOptions reading;
    reading.skipInvalid = options.skipInvalidDraws;
    reading.dateOrder = DateOrderFromText(options.dateOrder).value_or(DateOrder::Unknown);
    reading.from = options.from;
    reading.to = options.to;
    const std::filesystem::path drawsFile = options.draws;
    const auto stoppedAfter = [&](std::int64_t draws) {
        err << "brindlemark: stopped after " << draws << " draws; nothing was written\n";
        return kExitFailure;
    };
    // Every draw is read once before anything is written: a bad line refuses the run with nothing on stdout.
    auto first = DrawsReader::Open(drawsFile, shape, reading);
    if (!first)
        return Refuse(err, first.error().message);
    // Both passes read the one file opened here.
    const std::shared_ptr<const InputFile> drawsInput = (*first)->input();
    HistoryDraw draw;
    while ((*first)->Next(draw))
        if (((*first)->draws() & 0x3FF) == 0 && interrupt.Pressed())
            return stoppedAfter(0);
    if ((*first)->error()) {
        if (const Status same = drawsInput->CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return Refuse(err, (*first)->error()->message);
    }
    const std::int64_t drawCount = (*first)->draws();
    // The second pass reads the dates as the first settled them.
    reading.dateOrder = (*first)->dateOrder();
    first->reset();

    const std::int64_t start = MonotonicClock().NowMs();
    if (const Status plain = CheckWheelIsFile(inputs.wheel); !plain)
        return Refuse(err, plain.error().message);
    auto input = InputFile::Open(inputs.wheel);
    if (!input)
        return Refuse(err, input.error().message);
    bool stopped = false;
    const auto wheel = ReadTwoPoolWheel(
        game, *input, [&] { return !interrupt.Pressed(); }, stopped);
    if (!wheel) {
        if (const Status same = (*input)->CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return Refuse(err, wheel.error().message);
    }
    if (stopped)
        return stoppedAfter(0);

    auto second = DrawsReader::Open(drawsInput, shape, reading);
    if (!second)
        return Refuse(err, second.error().message);
    AtomicFileWriter saved;
    if (!options.save.empty()) {
        if (const Status opened = saved.Open(options.save); !opened)
            return Refuse(err, opened.error().message);
    }
    // The CSV is kept until the whole run is known good (one short line a draw): a run that
    // fails, an input that changed meanwhile or Ctrl+C leave nothing a pipeline could take for a result.
    std::string csv = TwoPoolCsvHeader(game);
    std::vector<std::int64_t> total(static_cast<std::size_t>(game.Tiers()), 0);
    std::int64_t draws = 0;
    while ((*second)->Next(draw)) {
        if (HistoryPollHook())
            HistoryPollHook()(draws);
        if (interrupt.Pressed())
            return stoppedAfter(draws);
        const TwoPoolDraw drawn = DrawOf(draw);
        const auto tally = TwoPoolTally(game, *wheel, drawn);
        for (std::size_t t = 0; t < total.size(); ++t)
            total[t] += tally[t];
        csv += TwoPoolCsvRow(game, draw.date, drawn, tally);
        ++draws;
    }
    // Another count or a fault now means the file changed in between.
    if (const Status same = InputsUnchanged({input->get(), drawsInput.get()}); !same)
        return Fail(err, same.error().message);
    if ((*second)->error() || draws != drawCount)
        return Fail(err, ChangedWhileCheckedText(drawsFile));
    csv += TwoPoolCsvTotal(game, total);
    ReportOutput printed(out);
    printed.Write(csv);
    if (!printed.Flush())
        return Fail(err, printed.FailureText());
    if (saved.IsOpen()) {
        saved.Write(csv);
        if (const Status committed = saved.Commit(); !committed)
            return Fail(err, committed.error().message);
    }
    for (const std::string& note : DrawsFileNoteLines(drawsFile, (*second)->notes()))
        err << ShownLine(note) << "\n";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", static_cast<double>(MonotonicClock().NowMs() - start) / 1000.0);
    err << "Checked " << wheel->plays << " plays against " << draws << " draws in " << seconds << " seconds\n";
    return kExitOk;
}

int RunTwoPoolCheckCommand(const CheckOptions& options, const TwoPoolInputs& inputs, std::ostream& out,
                           std::ostream& err)
{
    if (!options.draws.empty())
        return RunTwoPoolHistory(options, inputs, out, err);
    Interrupt interrupt;
    const auto draw = ParseTwoPoolDraw(options.draw, inputs.game, inputs.chosen.name);
    if (!draw)
        return Refuse(err, draw.error().message);
    if (const Status plain = CheckWheelIsFile(inputs.wheel); !plain)
        return Refuse(err, plain.error().message);
    auto input = InputFile::Open(inputs.wheel);
    if (!input)
        return Refuse(err, input.error().message);
    const NumberSeparators separators = UserNumberSeparators();
    const auto keepGoing = [&] { return !interrupt.Pressed(); };
    const auto stopped = [&](const TwoPoolRun& run) {
        err << AbortText(run.playsRead, static_cast<double>(run.elapsedMs) / 1000.0, separators) << "\n";
        return kExitFailure;
    };
    const auto refuseUnlessChanged = [&](const std::string& message) {
        if (const Status same = (*input)->CheckUnchanged(); !same)
            return Fail(err, same.error().message);
        return Refuse(err, message);
    };

    // The whole file is read once before anything is written, so a bad line leaves stdout empty.
    TwoPoolRun counted;
    if (const Status status = RunTwoPoolCheck(inputs.game, *draw, *input, MonotonicClock(), counted, {}, keepGoing);
        !status)
        return refuseUnlessChanged(status.error().message);
    if (counted.aborted)
        return stopped(counted);

    AtomicFileWriter summaryFile;
    if (!options.save.empty()) {
        if (const Status opened = summaryFile.Open(options.save); !opened)
            return Refuse(err, opened.error().message);
    }
    ReportOutput printed(out);
    const auto write = [&](std::string_view piece) {
        return printed.Write(piece) && (!summaryFile.IsOpen() || summaryFile.Write(WithCrLf(piece)));
    };
    std::string header;
    header.append("Lottery: ").append(ShownLine(inputs.chosen.name)).append("\n");
    header.append("Ticket File: ").append(ShownLine(inputs.wheel.filename().string())).append("\n");
    header.append(TwoPoolDrawLine(*draw)).append("\n");
    header.append("Checking ")
        .append(FormatWhole(counted.playsRead, Pattern::GroupedBlankZero, separators))
        .append(" Picks Against Above Draw Results\n\n");
    write(header);
    std::string piece;
    TwoPoolRun reported;
    const Status again = RunTwoPoolCheck(
        inputs.game, *draw, *input, MonotonicClock(), reported,
        [&](const std::string& line) {
            piece.append(line).append("\n");
            if (piece.size() >= 64 * 1024) {
                write(piece);
                piece.clear();
            }
        },
        keepGoing);
    if (!again || (!reported.aborted && reported.tally != counted.tally))
        return Fail(err, again ? ChangedWhileCheckedText(inputs.wheel) : again.error().message);
    if (reported.aborted)
        return stopped(reported);
    write(piece);
    write("\n" + TwoPoolSummary(inputs.game, counted.tally, separators));
    if (!printed.Flush())
        return Fail(err, printed.FailureText());
    if (summaryFile.IsOpen()) {
        if (const Status committed = summaryFile.Commit(); !committed)
            return Fail(err, committed.error().message);
    }
    err << CompletionTimeText(static_cast<double>(counted.elapsedMs + reported.elapsedMs) / 1000.0, separators) << "\n";
    return kExitOk;
}

}  // namespace bm::cli
