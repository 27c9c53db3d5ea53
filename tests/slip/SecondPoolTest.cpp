// The second pool's grid and the board boxes of a marks file: read and refused line by line,
// placed on every panel, refused over a number box, another grid or off the sheet, printed in
// their order after the number marks, and marked by the test pattern.

#include <cstdio>

#include <gtest/gtest.h>

#include "definitions/MarksEntries.h"
#include "printing/TestPattern.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipMarks.h"
#include "support/PrintJobSupport.h"
#include "support/TempDir.h"

using namespace bm;
using namespace bmtest;

namespace {

Result<SlipMarks> Read(const std::string& text)
{
    TempDir dir;
    WriteBytes(dir / "A.marks", text);
    auto read = ReadSlipMarks(dir / "A.marks");
    if (!read) {
        // The folder goes with the TempDir: the message is kept after "A.marks: ".
        const auto& m = read.error().message;
        return Error{m.substr(m.find("A.marks: ") + 9)};
    }
    return read;
}

const std::string kLayoutExample = "[Second]\r\n"
                                   "Pool=26        ; the second pool runs 1..Pool (2 to 99)\r\n"
                                   "Pick=1         ; numbers of the second pool per play (1 or 2)\r\n"
                                   "Left=0         ; mm from the left edge of the panel's first number box\r\n"
                                   "Top=52.5       ; mm from the top edge (negative: above it)\r\n"
                                   "Columns=9      ; boxes per row of the second grid\r\n"
                                   "Width=4        ; box width and height in mm\r\n"
                                   "Height=3\r\n"
                                   "Across=5.2     ; pitch across\r\n"
                                   "Down=4.5\r\n"
                                   "[Board]\r\n"
                                   "QP=40 52.5 4 3 ; NAME=LEFT TOP WIDTH HEIGHT\r\n";

TEST(SecondPoolFile, ReadsTheGridTheBoardBoxesAndThePrizes)
{
    const auto read = Read(kLayoutExample);
    ASSERT_TRUE(read.ok()) << read.error().message;
    ASSERT_TRUE(read->second.has_value());
    EXPECT_EQ(*read->second, (SecondGrid{26, 1, 0, 52.5f, 9, 4, 3, 5.2f, 4.5f}));
    EXPECT_EQ(read->second->line, 1);
    EXPECT_EQ(read->second->Rows(), 3);
    ASSERT_EQ(read->board.size(), 1u);
    EXPECT_EQ(read->board[0], (BoardBox{"QP", 40, 52.5f, 4, 3}));
    EXPECT_EQ(read->board[0].line, 12);
    EXPECT_FALSE(read->IsDefault());

    const auto prizes = Read("[Second]\nPool=12\nPick=2\nLeft=0\nTop=-30\nColumns=6\nWidth=3\nHeight=2\nAcross=4\n"
                             "Down=4\n[Prizes]\n5+2=1000000\n5+1=\n2+0=4.50 ; the lowest\n");
    ASSERT_TRUE(prizes.ok()) << prizes.error().message;
    EXPECT_EQ(prizes->second->top, -30);
    ASSERT_TRUE(prizes->prizes.has_value());
    EXPECT_EQ(*prizes->prizes, (std::vector<PrizeTier>{{5, 2, "1000000"}, {5, 1, ""}, {2, 0, "4.50"}}));

    // Written back whole, and read again the same.
    const std::string text = SlipMarksText(*prizes);
    EXPECT_EQ(text,
              "[Mark]\r\nWidth=100\r\nHeight=100\r\n[Extra]\r\n[Second]\r\nPool=12\r\nPick=2\r\nLeft=0\r\nTop=-30\r\n"
              "Columns=6\r\nWidth=3\r\nHeight=2\r\nAcross=4\r\nDown=4\r\n[Prizes]\r\n5+2=1000000\r\n5+1=\r\n"
              "2+0=4.50\r\n");
    EXPECT_EQ(*Read(text), *prizes);
    // A file without them is written as always.
    EXPECT_EQ(SlipMarksText(SlipMarks{60, 100, {}}), "[Mark]\r\nWidth=60\r\nHeight=100\r\n[Extra]\r\n");
}

TEST(SecondPoolFile, RefusesLineByLine)
{
    const std::string grid =
        "[Second]\nPool=12\nPick=2\nLeft=0\nTop=30\nColumns=6\nWidth=3\nHeight=2\nAcross=4\nDown=4\n";
    const struct {
        std::string text;
        const char* message;
    } cases[] = {
        {"[Second]\nPool=1\n", "line 2: Pool 1 is out of range (the second pool runs 1 to Pool: 2 to 99)"},
        {"[Second]\nPool=100\n", "line 2: Pool 100 is out of range (the second pool runs 1 to Pool: 2 to 99)"},
        {"[Second]\nPick=3\n", "line 2: Pick 3 is out of range (second-pool numbers per play: 1 to 2)"},
        {"[Second]\nPool=2x\n", "line 2: Pool \"2x\" is not a whole number (the second pool runs 1 to Pool)"},
        {"[Second]\nWidth=0\n", "line 2: Width is 0 mm; a size or pitch must be more than 0 mm"},
        {"[Second]\nDown=-1\n", "line 2: Down is -1 mm; a size or pitch must be more than 0 mm"},
        {"[Second]\nTop=1001\n", "line 2: Top 1001 mm is out of range (-1000 to 1000 mm)"},
        {"[Second]\nLeft=1,5\n", "line 2: Left \"1,5\" is not a number of millimetres (decimal point)"},
        {"[Second]\nPool=12\nPool=13\n", "line 3: Pool in [Second] is given twice (first on line 2)"},
        {"[Second]\nRows=2\n",
         "line 2: unknown key \"Rows\" in [Second]; it takes Pool, Pick, Left, Top, Columns, Width, Height, Across and Down"},
        {"[Second]\nPool=12\n",
         "line 1: [Second] has no Pick=; the second grid needs Pool, Pick, Left, Top, Columns, Width, Height, Across "
         "and Down"},
        {"[Second]\nPool=2\nPick=2\nLeft=0\nTop=30\nColumns=6\nWidth=3\nHeight=2\nAcross=4\nDown=4\n",
         "line 1: [Second] Pick=2 is not less than Pool=2; a play picks some of the second pool, not all of it"},
        {"[Second]\nPool=12\nPick=2\nLeft=0\nTop=30\nColumns=6\nWidth=5\nHeight=2\nAcross=4\nDown=4\n",
         "line 1: [Second] Across=4 is less than Width=5; the boxes of a row would overlap"},
        {"[Second]\nPool=12\nPick=2\nLeft=0\nTop=30\nColumns=6\nWidth=3\nHeight=5\nAcross=4\nDown=4\n",
         "line 1: [Second] Down=4 is less than Height=5; the rows of boxes would overlap"},
        {grid + "[Second]\n", "line 11: [Second] is given twice (first on line 1)"},
        {"[Board]\nQP=1 2 3\n",
         "line 2: board box \"QP\" holds 3 values; it takes LEFT TOP WIDTH HEIGHT in mm from the panel's first number "
         "box"},
        {"[Board]\nQP=1 2 0 3\n", "line 2: board box \"QP\": its width is 0 mm; a size must be more than 0 mm"},
        {"[Board]\nQP=-1001 2 1 3\n", "line 2: board box \"QP\": its left -1001 mm is out of range (-1000 to 1000 mm)"},
        {"[Board]\nQP=1 2 1 3\nQP=4 5 1 1\n", "line 3: board box \"QP\" is given twice (first on line 2)"},
        {"[Board]\n=1 2 1 3\n", "line 2: board box: an extra mark needs a name"},
        {grid + "[Prizes]\n5-2=\n", "line 12: prize tier \"5-2\" is not MAIN+SECOND, such as 5+2"},
        {grid + "[Prizes]\n5+2=1,000\n",
         "line 12: prize tier \"5+2\": its amount \"1,000\" is not an amount such as 1000 or 12.50"},
        {grid + "[Prizes]\n5+2=\n5+2=3\n", "line 13: prize tier \"5+2\" is given twice (first on line 12)"},
        {grid + "[Prizes]\n5+3=\n",
         "line 12: prize tier \"5+3\" matches more second-pool numbers than a play holds (Pick=2 in [Second])"},
        {"[Prizes]\n5+2=\n",
         "line 1: [Prizes] names the tiers of a game with a second pool, and this file has no [Second]"},
        {"[Seconds]\n",
         "line 1: unknown section \"[Seconds]\"; a marks file has the sections [Mark], [Extra], [Second], [Board] and "
         "[Prizes]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto read = Read(c.text);
        ASSERT_FALSE(read.ok());
        EXPECT_EQ(read.error().message, c.message);
    }
}

// 1 main panel of 5 across, 7 x 7 boxes from (15, 12), 3 x 2 mm, 4.5 across, 4.2 down, panels 35 apart.
SlipMarks GridAt(float top, int columns = 7, float across = 4.5f, int pool = 12)
{
    SlipMarks marks;
    marks.second = SecondGrid{pool, 1, 0, top, columns, 3, 2, across, 4};
    marks.second->line = 5;
    return marks;
}

TEST(SecondPoolPlacement, RefusesWhatWouldPrintOverAnotherMarkOrOffTheSheet)
{
    const SlipDefinition def = Horizontal649(1);
    SlipMarks board = GridAt(30);
    board.board = {{"QP", 0, 0, 3, 2, 9}};
    SlipMarks overGrid = GridAt(30);
    overGrid.board = {{"QP", 10, 31, 3, 2, 9}};
    SlipMarks twoBoxes = GridAt(30);
    twoBoxes.board = {{"QP", 40, 40, 3, 2, 9}, {"X", 75, 40, 3, 2, 10}};
    SlipMarks halfHeight = GridAt(26.8f);
    halfHeight.height = 50;
    const struct {
        const char* name;
        SlipMarks marks;
        int line;
        const char* message;  // empty: accepted
    } cases[] = {
        {"under the grid", GridAt(30), 0, ""},
        {"over row 7", GridAt(25), 5,
         "the second grid's box of number 1 in panel 1 of main panel 1 lies over the number box of row 7, column 1 of "
         "panel 1 of main panel 1 (number 43); it would print as that number played"},
        // Row 7's box is 37.2 to 39.2 mm down; halved marks 37.7 to 38.7 and 39.3 to 40.3 share no ink.
        {"clear of the marks as they print", halfHeight, 0, ""},
        {"into the next panel's grid", GridAt(30, 9), 5,
         "the second grid's box of number 9 in panel 1 of main panel 1 lies over the second grid's box of number 1 in "
         "panel 2 of main panel 1; the two grids would share marks"},
        {"off the sheet", GridAt(200), 5,
         "the second grid's box of number 1 in panel 1 of main panel 1 would lie at 15 mm across, 212 mm down, off the "
         "A4 sheet (landscape, 297 x 210 mm)"},
        {"a board box on number 1", board, 9,
         "board box \"QP\" of panel 1 of main panel 1 lies over the number box of row 1, column 1 of panel 1 of main "
         "panel 1 (number 1); it would print as that number played"},
        {"a board box on the grid", overGrid, 9,
         "board box \"QP\" of panel 1 of main panel 1 lies over the second grid's box of number 3 in panel 1 of main "
         "panel 1; it would print as that number played"},
        {"a board box on another panel's board box", twoBoxes, 10,
         "board box \"X\" of panel 1 of main panel 1 lies over board box \"QP\" of panel 2 of main panel 1; the two "
         "boxes would share a mark"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int line = 0;
        const auto refusal = PanelMarksRefusal(def, c.marks, 0, 0, line);
        EXPECT_EQ(refusal.value_or(""), c.message);
        EXPECT_EQ(line, c.line);
    }
}

std::vector<std::string> Lines(const RecordingSurface& surface)
{
    std::vector<std::string> lines;
    for (const auto& m : surface.marks()) {
        char text[128];
        std::snprintf(text, sizeof text, "%d %.3f %.3f %.3f %.3f", m.sheet, double(m.x1), double(m.y1), double(m.x2),
                      double(m.y2));
        lines.push_back(text);
    }
    return lines;
}

const std::string kGridAndBoard = "[Second]\r\nPool=12\r\nPick=1\r\nLeft=0\r\nTop=30\r\nColumns=7\r\nWidth=3\r\n"
                                  "Height=2\r\nAcross=4.5\r\nDown=4\r\n[Board]\r\nQP=10 38 4 2\r\nMore=20 38 4 2\r\n"
                                  "[Extra]\r\nDraws=150 75 5 3\r\n";

// Each sheet: its number marks as always, then the second-pool marks by grid row, panel and
// column, then the board boxes of the panels with a play, then the extras. The second slip's
// filler panels get nothing.
TEST(SecondPoolPrinting, MarksFollowTheNumberMarksInTheirOrder)
{
    // Panel 1 plays second number 9 (grid row 2), panel 2 number 2 (grid row 1): panel 2's mark comes first.
    std::string wheel;
    const int seconds[] = {9, 2, 12, 1, 8, 3, 4};
    for (int i = 0; i < 7; ++i)
        wheel += std::to_string(i + 1) + " 10 20 30 40 49 " + std::to_string(seconds[i]) + "\r\n";
    const auto run =
        RunJob({.def = Horizontal649(1), .wheel = wheel, .top = "1", .left = "-2", .marks = kGridAndBoard});
    ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    const auto lines = Lines(run->surface);
    ASSERT_EQ(lines.size(), 30u + 5 + 10 + 1 + 12 + 2 + 4 + 1);
    // Grid boxes: x = 13 + 35 (panel - 1) + 4.5 column, y = 43 + 4 row (offsets top 1, left -2).
    const std::vector<std::string> expected = {
        // grid row 1: panel 2 (2), panel 4 (1); grid row 2: panel 1 (9), panel 3 (12), panel 5 (8)
        "1 52.500 43.000 55.500 45.000",
        "1 118.000 43.000 121.000 45.000",
        "1 17.500 47.000 20.500 49.000",
        "1 101.000 47.000 104.000 49.000",
        "1 153.000 47.000 156.000 49.000",
        // board boxes: panel by panel, QP then More
        "1 23.000 51.000 27.000 53.000",
        "1 33.000 51.000 37.000 53.000",
        "1 58.000 51.000 62.000 53.000",
        "1 68.000 51.000 72.000 53.000",
        "1 93.000 51.000 97.000 53.000",
        "1 103.000 51.000 107.000 53.000",
        "1 128.000 51.000 132.000 53.000",
        "1 138.000 51.000 142.000 53.000",
        "1 163.000 51.000 167.000 53.000",
        "1 173.000 51.000 177.000 53.000",
        "1 148.000 76.000 153.000 79.000",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 30, lines.begin() + 46), expected);
    const std::vector<std::string> second = {
        // grid row 1: panel 1 (3), panel 2 (4)
        "2 22.000 43.000 25.000 45.000",   "2 61.500 43.000 64.500 45.000", "2 23.000 51.000 27.000 53.000",
        "2 33.000 51.000 37.000 53.000",   "2 58.000 51.000 62.000 53.000", "2 68.000 51.000 72.000 53.000",
        "2 148.000 76.000 153.000 79.000",
    };
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 58, lines.end()), second);
}

TEST(SecondPoolPrinting, RefusesAPlayThatCannotGoOnTheSlip)
{
    const struct {
        const char* name;
        std::string wheel;
        const char* message;  // after the wheel file's name
    } cases[] = {
        {"six numbers", "1 2 3 4 5 6 7\r\n1 2 3 4 5 6\r\n", ": line 2 holds 6 numbers; a play of this game has 7"},
        {"second number out of range", "1 2 3 4 5 6 13\r\n",
         ": line 1: second-pool number 13 is out of range (1 to 12)"},
        {"second number 0", "1 2 3 4 5 6 0\r\n", ": line 1: second-pool number 0 is out of range (1 to 12)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto run = RunJob({.def = Horizontal649(1), .wheel = c.wheel, .marks = kGridAndBoard});
        ASSERT_EQ(run->outcome.end, JobEnd::Refused);
        EXPECT_NE(run->outcome.message.find(c.message), std::string::npos) << run->outcome.message;
        EXPECT_TRUE(run->surface.marks().empty());
    }
    // Two second numbers must differ; they may equal a main number.
    std::string two = kGridAndBoard;
    two.replace(two.find("Pick=1"), 6, "Pick=2");
    const auto twice = RunJob({.def = Horizontal649(1), .wheel = "1 2 3 4 5 6 7 7\r\n", .marks = two});
    ASSERT_EQ(twice.get()->outcome.end, JobEnd::Refused);
    EXPECT_NE(twice->outcome.message.find(": line 1: second-pool number 7 is given twice"), std::string::npos)
        << twice->outcome.message;
    const auto same = RunJob({.def = Horizontal649(1), .wheel = "1 2 3 4 5 6 1 6\r\n", .marks = two});
    EXPECT_EQ(same->outcome.end, JobEnd::Completed) << same->outcome.message;
    EXPECT_EQ(same->surface.marks().size(), 6u + 2 + 2 + 1);
}

// A powerball slip with a grid for the powerball: the sixth number goes into it; without the
// grid it is read and dropped as always.
TEST(SecondPoolPrinting, APowerballGoesIntoItsGrid)
{
    SlipDefinition def = Horizontal649(1);
    def.Pick = 5;
    def.bPB = true;
    const std::string grid = "[Second]\r\nPool=26\r\nPick=1\r\nLeft=0\r\nTop=30\r\nColumns=7\r\nWidth=3\r\n"
                             "Height=2\r\nAcross=4.5\r\nDown=4\r\n";
    const auto with = RunJob({.def = def, .wheel = "1 2 3 4 5 26\r\n", .marks = grid});
    ASSERT_EQ(with->outcome.end, JobEnd::Completed) << with->outcome.message;
    const auto lines = Lines(with->surface);
    ASSERT_EQ(lines.size(), 6u);
    // 26: row 4, column 5 of the grid under panel 1.
    EXPECT_EQ(lines.back(), "1 33.000 54.000 36.000 56.000");
    const auto without = RunJob({.def = def, .wheel = "1 2 3 4 5 99\r\n"});
    ASSERT_EQ(without->outcome.end, JobEnd::Completed) << without->outcome.message;
    EXPECT_EQ(without->surface.marks().size(), 5u);
    std::string two = grid;
    two.replace(two.find("Pick=1"), 6, "Pick=2");
    const auto refused = RunJob({.def = def, .wheel = "1 2 3 4 5 6 7\r\n", .marks = two});
    ASSERT_EQ(refused->outcome.end, JobEnd::Refused);
    EXPECT_NE(
        refused->outcome.message.find(
            "HZ649.marks: line 1: [Second] Pick=2 on a powerball definition; its plays carry one powerball (Pick=1)"),
        std::string::npos)
        << refused->outcome.message;
}

TEST(SecondPoolPrinting, TheTestPatternMarksBothGridsAndEveryBoardBox)
{
    const auto run = RunJob({.def = Horizontal649(1), .testMode = true, .marks = kGridAndBoard});
    ASSERT_EQ(run->outcome.end, JobEnd::Completed) << run->outcome.message;
    const auto lines = Lines(run->surface);
    ASSERT_EQ(lines.size(), 5u * 49 + 5 * 12 + 5 * 2 + 1);
    // After the number boxes: grid row 1 of panel 1, column by column, then of panel 2.
    EXPECT_EQ(lines[245], "1 15.000 42.000 18.000 44.000");
    EXPECT_EQ(lines[252], "1 50.000 42.000 53.000 44.000");
    EXPECT_EQ(lines[245 + 60], "1 25.000 50.000 29.000 52.000");
    EXPECT_EQ(lines.back(), "1 150.000 75.000 155.000 78.000");
}

// The editor keeps what it does not edit: a save writes the grid, the board boxes and the
// prizes back as they were read.
TEST(SecondPoolEditor, EntriesKeepTheGridTheBoardBoxesAndThePrizes)
{
    auto read = Read(kGridAndBoard + "[Prizes]\r\n3+1=5\r\n");
    ASSERT_TRUE(read.ok()) << read.error().message;
    const SlipMarks back = MarksFromEntries(EntriesFromMarks(*read));
    EXPECT_EQ(back, *read);
    // A definition changed under the grid is refused at the save.
    SlipDefinition def = Horizontal649(1);
    def.VerticalRowGap = 6;
    MarksEntries entries = EntriesFromMarks(*read);
    const auto fault = ValidateMarks(entries, def);
    ASSERT_TRUE(fault.has_value());
    EXPECT_EQ(fault->focus, MarksEntry::Second);
    EXPECT_EQ(
        fault->message.rfind("The second grid's box of number 1 in panel 1 of main panel 1 lies over the number box "
                             "of row 6, column 1",
                             0),
        0u)
        << fault->message;
}

}  // namespace

namespace {

// The drawing names the second grid once, left of its first box as the main grid's first number
// is named, so that the name covers none of the grid's boxes.
TEST(SecondPoolDrawing, TheGridIsNamedBesideItNotOverIt)
{
    const SlipDefinition def = Horizontal649(2);
    SlipMarks marks = GridAt(30);
    marks.board = {{"QP", 40, 40, 3, 2, 9}};
    SlipDrawing drawing;
    AddPanelMarksToDrawing(drawing, def, marks, 0, 0);
    int named = 0;
    for (const BoxLabel& label : drawing.labels)
        if (label.text == "Second") {
            ++named;
            EXPECT_TRUE(label.first);
            EXPECT_EQ(label.box.x1, drawing.extras.front().box.x1);
            EXPECT_EQ(label.box.y1, drawing.extras.front().box.y1);
        }
    EXPECT_EQ(named, 1);
    for (const auto& extra : drawing.extras)
        EXPECT_TRUE(extra.text.empty() || extra.text == "QP") << extra.text;
}

}  // namespace
