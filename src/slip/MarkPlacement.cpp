#include "slip/MarkPlacement.h"

#include <algorithm>
#include <utility>

#include "common/Numbers.h"
#include "common/ShownText.h"
#include "slip/SheetFit.h"

namespace bm {

namespace {

// Both sides of one axis pulled in by the same amount, so the mark stays centred.
void Shrink(float& low, float& high, int percent)
{
    if (percent == kFullMark)
        return;
    const double inset = (static_cast<double>(high) - low) * (kFullMark - percent) / (2.0 * kFullMark);
    const double a = low + inset, b = high - inset;
    low = static_cast<float>(a);
    high = static_cast<float>(b);
}

std::string Mm(float v)
{
    return ShortestText(v) + " mm";
}

}  // namespace

BoxRect SizedMark(const BoxRect& box, int widthPercent, int heightPercent)
{
    BoxRect sized = box;
    Shrink(sized.x1, sized.x2, widthPercent);
    Shrink(sized.y1, sized.y2, heightPercent);
    return sized;
}

BoxRect ExtraRect(const ExtraMark& extra, float topOffset, float leftOffset)
{
    const float x = extra.left + leftOffset;
    const float y = extra.top + topOffset;
    return {x, y, x + extra.width, y + extra.height};
}

PlacedMarks PlaceMarks(const SlipMarks& marks, float topOffset, float leftOffset)
{
    PlacedMarks placed{marks.width, marks.height, {}, marks.second, marks.board};
    for (const ExtraMark& extra : marks.extras)
        placed.extras.push_back(ExtraRect(extra, topOffset, leftOffset));
    return placed;
}

void DrawExtraMarks(const PlacedMarks& marks, PrintSurface& surface)
{
    for (const BoxRect& r : marks.extras)
        surface.FillBox(r.x1, r.y1, r.x2, r.y2);
}

std::optional<std::string> ExtraRefusal(const SlipDefinition& def, const ExtraMark& extra, float top, float left,
                                        const Paper& paper, const Scale& scale, int markWidth, int markHeight)
{
    const std::string name = "extra mark \"" + ShownText(extra.name) + "\"";
    const BoxRect placed = ExtraRect(extra, top, left);
    if (const auto sheet = OffSheet(def, placed, paper, scale)) {
        // Where it would print: the calibration stretches it after the offsets.
        const Sheet onSheet = SheetOf(paper, def.Horizontal);
        const ScaleOnSheet stretch{scale, onSheet.width, onSheet.landscape};
        const float x = std::min(stretch.X(placed.x1), stretch.X(placed.x2));
        const float y = std::min(stretch.Y(placed.y1), stretch.Y(placed.y2));
        const std::string included = !scale.Identity()       ? " (offsets and calibration included)"
                                     : top != 0 || left != 0 ? " (offsets included)"
                                                             : "";
        return name + " would lie at " + Mm(x) + " across, " + Mm(y) + " down" + included + ", off " + *sheet;
    }
    // Offsets move boxes and extra marks alike: the overlap is judged where they were measured.
    // Marks that only touch share no ink.
    const BoxRect measured = ExtraRect(extra, 0, 0);
    // Beyond the slip's edge a mark lands on the platen or the printer's rollers, not the slip.
    constexpr float kEdgeSlack = 0.001f;  // what float sums of millimetres miss by
    if (measured.x1 < -kEdgeSlack || measured.y1 < -kEdgeSlack || measured.x2 > def.SlipWidth + kEdgeSlack ||
        measured.y2 > def.SlipHeight + kEdgeSlack)
        return name + " lies at " + ShortestText(measured.x1) + " to " + Mm(measured.x2) + " across, " +
               ShortestText(measured.y1) + " to " + Mm(measured.y2) + " down, beyond the " +
               ShortestText(def.SlipWidth) + " x " + Mm(def.SlipHeight) + " slip; keep extra marks on the slip";
    // The boxes are every row by every column: the first box over the mark, in the job's order,
    // is the first row and the first column it reaches into.
    const BoxGeometry g(def, 0, 0);
    std::optional<std::pair<int, int>> row, column;
    // Judged against the marks as they print: a reduced mark leaves the rest of its box bare.
    for (int m = 1; m <= def.MainPanels && !row; ++m)
        for (int r = 1; r <= def.RowsInPanel && !row; ++r) {
            const BoxRect b = SizedMark(g.Rect(m, r, 1, 1), markWidth, markHeight);
            if (measured.y1 < b.y2 && b.y1 < measured.y2)
                row = {m, r};
        }
    for (int p = 1; p <= def.PanelsAcross && row && !column; ++p)
        for (int c = 1; c <= def.ColumnsInPanel && !column; ++c) {
            const BoxRect b = SizedMark(g.Rect(1, 1, p, c), markWidth, markHeight);
            if (measured.x1 < b.x2 && b.x1 < measured.x2)
                column = {p, c};
        }
    if (row && column) {
        const auto [m, r] = *row;
        const auto [p, c] = *column;
        const auto number = g.BoxNumber(r, c);
        return name + " lies over the number box of row " + std::to_string(r) + ", column " + std::to_string(c) +
               " of panel " + std::to_string(p) + " in main panel " + std::to_string(m) +
               (number ? " (number " + std::to_string(*number) + ")" : "") + "; it would print as that number played";
    }
    return std::nullopt;
}

GameFormat GameOf(const SlipDefinition& def, const SlipMarks& marks)
{
    GameFormat game = def.Game();
    if (marks.second) {
        game.secondPool = marks.second->pool;
        game.secondPick = marks.second->pick;
    }
    return game;
}

BoxRect SecondBoxAt(const BoxGeometry& g, const SecondGrid& grid, int m, int p, int row, int column)
{
    const BoxRect first = g.Rect(m, 1, p, 1);
    const float x = first.x1 + grid.left + static_cast<float>(column) * grid.across;
    const float y = first.y1 + grid.top + static_cast<float>(row) * grid.down;
    return {x, y, x + grid.width, y + grid.height};
}

BoxRect SecondBox(const BoxGeometry& g, const SecondGrid& grid, int m, int p, int n)
{
    return SecondBoxAt(g, grid, m, p, (n - 1) / grid.columns, (n - 1) % grid.columns);
}

BoxRect BoardRect(const BoxGeometry& g, const BoardBox& box, int m, int p)
{
    const BoxRect first = g.Rect(m, 1, p, 1);
    const float x = first.x1 + box.left;
    const float y = first.y1 + box.top;
    return {x, y, x + box.width, y + box.height};
}

namespace {

bool Overlap(const BoxRect& a, const BoxRect& b)
{
    return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2;
}

// The marks of one kind on one panel, with the rectangle around them so that panels far apart
// are passed over at once.
struct PanelGroup {
    int m = 0, p = 0;
    int line = 0;
    BoxRect bound{};
    std::vector<BoxRect> boxes;
    std::vector<std::string> names;  // per box
};

std::string Panel(int m, int p)
{
    return "panel " + std::to_string(p) + " of main panel " + std::to_string(m);
}

void Bound(PanelGroup& group)
{
    if (group.boxes.empty())
        return;
    group.bound = group.boxes.front();
    for (const BoxRect& b : group.boxes) {
        group.bound.x1 = std::min(group.bound.x1, b.x1);
        group.bound.y1 = std::min(group.bound.y1, b.y1);
        group.bound.x2 = std::max(group.bound.x2, b.x2);
        group.bound.y2 = std::max(group.bound.y2, b.y2);
    }
}

}  // namespace

std::optional<std::string> PanelMarksRefusal(const SlipDefinition& def, const SlipMarks& marks, float top, float left,
                                             int& line, const Paper& paper, const Scale& scale)
{
    if (!marks.second && marks.board.empty())
        return std::nullopt;
    const BoxGeometry placed(def, top, left);
    const BoxGeometry measured(def, 0, 0);
    const auto offsets = top != 0 || left != 0 ? std::string(" (offsets included)") : std::string();
    const auto offSheet = [&](const BoxRect& r, const std::string& name) -> std::optional<std::string> {
        if (const auto sheet = OffSheet(def, r, paper, scale))
            return name + " would lie at " + Mm(r.x1) + " across, " + Mm(r.y1) + " down" + offsets + ", off " + *sheet;
        return std::nullopt;
    };
    const auto secondName = [](int n, int m, int p) {
        return "the second grid's box of number " + std::to_string(n) + " in " + Panel(m, p);
    };
    const auto boardName = [](const BoardBox& b, int m, int p) {
        return "board box \"" + ShownText(b.name) + "\" of " + Panel(m, p);
    };

    // Every panel's marks as they print, measured without offsets (offsets move all alike).
    std::vector<PanelGroup> numbers, seconds, boards;
    for (int m = 1; m <= def.MainPanels; ++m)
        for (int p = 1; p <= def.PanelsAcross; ++p) {
            PanelGroup n;
            n.m = m, n.p = p;
            for (int r = 1; r <= def.RowsInPanel; ++r)
                for (int c = 1; c <= def.ColumnsInPanel; ++c) {
                    n.boxes.push_back(SizedMark(measured.Rect(m, r, p, c), marks.width, marks.height));
                    const auto number = measured.BoxNumber(r, c);
                    n.names.push_back("the number box of row " + std::to_string(r) + ", column " + std::to_string(c) +
                                      " of " + Panel(m, p) +
                                      (number ? " (number " + std::to_string(*number) + ")" : ""));
                }
            Bound(n);
            numbers.push_back(std::move(n));
            if (marks.second) {
                const SecondGrid& grid = *marks.second;
                PanelGroup s;
                s.m = m, s.p = p, s.line = grid.line;
                for (int k = 1; k <= grid.pool; ++k) {
                    const BoxRect printed = SizedMark(SecondBox(placed, grid, m, p, k), marks.width, marks.height);
                    if (auto fault = offSheet(printed, secondName(k, m, p))) {
                        line = grid.line;
                        return fault;
                    }
                    s.boxes.push_back(SizedMark(SecondBox(measured, grid, m, p, k), marks.width, marks.height));
                    s.names.push_back(secondName(k, m, p));
                }
                Bound(s);
                seconds.push_back(std::move(s));
            }
            for (const BoardBox& b : marks.board) {
                if (auto fault = offSheet(BoardRect(placed, b, m, p), boardName(b, m, p))) {
                    line = b.line;
                    return fault;
                }
                PanelGroup g;
                g.m = m, g.p = p, g.line = b.line;
                g.boxes.push_back(BoardRect(measured, b, m, p));
                g.names.push_back(boardName(b, m, p));
                Bound(g);
                boards.push_back(std::move(g));
            }
        }

    // The first pair of marks that share ink, a mark of `a` over one of `b`.
    const auto clash = [](const PanelGroup& a, const PanelGroup& b) -> std::optional<std::string> {
        if (!Overlap(a.bound, b.bound))
            return std::nullopt;
        for (std::size_t i = 0; i < a.boxes.size(); ++i)
            for (std::size_t j = 0; j < b.boxes.size(); ++j)
                if (Overlap(a.boxes[i], b.boxes[j]))
                    return a.names[i] + " lies over " + b.names[j];
        return std::nullopt;
    };
    const auto asNumber = std::string("; it would print as that number played");
    for (const PanelGroup& s : seconds) {
        for (const PanelGroup& n : numbers)
            if (auto fault = clash(s, n)) {
                line = s.line;
                return *fault + asNumber;
            }
        for (const PanelGroup& other : seconds)
            if (&other > &s)
                if (auto fault = clash(s, other)) {
                    line = s.line;
                    return *fault + "; the two grids would share marks";
                }
    }
    for (const PanelGroup& b : boards) {
        for (const PanelGroup& n : numbers)
            if (auto fault = clash(b, n)) {
                line = b.line;
                return *fault + asNumber;
            }
        for (const PanelGroup& s : seconds)
            if (auto fault = clash(b, s)) {
                line = b.line;
                return *fault + "; it would print as that number played";
            }
        for (const PanelGroup& other : boards)
            if (&other > &b)
                if (auto fault = clash(b, other)) {
                    line = b.line;
                    return *fault + "; the two boxes would share a mark";
                }
    }
    return std::nullopt;
}

std::optional<std::string> SecondNumbersFault(const SecondGrid& grid, const std::int32_t* first,
                                              const std::int32_t* last)
{
    for (const std::int32_t* n = first; n != last; ++n) {
        if (*n < 1 || *n > grid.pool)
            return "second-pool number " + std::to_string(*n) + " is out of range (1 to " + std::to_string(grid.pool) +
                   ")";
        for (const std::int32_t* k = first; k != n; ++k)
            if (*k == *n)
                return "second-pool number " + std::to_string(*n) + " is given twice";
    }
    return std::nullopt;
}

void AddPanelMarksToDrawing(SlipDrawing& drawing, const SlipDefinition& def, const SlipMarks& marks, float top,
                            float left)
{
    const BoxGeometry g(def, top, left);
    for (int m = 1; m <= def.MainPanels; ++m)
        for (int p = 1; p <= def.PanelsAcross; ++p) {
            if (marks.second) {
                for (int n = 1; n <= marks.second->pool; ++n)
                    drawing.extras.push_back({SecondBox(g, *marks.second, m, p, n), std::string(), true});
                // Named left of its first box, as the main grid's first number is: a name on the
                // right would cover the row's next boxes.
                if (m == 1 && p == 1)
                    drawing.labels.push_back({SecondBox(g, *marks.second, m, p, 1), "Second", true});
            }
            for (const BoardBox& b : marks.board)
                drawing.extras.push_back({BoardRect(g, b, m, p), m == 1 && p == 1 ? b.name : std::string(), true});
        }
}

Result<SlipMarks> ReadMarksFor(const std::filesystem::path& definitionFile, const SlipDefinition& def, float top,
                               float left, const Paper& paper, const Scale& scale)
{
    const std::filesystem::path file = MarksFileOf(definitionFile);
    auto marks = ReadSlipMarks(file);
    if (!marks)
        return marks;
    for (const ExtraMark& extra : marks->extras)
        if (const auto fault = ExtraRefusal(def, extra, top, left, paper, scale, marks->width, marks->height))
            return Error{file.string() + ": line " + std::to_string(extra.line) + ": " + *fault};
    if (marks->second && def.bPB && def.Pick == 5 && marks->second->pick != 1)
        return Error{file.string() + ": line " + std::to_string(marks->second->line) +
                     ": [Second] Pick=" + std::to_string(marks->second->pick) +
                     " on a powerball definition; its plays carry one powerball (Pick=1)"};
    int line = 0;
    if (const auto fault = PanelMarksRefusal(def, *marks, top, left, line, paper, scale))
        return Error{file.string() + ": line " + std::to_string(line) + ": " + *fault};
    return marks;
}

void AddExtrasToDrawing(SlipDrawing& drawing, const SlipMarks& marks, float top, float left, int markedExtra)
{
    for (const ExtraMark& extra : marks.extras)
        drawing.extras.push_back({ExtraRect(extra, top, left), extra.name, true});
    drawing.markedExtra = markedExtra;
}

std::vector<BoxRect> SampleMarks(const SlipDefinition& def, const SlipMarks& marks)
{
    std::vector<BoxRect> sample;
    const BoxGeometry g(def, 0, 0);
    for (int r = 1; r <= def.RowsInPanel; ++r)
        for (int c = 1; c <= def.ColumnsInPanel; ++c)
            sample.push_back(SizedMark(g.Rect(1, r, 1, c), marks.width, marks.height));
    return sample;
}

}  // namespace bm
