#include "app/cli/TwoPoolCommand.h"

#include "app/cli/CheckCommand.h"
#include "app/cli/Cli.h"
#include "app/cli/Interrupt.h"
#include "app/cli/ReportOutput.h"
#include "checking/CheckReport.h"
#include "checking/SummaryFile.h"
#include "common/AtomicFile.h"
#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "marks/MarkPlacement.h"

namespace bm::cli {

Result<std::optional<TwoPoolInputs>> TwoPoolInputsFor(const CheckOptions& options, const bm::ProgramFolder& folder)
{
    auto chosen = ResolveDefinition(options.definition, folder);
    if (!chosen)
        return chosen.error();
    auto def = ReadDefinitionFile(chosen->file);
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

int RunTwoPoolCheckCommand(const CheckOptions& options, const TwoPoolInputs& inputs, std::ostream& out,
                           std::ostream& err)
{
    Interrupt interrupt;
    if (!options.draws.empty())
        return Refuse(err, inputs.chosen.name +
                               " has a second pool: --draws is not read for such games yet; check each draw with --draw");
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
            return Refuse(err, committed.error().message);
    }
    err << CompletionTimeText(static_cast<double>(counted.elapsedMs + reported.elapsedMs) / 1000.0, separators)
        << "\n";
    return kExitOk;
}

}  // namespace bm::cli
