#include "printing/PrintJob.h"

#include <fstream>
#include <limits>
#include <memory>
#include <optional>

#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "printing/BoxGeometry.h"
#include "printing/PlayRules.h"
#include "printing/PlayWindow.h"
#include "printing/SheetFit.h"
#include "printing/TestPattern.h"
#include "printing/WheelFile.h"

namespace bm {

namespace {

constexpr int kMinJobRows = 2;
constexpr int kMaxJobRows = 10;
constexpr int kLinesBesideRows = kFieldCount + 3;

// The pointer is busy from the start of a job and normal again after every one of its ends.
class BusyPointer {
public:
    explicit BusyPointer(JobStatus& status) : status_(status) { status_.SetBusy(true); }
    ~BusyPointer() { status_.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    JobStatus& status_;
};

JobOutcome Ended(JobEnd end, std::string message = {}, long long slip = 0)
{
    return JobOutcome{end, std::move(message), slip};
}

// The job reads the file afresh every time and prints only definitions of 2 to 10 rows; the
// layout and powerball flags are those the caller loaded with the definition.
Result<SlipDefinition> ReadJobDefinition(const PrintJobRequest& request)
{
    if (request.definitionFile.empty())
        return Error{"No slip definition is chosen; choose one from the list first"};
    auto def = ReadDefinitionFile(request.definitionFile);
    if (!def)
        return def.error();
    const int rows = static_cast<int>(def->RowFirstNumber.size());
    if (rows < kMinJobRows || rows > kMaxJobRows)
        return Error{request.definitionFile.string() + ": holds " + std::to_string(rows + kLinesBesideRows) +
                     " lines (" + std::to_string(rows) + (rows == 1 ? " row" : " rows") +
                     "); printing takes definitions of 22 to 30 lines (2 to 10 rows)"};
    def->Horizontal = request.Horizontal;
    def->bPB = request.bPB;
    return def;
}

Result<float> ReadOffset(const std::string& text, const char* which)
{
    if (const auto value = OffsetValue(text))
        return *value;
    return Error{std::string("The ") + which + " offset \"" + ShownText(text) +
                 "\" is not a number of millimetres (for example -1.5 or 2)"};
}

bool SupportedPick(int pick)
{
    return pick >= 5 && pick <= 7;
}

// A pick this version cannot print is still counted for the summary, line by line, before it is
// refused; its lines are not read as plays. Any other file is refused before anything goes to
// paper when one of its plays would print with a mark missing. Escape is heard while a large file
// is counted: then nothing is returned.
std::optional<Result<std::int32_t>> CountJobPlays(const std::filesystem::path& file, const GameFormat& game,
                                                  const PlayFault& fault, EscapeKey& escape)
{
    if (const Status plain = CheckWheelIsFile(file); !plain)
        return Result<std::int32_t>(plain.error());
    if (SupportedPick(game.Pick)) {
        bool stopped = false;
        auto counted = CountPlaysWithin(file, game.NumbersPerPlay(), NumberWidth::Bits16, fault, true,
                                        [&] { return stopped = escape.Pressed(); });
        if (stopped)
            return std::nullopt;
        return counted;
    }
    std::int64_t lines = 0;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Result<std::int32_t>(Error{file.string() + ": cannot be opened for reading"});
    for (std::string line; std::getline(in, line);) {
        if (line.find_first_not_of(" \t\r") != std::string::npos)
            ++lines;
        if ((lines & 0xFFF) == 0 && escape.Pressed())
            return std::nullopt;
    }
    if (lines > std::numeric_limits<std::int32_t>::max())
        return Result<std::int32_t>(Error{file.string() + ": holds more plays than this program can handle"});
    return Result<std::int32_t>(static_cast<std::int32_t>(lines));
}

// Slip after slip: every box position of every panel is compared with the panel's play and
// Escape is polled after each one.
JobOutcome PrintSlips(const SlipDefinition& def, const BoxGeometry& geometry, PlayWindow& plays, long long slips,
                      PrintSurface& surface, JobStatus& status, EscapeKey& escape)
{
    for (long long slip = 1; slip <= slips; ++slip) {
        status.SetSlip(slip);
        for (int m = 1; m <= def.MainPanels; ++m) {
            for (int r = 1; r <= def.RowsInPanel; ++r) {
                for (int p = 1; p <= def.PanelsAcross; ++p) {
                    const auto play = plays.Get(geometry.PlayIndex(slip, m, p));
                    if (plays.error()) {
                        surface.AbandonDocument();
                        return Ended(JobEnd::Refused, plays.error()->message, slip);
                    }
                    for (int c = 1; c <= def.ColumnsInPanel; ++c) {
                        const auto number = geometry.BoxNumber(r, c);
                        for (auto n = play.begin; number && n != play.end; ++n) {
                            if (*n == *number) {
                                const BoxRect box = geometry.Rect(m, r, p, c);
                                surface.FillBox(box.x1, box.y1, box.x2, box.y2);
                            }
                        }
                        if (escape.Pressed()) {
                            surface.AbandonDocument();
                            status.SetEndMessage("Print Job Aborted At Slip " + std::to_string(slip), true);
                            return Ended(JobEnd::Aborted, {}, slip);
                        }
                    }
                }
            }
        }
        surface.NextPage();
        plays.Release(geometry.PlayIndex(slip + 1, 1, 1));
    }
    return Ended(JobEnd::Completed, {}, slips);
}

std::string DestinationText(const Destination& destination)
{
    switch (destination.kind) {
    case Destination::Kind::Printer: return "Sent To Printer " + destination.name;
    case Destination::Kind::File: return "Saved To " + destination.name;
    case Destination::Kind::None: break;
    }
    return {};
}

JobOutcome EndDocument(PrintSurface& surface, JobStatus& status, const std::string& endMessage, long long slip)
{
    const Status done = surface.EndDocument();
    if (!done)
        return Ended(JobEnd::Failed, done.error().message, slip);
    status.SetEndMessage(endMessage, true);
    if (const std::string where = DestinationText(surface.HandedTo()); !where.empty())
        status.SetDestination(where);
    return Ended(JobEnd::Completed, {}, slip);
}

}  // namespace

JobOutcome RunPrintJob(const PrintJobRequest& request, PrintSurface& surface, JobStatus& status, EscapeKey& escape,
                       const ChooseWheelFile& chooseWheelFile)
{
    surface.UseMillimetres();
    surface.SetOrientation(request.Horizontal ? Orientation::Landscape : Orientation::Portrait);
    status.SetEndMessage("", false);
    BusyPointer busy(status);

    const auto top = ReadOffset(request.offsets.top, "top");
    if (!top)
        return Ended(JobEnd::Refused, top.error().message);
    const auto left = ReadOffset(request.offsets.left, "left");
    if (!left)
        return Ended(JobEnd::Refused, left.error().message);
    const auto def = ReadJobDefinition(request);
    if (!def)
        return Ended(JobEnd::Refused, def.error().message);
    // Every mark off the paper would be printed with "Processing Complete" all the same.
    if (const auto off = SheetRefusal(*def, *top, *left))
        return Ended(JobEnd::Refused, request.definitionFile.string() + ": " + off->message);
    const BoxGeometry geometry(*def, *top, *left);

    if (request.testMode) {
        status.ShowCounters(false);
        DrawTestPattern(*def, geometry, surface);
        return EndDocument(surface, status, "Printed 1 Test Playslip", 1);
    }

    // Refused before the wheel file is asked for: such a layout would skip or repeat plays.
    if (const auto refusal = PrintRefusal(*def))
        return Ended(JobEnd::Refused, request.definitionFile.string() + ": cannot print plays: " + *refusal);

    const std::filesystem::path wheel = chooseWheelFile();
    if (wheel.empty())
        return Ended(JobEnd::Cancelled);
    const GameFormat game = def->Game();
    const SlipNumbers slipNumbers(*def, geometry);
    const PlayFault fault = [&](const Play& play) { return slipNumbers.Fault(play, game.NumbersMarked()); };
    const auto counted = CountJobPlays(wheel, game, fault, escape);
    if (!counted) {
        status.SetEndMessage("Print Job Aborted At Slip 0", true);
        return Ended(JobEnd::Aborted);
    }
    if (!*counted)
        return Ended(JobEnd::Refused, counted->error().message);

    const std::int64_t plays = **counted;
    const std::int64_t perSlip = def->TotalPanels;
    const long long slips = (plays + perSlip - 1) / perSlip;
    status.SetSummary("Printing " + std::to_string(plays) + " Picks On " + std::to_string(slips) + " Playslips");
    status.ShowCounters(true);

    if (!SupportedPick(game.Pick))
        return Ended(JobEnd::Refused, "Sorry. That lottery format is not supported in this version");
    // A wheel of millions of plays would otherwise go to the printer as a box of paper unasked.
    if (slips > kAskAboveSlips && request.confirmSlips && !request.confirmSlips(slips)) {
        status.ShowCounters(false);
        status.SetEndMessage("Print Job Cancelled, Nothing Printed", true);
        return Ended(JobEnd::Cancelled);
    }

    auto window = PlayWindow::Open(wheel, game.NumbersPerPlay(), game.NumbersMarked(), plays, fault);
    if (!window)
        return Ended(JobEnd::Refused, window.error().message);
    const JobOutcome printed = PrintSlips(*def, geometry, **window, slips, surface, status, escape);
    if (printed.end != JobEnd::Completed)
        return printed;
    // Plays added since the count would otherwise be left out under "Processing Complete".
    if (const Status end = (*window)->CheckEnd(); !end) {
        surface.AbandonDocument();
        return Ended(JobEnd::Refused, end.error().message, slips);
    }
    return EndDocument(surface, status, "Processing Complete", slips);
}

}  // namespace bm
