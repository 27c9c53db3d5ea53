#include "printing/PrintJob.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <limits>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "common/ShownText.h"
#include "definitions/DefinitionFile.h"
#include "plays/PlayWindow.h"
#include "plays/WheelFile.h"
#include "printing/PlayRules.h"
#include "printing/TestPattern.h"
#include "slip/BoxGeometry.h"
#include "slip/MarkPlacement.h"
#include "slip/SheetFit.h"

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
    auto def = request.nameTellsGame ? ReadDefinitionAsNamed(request.definitionFile)
                                     : ReadDefinitionFile(request.definitionFile);
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

struct JobSetup {
    SlipDefinition def;
    float top = 0, left = 0;
    SlipMarks marks;
};

// The offsets and the definition, read and checked against the sheet.
Result<JobSetup> ReadSetup(const PrintJobRequest& request)
{
    const auto top = ReadOffset(request.offsets.top, "top");
    if (!top)
        return top.error();
    const auto left = ReadOffset(request.offsets.left, "left");
    if (!left)
        return left.error();
    auto def = ReadJobDefinition(request);
    if (!def)
        return def.error();
    // Every mark off the paper would be printed with "Processing Complete" all the same.
    if (const auto off = SheetRefusal(*def, *top, *left, request.paper, request.scale))
        return Error{request.definitionFile.string() + ": " + off->message};
    auto marks = ReadMarksFor(request.definitionFile, *def, *top, *left, request.paper, request.scale);
    if (!marks)
        return marks.error();
    return JobSetup{std::move(*def), *top, *left, std::move(*marks)};
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
                                                  const PlayFault& fault, EscapeKey& escape, PlaySeekIndex& seek)
{
    if (const Status plain = CheckWheelIsFile(file); !plain)
        return Result<std::int32_t>(plain.error());
    if (SupportedPick(game.Pick)) {
        bool stopped = false;
        auto counted = CountPlaysWithin(
            file, game.NumbersPerPlay(), NumberWidth::Bits16, fault, true, [&] { return stopped = escape.Pressed(); },
            &seek);
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

// The boxes of a panel each number is on, so that a play's numbers are looked up rather than
// compared with every box.
class NumberBoxes {
public:
    NumberBoxes(const BoxGeometry& geometry, int rows, int columns)
    {
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= columns; ++c)
                if (const auto number = geometry.BoxNumber(r, c))
                    boxes_.push_back({*number, r, c});
        std::sort(boxes_.begin(), boxes_.end(), [](const Box& a, const Box& b) {
            return std::tie(a.number, a.row, a.column) < std::tie(b.number, b.row, b.column);
        });
        if (boxes_.empty())
            return;
        low_ = boxes_.front().number;
        const std::int32_t span = boxes_.back().number - low_ + 1;
        if (span > kMostDirect)
            return;  // numbers spread too far for a table: searched instead
        first_.assign(static_cast<std::size_t>(span) + 1, 0);
        std::size_t at = 0;
        for (std::int32_t k = 0; k <= span; ++k) {
            while (at < boxes_.size() && boxes_[at].number < low_ + k)
                ++at;
            first_[static_cast<std::size_t>(k)] = static_cast<std::uint32_t>(at);
        }
    }

    // Appends the columns of row `r` whose box carries `number`.
    void ColumnsInRow(std::int32_t number, int r, std::vector<int>& columns) const
    {
        const Box* from = nullptr;
        const Box* to = nullptr;
        if (!first_.empty()) {
            const std::int64_t k = static_cast<std::int64_t>(number) - low_;
            if (k < 0 || k + 1 >= static_cast<std::int64_t>(first_.size()))
                return;
            from = boxes_.data() + first_[static_cast<std::size_t>(k)];
            to = boxes_.data() + first_[static_cast<std::size_t>(k) + 1];
        } else {
            const auto [lo, hi] = std::equal_range(boxes_.begin(), boxes_.end(), Box{number, 0, 0},
                                                   [](const Box& a, const Box& b) { return a.number < b.number; });
            from = boxes_.data() + (lo - boxes_.begin());
            to = boxes_.data() + (hi - boxes_.begin());
        }
        for (; from != to; ++from)
            if (from->row == r)
                columns.push_back(from->column);
    }

private:
    static constexpr std::int32_t kMostDirect = 4096;
    struct Box {
        std::int32_t number;
        int row, column;
    };
    std::vector<Box> boxes_;
    std::int32_t low_ = 0;
    std::vector<std::uint32_t> first_;  // boxes of number low_ + k: first_[k] .. first_[k + 1]
};

// After a slip's number marks: the second-pool marks by main panel, grid row, panel across and
// grid column, then the board boxes of the panels that hold a play, by main panel, panel across
// and file order. Filler panels get neither. False when Escape stopped it or a play failed.
bool DrawPanelMarks(const PreparedJob& job, PlayWindow& plays, const PlacedMarks& marks, long long slip,
                    PrintSurface& surface, EscapeKey& escape)
{
    const SlipDefinition& def = job.def;
    const BoxGeometry& geometry = job.geometry;
    if (marks.second) {
        const SecondGrid& grid = *marks.second;
        for (int m = 1; m <= def.MainPanels; ++m)
            for (int row = 0; row < grid.Rows(); ++row)
                for (int p = 1; p <= def.PanelsAcross; ++p) {
                    const auto play = plays.Get(geometry.PlayIndex(slip, m, p));
                    if (plays.error())
                        return false;
                    if (play.Filler())
                        continue;
                    for (int column = 0; column < grid.columns; ++column) {
                        const int number = row * grid.columns + column + 1;
                        if (number > grid.pool)
                            break;
                        for (auto n = play.end; n != play.lineEnd; ++n)
                            if (*n == number) {
                                const BoxRect box = marks.Sized(SecondBoxAt(geometry, grid, m, p, row, column));
                                surface.FillBox(box.x1, box.y1, box.x2, box.y2);
                            }
                        if (escape.Pressed())
                            return false;
                    }
                }
    }
    if (marks.board.empty())
        return true;
    for (int m = 1; m <= def.MainPanels; ++m)
        for (int p = 1; p <= def.PanelsAcross; ++p) {
            const auto play = plays.Get(geometry.PlayIndex(slip, m, p));
            if (plays.error())
                return false;
            if (play.Filler())
                continue;
            for (const BoardBox& b : marks.board) {
                const BoxRect box = BoardRect(geometry, b, m, p);
                surface.FillBox(box.x1, box.y1, box.x2, box.y2);
            }
        }
    return true;
}

// Slip after slip, box position by box position, each box as often as the panel's play holds
// its number; Escape is polled after each box position.
JobOutcome PrintSlips(const PreparedJob& job, PlayWindow& plays, SlipSpan span, bool outline, PrintSurface& surface,
                      JobStatus& status, EscapeKey& escape)
{
    const SlipDefinition& def = job.def;
    const BoxGeometry& geometry = job.geometry;
    const std::vector<BoxRect> outlines = outline ? geometry.AllBoxes() : std::vector<BoxRect>{};
    const PlacedMarks marks = PlaceMarks(job.marks, job.top, job.left);
    const NumberBoxes boxes(geometry, def.RowsInPanel, def.ColumnsInPanel);
    // Every box's mark, worked out once for the job rather than once per slip.
    const auto at = [&](int m, int r, int p, int c) {
        return ((static_cast<std::size_t>(m - 1) * static_cast<std::size_t>(def.RowsInPanel) +
                 static_cast<std::size_t>(r - 1)) *
                    static_cast<std::size_t>(def.PanelsAcross) +
                static_cast<std::size_t>(p - 1)) *
                   static_cast<std::size_t>(def.ColumnsInPanel) +
               static_cast<std::size_t>(c - 1);
    };
    std::vector<BoxRect> sized;
    if (def.MainPanels > 0 && def.RowsInPanel > 0 && def.PanelsAcross > 0 && def.ColumnsInPanel > 0 &&
        at(def.MainPanels, def.RowsInPanel, def.PanelsAcross, def.ColumnsInPanel) < (std::size_t{1} << 20)) {
        sized.resize(at(def.MainPanels, def.RowsInPanel, def.PanelsAcross, def.ColumnsInPanel) + 1);
        for (int m = 1; m <= def.MainPanels; ++m)
            for (int r = 1; r <= def.RowsInPanel; ++r)
                for (int p = 1; p <= def.PanelsAcross; ++p)
                    for (int c = 1; c <= def.ColumnsInPanel; ++c)
                        sized[at(m, r, p, c)] = marks.Sized(geometry.Rect(m, r, p, c));
    }
    std::vector<int> columns;
    for (long long slip = span.first; slip <= span.last; ++slip) {
        status.SetSlip(slip);
        for (const BoxRect& box : outlines)
            surface.OutlineBox(box.x1, box.y1, box.x2, box.y2);
        for (int m = 1; m <= def.MainPanels; ++m) {
            for (int r = 1; r <= def.RowsInPanel; ++r) {
                for (int p = 1; p <= def.PanelsAcross; ++p) {
                    const auto play = plays.Get(geometry.PlayIndex(slip, m, p));
                    if (plays.error()) {
                        surface.AbandonDocument();
                        return Ended(JobEnd::Refused, plays.error()->message, slip);
                    }
                    columns.clear();
                    for (auto n = play.begin; n != play.end; ++n)
                        boxes.ColumnsInRow(*n, r, columns);
                    std::sort(columns.begin(), columns.end());
                    auto hit = columns.begin();
                    for (int c = 1; c <= def.ColumnsInPanel; ++c) {
                        for (; hit != columns.end() && *hit == c; ++hit) {
                            const BoxRect box =
                                sized.empty() ? marks.Sized(geometry.Rect(m, r, p, c)) : sized[at(m, r, p, c)];
                            surface.FillBox(box.x1, box.y1, box.x2, box.y2);
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
        if (!DrawPanelMarks(job, plays, marks, slip, surface, escape)) {
            surface.AbandonDocument();
            if (plays.error())
                return Ended(JobEnd::Refused, plays.error()->message, slip);
            status.SetEndMessage("Print Job Aborted At Slip " + std::to_string(slip), true);
            return Ended(JobEnd::Aborted, {}, slip);
        }
        DrawExtraMarks(marks, surface);
        surface.NextPage();
        plays.Release(geometry.PlayIndex(slip + 1, 1, 1));
    }
    return Ended(JobEnd::Completed, {}, span.last);
}

std::string DestinationText(const Destination& destination)
{
    switch (destination.kind) {
    case Destination::Kind::Printer: return "Sent To Printer " + ShownLine(destination.name);
    case Destination::Kind::File: return "Saved To " + ShownLine(destination.name);
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

void SetUpSurface(PrintSurface& surface, bool horizontal)
{
    surface.UseMillimetres();
    surface.SetOrientation(horizontal ? Orientation::Landscape : Orientation::Portrait);
}

// The draws after the job was prepared: the whole job or the slips asked for.
JobOutcome DrawPrepared(const PreparedJob& job, SlipSpan span, bool outline, PrintSurface& surface, JobStatus& status,
                        EscapeKey& escape)
{
    auto window = PlayWindow::Open(job.wheel, job.Game().NumbersPerPlay(), job.Game().NumbersMarked(), job.plays,
                                   job.Fault(), job.seek.Before(job.geometry.PlayIndex(span.first, 1, 1)));
    if (!window)
        return Ended(JobEnd::Refused, window.error().message);
    surface.FirstSheetIs(static_cast<int>(span.first));
    const JobOutcome printed = PrintSlips(job, **window, span, outline, surface, status, escape);
    if (printed.end != JobEnd::Completed)
        return printed;
    // Plays added since the count would otherwise be left out under "Processing Complete".
    if (span.last == job.slips) {
        if (const Status end = (*window)->CheckEnd(); !end) {
            surface.AbandonDocument();
            return Ended(JobEnd::Refused, end.error().message, span.last);
        }
    }
    return EndDocument(surface, status, "Processing Complete", span.last);
}

}  // namespace

PreparedJob::PreparedJob(SlipDefinition d, float topOffset, float leftOffset)
    : def(std::move(d)),
      top(topOffset),
      left(leftOffset),
      geometry(def, top, left),
      slipNumbers(def, geometry)
{}

GameFormat PreparedJob::Game() const
{
    return GameOf(def, marks);
}

PlayFault PreparedJob::Fault() const
{
    return [this](const Play& play) -> std::optional<std::string> {
        const int marked = def.Game().NumbersMarked();
        if (auto fault = slipNumbers.Fault(play, marked))
            return fault;
        if (marks.second && play.count >= marked + marks.second->pick)
            return SecondNumbersFault(*marks.second, play.numbers.data() + marked,
                                      play.numbers.data() + marked + marks.second->pick);
        return std::nullopt;
    };
}

Result<std::vector<Play>> PreparedJob::PlaysOf(long long slip) const
{
    const std::int64_t first = geometry.PlayIndex(slip, 1, 1);
    const std::int64_t last = std::min<std::int64_t>(plays, first + geometry.PlaysPerSlip() - 1);
    const SeekPoint from = seek.Before(first);
    auto reader =
        WheelReader::OpenAt(wheel, Game().NumbersPerPlay(), NumberWidth::Bits16, from.offset, from.linesBefore);
    if (!reader)
        return reader.error();
    std::vector<Play> found;
    Play play;
    for (std::int64_t index = from.play; index <= last; ++index) {
        if (!(*reader)->Next(play))
            return (*reader)->error()
                       ? *(*reader)->error()
                       : Error{wheel.string() + ": changed since it was counted; it now holds fewer plays"};
        if (index >= first)
            found.push_back(play);
    }
    return found;
}

Result<SlipSpan> ParseSlipRange(const std::string& text, long long slips)
{
    const auto refuse = [&](const std::string& why) {
        return Error{"--slips " + text + ": " + why + "; this wheel fills " + std::to_string(slips) +
                     (slips == 1 ? " playslip" : " playslips") + " (give N, N-M or N-, from 1 to " +
                     std::to_string(slips) + ")"};
    };
    const auto number = [](std::string_view digits) -> std::optional<long long> {
        if (digits.empty() || digits.size() > 12 || digits.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        return std::stoll(std::string(digits));
    };
    const std::string_view all(text);
    const std::size_t dash = all.find('-');
    const auto first = number(all.substr(0, dash));
    const auto last = dash == std::string_view::npos ? first
                      : dash + 1 == all.size()       ? std::optional<long long>(slips)
                                                     : number(all.substr(dash + 1));
    if (!first || !last)
        return refuse("not a range of slips");
    if (*first < 1 || *last < *first)
        return refuse("an empty range");
    if (*last > slips)
        return refuse("beyond the last slip");
    return SlipSpan{*first, *last};
}

JobPreparation PrepareJob(const PrintJobRequest& request, JobStatus& status, EscapeKey& escape,
                          const ChooseWheelFile& chooseWheelFile)
{
    const auto refused = [](const std::string& message) { return JobPreparation{Ended(JobEnd::Refused, message), {}}; };
    auto setup = ReadSetup(request);
    if (!setup)
        return refused(setup.error().message);
    // Refused before the wheel file is asked for: such a layout would skip or repeat plays.
    if (const auto refusal = PrintRefusal(setup->def))
        return refused(request.definitionFile.string() + ": cannot print plays: " + *refusal);

    auto job = std::make_unique<PreparedJob>(std::move(setup->def), setup->top, setup->left);
    job->definitionFile = request.definitionFile;
    job->marks = std::move(setup->marks);
    job->paper = request.paper;
    job->wheel = chooseWheelFile();
    if (job->wheel.empty())
        return JobPreparation{Ended(JobEnd::Cancelled), {}};
    const GameFormat game = job->Game();
    const auto counted = CountJobPlays(job->wheel, game, job->Fault(), escape, job->seek);
    if (!counted) {
        status.SetEndMessage("Print Job Aborted At Slip 0", true);
        return JobPreparation{Ended(JobEnd::Aborted), {}};
    }
    if (!*counted)
        return refused(counted->error().message);

    job->plays = **counted;
    const std::int64_t perSlip = job->def.TotalPanels;
    job->slips = (job->plays + perSlip - 1) / perSlip;
    status.SetSummary("Printing " + std::to_string(job->plays) + " Picks On " + std::to_string(job->slips) +
                      " Playslips");
    status.ShowCounters(true);
    if (!SupportedPick(game.Pick))
        return refused("Sorry. That lottery format is not supported in this version");
    return JobPreparation{Ended(JobEnd::Completed), std::move(job)};
}

JobOutcome PrintPreparedSlips(const PreparedJob& job, SlipSpan span, bool outline, PrintSurface& surface,
                              JobStatus& status, EscapeKey& escape)
{
    SetUpSurface(surface, job.def.Horizontal);
    status.SetEndMessage("", false);
    BusyPointer busy(status);
    if (span.first < 1 || span.last < span.first || span.last > job.slips)
        return Ended(JobEnd::Refused, "Slips " + std::to_string(span.first) + " to " + std::to_string(span.last) +
                                          " are not slips of this job of " + std::to_string(job.slips));
    return DrawPrepared(job, span, outline, surface, status, escape);
}

JobOutcome RunPrintJob(const PrintJobRequest& request, PrintSurface& target, JobStatus& status, EscapeKey& escape,
                       const ChooseWheelFile& chooseWheelFile)
{
    // Every mark of the job, the test pattern's too, goes through the printer's calibration.
    ScaledSurface scaled(target, request.scale, SheetOf(request.paper, request.Horizontal).width);
    PrintSurface& surface = request.scale.Identity() ? target : scaled;
    SetUpSurface(surface, request.Horizontal);
    status.SetEndMessage("", false);
    BusyPointer busy(status);

    if (request.testMode) {
        const auto setup = ReadSetup(request);
        if (!setup)
            return Ended(JobEnd::Refused, setup.error().message);
        status.ShowCounters(false);
        DrawTestPattern(setup->def, BoxGeometry(setup->def, setup->top, setup->left), surface,
                        PlaceMarks(setup->marks, setup->top, setup->left));
        return EndDocument(surface, status, "Printed 1 Test Playslip", 1);
    }

    const JobPreparation prepared = PrepareJob(request, status, escape, chooseWheelFile);
    if (!prepared.job)
        return prepared.outcome;
    // An empty wheel prints nothing: no sheet, nothing sent, no file written.
    if (prepared.job->slips == 0) {
        status.ShowCounters(false);
        if (!request.slips.empty())
            return Ended(JobEnd::Refused, "--slips " + request.slips + ": " + prepared.job->wheel.string() +
                                              " holds no plays, so there are no slips to choose from");
        surface.AbandonDocument();
        status.SetEndMessage("Processing Complete", true);
        return Ended(JobEnd::Completed, {}, 0);
    }
    SlipSpan span{1, prepared.job->slips};
    if (!request.slips.empty()) {
        const auto asked = ParseSlipRange(request.slips, prepared.job->slips);
        if (!asked)
            return Ended(JobEnd::Refused, asked.error().message);
        span = *asked;
        status.SetRange(span.first, span.last, prepared.job->slips);
    }
    // A wheel of millions of plays would otherwise go to the printer as a box of paper unasked.
    const long long count = span.last - span.first + 1;
    if (count > kAskAboveSlips && request.confirmSlips && !request.confirmSlips(count)) {
        status.ShowCounters(false);
        status.SetEndMessage("Print Job Cancelled, Nothing Printed", true);
        return Ended(JobEnd::Cancelled);
    }
    return DrawPrepared(*prepared.job, span, request.outline, surface, status, escape);
}

}  // namespace bm
