#include <gtest/gtest.h>

#include "CheckTestSupport.h"
#include "checking/DrawHistory.h"
#include "checking/HistoryCheck.h"
#include "checking/HistoryMoney.h"

using namespace bm;

namespace {

using bm::CheckerById;

const bm::CheckGame& Five()
{
    return CheckerById("five").Game(false);
}  // 5 numbers, no bonus
const bm::CheckGame& FiveBonus()
{
    return CheckerById("five").Game(true);
}
const bm::CheckGame& Seven()
{
    return CheckerById("seven").Game(true);
}
const bm::CheckGame& Powerball()
{
    return CheckerById("powerball").Game(false);
}

// A reading of the bytes: the lines of the draws read, then "ok" or the error.
struct Reading {
    std::string text;
    bm::DrawsFileNotes notes;
};
Reading Read(const bmtest::TempDir& dir, std::string_view bytes, const bm::CheckGame& game = Five(), int pool = 39,
             bool skip = false, bm::DrawsOptions options = {})
{
    options.skipInvalid = skip;
    bmtest::WriteBytes(dir / "d.csv", bytes);
    const std::string name = (dir / "d.csv").string();
    const auto shortened = [&](std::string end) {
        return end.rfind(name, 0) == 0 ? "d.csv" + end.substr(name.size()) : end;
    };
    auto reader = bm::DrawsReader::Open(dir / "d.csv", game, pool, options);
    if (!reader)
        return {shortened(reader.error().message), {}};
    bm::HistoryDraw draw;
    std::string seen;
    while ((*reader)->Next(draw))
        seen += std::to_string(draw.line) + " " + draw.date + " " + bm::HistoryDrawText(game, draw.draw) + "; ";
    return {seen + shortened((*reader)->error() ? (*reader)->error()->message : "ok"), (*reader)->notes()};
}

// A draw is the whole numbers of the consecutive fields after its date: an empty field or other
// text before the draw is complete refuses the line instead of taking the next columns.
TEST(DrawsFile, ADrawIsConsecutiveFieldsOfWholeNumbers)
{
    bmtest::TempDir dir;
    const struct {
        const bm::CheckGame* game;
        int pool;
        const char* line;
        const char* read;
    } cases[] = {
        // Oz Lotto: a supplementary column of "12.0" would slide two supplementaries into the draw.
        {&Seven(), 45, R"("609","20051018","39","9","12.0","30","33","45","5","7","19","$0.00")",
         "d.csv: line 1: field 5 (\"12.0\") is not a whole number; the draw needs 8 numbers"},
        // Powerball without its ball would take the multiplier.
        {&Powerball(), 69, "09/26/2020,\"11 21 27 36 62\",,3",
         "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        // Take 5 with an empty bonus would take the midday draw.
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5,,6 7 8 9 10,11",
         "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5, ,6", "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        {&Five(), 39, "2020-01-01;1;2;x3;4;5",
         "d.csv: line 1: field 4 (\"x3\") is not a whole number; the draw needs 5 numbers"},
        {&Five(), 39, "2020-01-01,1 2 3 4 5 6",
         "d.csv: line 1: field 2 (\"1 2 3 4 5 6\") holds 6 numbers, more than the draw needs (5)"},
        {&Five(), 39, "2020-01-01,1,2",
         "d.csv: line 1: holds 2 numbers after its date 2020-01-01; a draw of this game has 5"},
        // Text after the draw (prizes, a second draw of the day) is passed over.
        {&Seven(), 45, R"("609","20051018","39","9","12","30","33","45","5","7","19","$0.00","$15,781.85")",
         "1 2005-10-18 39 9 12 30 33 45 5 +7; ok"},
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5,6,7 8 9 10 11,12", "1 2020-10-01 1 2 3 4 5 +6; ok"},
        {&Five(), 39, "2020-01-01,\"1 2\",3,\"4\",5,$1.00,", "1 2020-01-01 1 2 3 4 5; ok"},
        {&Five(), 39, "1,2,3,4,5,", "1  1 2 3 4 5; ok"},
        {&Five(), 39, "1,2,,3,4,5", "d.csv: line 1: field 3 is empty; the draw needs 5 numbers"},
    };
    bm::DrawsOptions monthFirst;
    monthFirst.dateOrder = bm::DateOrder::MonthFirst;
    for (const auto& c : cases)
        EXPECT_EQ(Read(dir, std::string(c.line) + "\r\n", *c.game, c.pool, false, monthFirst).text, c.read) << c.line;
}

// Header lines come before the first draw only: a line after it that is no draw (a date that is
// no day, a day-first or text date, an open quote, a bad number) is refused with its line, never
// dropped as a header. A date-shaped field that is no day is no header anywhere.
TEST(DrawsFile, LinesAfterTheFirstDrawAreDrawsOrRefused)
{
    bmtest::TempDir dir;
    const std::string dates = "; dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY, "
                              "DD-Mon-YYYY, Month D YYYY or YYYYMMDD";
    const struct {
        const char* line;
        std::string refusal;
    } cases[] = {
        {"1984-02-30,1,2,3,4,5", "field 1 (\"1984-02-30\") is not a date" + dates + " (column Date)"},
        {"2020-13-01,1,2,3,4,5", "field 1 (\"2020-13-01\") is not a date" + dates + " (column Date)"},
        {"0000-01-01,1,2,3,4,5", "field 1 (\"0000-01-01\") is not a date" + dates + " (column Date)"},
        {"01/02/20,1,2,3,4,5", "field 1 (\"01/02/20\") is not a date" + dates + " (column Date)"},
        {"\"Mon, Jan 32 2020\",1,2,3,4,5", "field 1 (\"Mon, Jan 32 2020\") is not a date" + dates + " (column Date)"},
        {"\"2020-01-13,1,2,3,4,5", "holds a quote (\") that is not closed"},
        {"1,2,x,4,5", "field 3 (\"x\") is not a whole number; the draw needs 5 numbers"},
        {"Total draws,2", "field 1 (\"Total draws\") is not a whole number; the draw needs 5 numbers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(
            Read(dir, std::string("Date,Numbers\n2020-01-06,1,2,3,4,5\n") + c.line + "\n2020-01-20,1,2,3,4,6\n").text,
            "2 2020-01-06 1 2 3 4 5; d.csv: line 3: " + c.refusal);
    }
    // Before the first draw text lines are headers, but a date that is no day is a draw written wrongly.
    EXPECT_EQ(Read(dir, "Results\n\"Draw\",\"Date\nDate,Numbers\n2020-01-06,1,2,3,4,5\n").text,
              "4 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "Date,Numbers\n2001/2/29;1;2;3;4;5\n2020-01-06,1,2,3,4,5\n").text,
              "d.csv: line 2: field 1 (\"2001/2/29\") is not a date" + dates + " (column Date)");
    // Blank and comment lines are passed over anywhere.
    EXPECT_EQ(Read(dir, "2020-01-06,1,2,3,4,5\n\n  # skipped\n\t\n").text, "1 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF# list\r\nDate,Numbers\r\n\r\n2020-01-01,1 2 3 4 5\r\n1,2,3,4,6\r\n").text,
              "4 2020-01-01 1 2 3 4 5; 5  1 2 3 4 6; ok");
}

// A file that is no file of draws is refused, naming it and the line.
TEST(DrawsFile, RefusalsNameTheFileAndLine)
{
    bmtest::TempDir dir;
    const struct {
        std::string bytes;
        const char* read;
    } cases[] = {
        {"1,2,3,4,5\n1,2,3,4,40\n",
         "1  1 2 3 4 5; d.csv: line 2: Drawn number 5 is 40; the numbers of this game run from 1 to 39. "
         "This draw needs a pool of at least 40 numbers (the definition has 39)."},
        {"Date,Numbers\n# none yet\n", "d.csv: holds no draw"},
        {"1,2,3,4,5\r6,7,8,9,10\n", "d.csv: line 1 holds a carriage return inside the line"},
        {std::string(5000, '1'), "d.csv: line 1 is too long for a line of draws"},
        {std::string("\xFF\xFE"
                     "1\0,\0",
                     6),
         "d.csv: is UTF-16 text; save it as plain text (ANSI or UTF-8)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(dir, c.bytes).text, c.read);
}

// A UTF-8 byte-order mark is not part of the first line, whether that is a header, a dated or an
// undated draw; a mark anywhere else is text.
TEST(DrawsFile, AByteOrderMarkBeforeTheFirstDrawIsPassedOver)
{
    bmtest::TempDir dir;
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF"
                        "2020-01-06,1,2,3,4,5\r\n")
                  .text,
              "1 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF"
                        "1,2,3,4,5\n6,7,8,9,10\n")
                  .text,
              "1  1 2 3 4 5; 2  6 7 8 9 10; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF"
                        "Date,Numbers\n2020-01-06,1,2,3,4,5\n")
                  .text,
              "2 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF").text, "d.csv: holds no draw");
    EXPECT_EQ(Read(dir, "2020-01-06,1,2,3,4,5\n\xEF\xBB\xBF"
                        "2020-01-07,1,2,3,4,5\n")
                  .text,
              "1 2020-01-06 1 2 3 4 5; d.csv: line 2: field 1 (\"\\xEF\\xBB\\xBF2020-01-07\") is not a whole number; "
              "the draw needs 5 numbers");
}

// Draws given twice (same date, numbers in any order) and dates against the file's order are
// noted, whichever way the file runs; every draw is still given, in file order.
TEST(DrawsFile, NotesRepeatedDrawsAndDatesOutOfOrder)
{
    bmtest::TempDir dir;
    const struct {
        const char* what;
        const char* bytes;
        std::int64_t repeated, outOfOrderLine;
    } cases[] = {
        {"rising", "2020-01-01,1,2,3,4,5\n2020-01-01,6,7,8,9,10\n2020-01-04,1,2,3,4,5\n", 0, 0},
        {"newest first", "2020-01-08,1,2,3,4,5\n2020-01-04,1,2,3,4,5\n2019-12-28,1,2,3,4,5\n", 0, 0},
        {"a draw twice", "2020-01-01,1,2,3,4,5\n2020-01-04,3,4,5,6,7\n2020-01-01,5,4,3,2,1\n", 1, 3},
        {"three times, and another twice",
         "2020-01-01,1,2,3,4,5\n2020-01-01,1,2,3,4,5\n2020-01-01,1,2,3,4,5\n2020-01-04,3,4,5,6,7\n2020-01-04,3,4,5,6,7\n",
         3, 0},
        {"the same numbers on another day", "2020-01-01,1,2,3,4,5\n2020-01-04,1,2,3,4,5\n", 0, 0},
        {"undated twice", "1,2,3,4,5\n5,4,3,2,1\n", 1, 0},
        {"one draw out of place",
         "2020-01-01,1,2,3,4,5\n2020-01-08,1,2,3,4,6\n2020-01-04,1,2,3,4,7\n2020-01-11,1,2,3,4,8\n", 0, 3},
        {"undated lines between", "2020-01-08,1,2,3,4,5\n1,2,3,4,6\n2020-01-04,1,2,3,4,7\n", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Reading r = Read(dir, c.bytes);
        EXPECT_TRUE(r.text.ends_with("; ok")) << r.text;
        EXPECT_EQ(r.notes.repeated, c.repeated);
        EXPECT_EQ(r.notes.outOfOrderLine, c.outOfOrderLine);
    }
    // Numbers beyond two digits are told apart too (their key is no rank).
    const Reading wide =
        Read(dir, "2020-01-01,1,2,3,4,5,500\n2020-01-01,1,2,3,4,5,501\n2020-01-01,5,4,3,2,1,500\n", Powerball(), 69);
    EXPECT_EQ(wide.notes.repeated, 1) << wide.text;

    const std::string file = (dir / "d.csv").string();
    bm::DrawsFileNotes notes;
    EXPECT_TRUE(bm::DrawsFileNoteLines(dir / "d.csv", notes).empty());
    notes.repeated = 2;
    notes.outOfOrderLine = 7;
    EXPECT_EQ(
        bm::DrawsFileNoteLines(dir / "d.csv", notes),
        (std::vector<std::string>{
            file + ": 2 draws repeat an earlier draw (same date and numbers); each is counted every time it appears",
            file + ": the draws are not in date order (line 7 goes against the order of the draws before it); the "
                   "CSV keeps the file's order"}));
}

// Skipping passes over every line after the headers that would be refused, counts them and keeps
// the first; a file with no draw left is refused. Without it the first such line refuses the file.
TEST(DrawsFile, SkippingPassesOverLinesThatAreNoDrawsOfTheGame)
{
    bmtest::TempDir dir;
    const std::string lotto = "Date,Numbers,Bonus\n"
                              "2020-01-03,1 2 3 4 5,6\n"
                              "2020-01-03,7 8 9 10 11,0\n"  // a second draw of the day without a bonus
                              "2020-01-07,1 2 3 4 5,6,$1.00\n"
                              "2020-01-07,12 13 14 15 16,0\n"
                              "Results are unofficial\n"  // a header-like line after the draws
                              + std::string(5000, 'x') +
                              "\n"  // too long
                              "2020-01-10,1 2 3 4 5,6\r\n";
    const Reading skipping = Read(dir, lotto, FiveBonus(), 39, true);
    EXPECT_EQ(skipping.text, "2 2020-01-03 1 2 3 4 5 +6; 4 2020-01-07 1 2 3 4 5 +6; 8 2020-01-10 1 2 3 4 5 +6; ok");
    EXPECT_EQ(skipping.notes.skipped, 4);
    EXPECT_EQ(skipping.notes.firstSkippedLine, 3);
    EXPECT_EQ(skipping.notes.firstSkippedReason,
              "The bonus number (box 6) is 0; the numbers of this game run from 1 to 39.");
    EXPECT_EQ(skipping.notes.firstSkippedRefusal,
              (dir / "d.csv").string() +
                  ": line 3: The bonus number (box 6) is 0; the numbers of this game run from 1 to 39.");
    EXPECT_EQ(bm::DrawsFileNoteLines(dir / "d.csv", skipping.notes).front(),
              "Skipped 4 lines of " + (dir / "d.csv").string() +
                  " that are not draws of this game; first: line 3: The bonus number (box 6) is 0; the numbers of this "
                  "game run from 1 to 39.");
    EXPECT_EQ(bm::SkipQuestion(skipping.notes),
              "4 lines are not draws of this game, the first is line 3: The bonus number (box 6) is 0; the numbers of "
              "this game run from 1 to 39. Skip them?");
    EXPECT_EQ(Read(dir, lotto, FiveBonus()).text,
              "2 2020-01-03 1 2 3 4 5 +6; d.csv: line 3: The bonus number (box 6) is 0; the numbers of this game run "
              "from 1 to 39.");

    const Reading none = Read(dir, "Date,Numbers\n2020-01-03,1,2,3\n2020-01-04,1,2,3,4\n", Five(), 39, true);
    EXPECT_EQ(none.text, "d.csv: holds no draw of this game; line 2, the first of 2 lines passed over: fields 2 to 4 "
                         "hold 3 numbers; the draw needs 5 numbers (column Numbers and the fields after it)");
    // The lines before the first draw or refusal are headers, not counted.
    EXPECT_EQ(Read(dir, "a\nb\n2020-01-03,1,2,3,4,5\n", Five(), 39, true).notes.skipped, 0);
}

// Both readings of a history share the one open file: a second reading of a file cut meanwhile
// still reads the draws the first one read, and the change is told.
TEST(DrawsFile, ASecondReadingReadsTheSameOpenFile)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "d.csv", "2020-01-03,1,2,3,4,5\n2020-01-04,1,2,3,4,6\n");
    auto first = bm::DrawsReader::Open(dir / "d.csv", Five(), 39);
    ASSERT_TRUE(first);
    bm::HistoryDraw draw;
    while ((*first)->Next(draw)) {
    }
    EXPECT_EQ((*first)->draws(), 2);
    EXPECT_TRUE((*first)->input()->CheckUnchanged());
    std::filesystem::rename(dir / "d.csv", dir / "old.csv");
    bmtest::WriteBytes(dir / "d.csv", "2020-01-03,1,2,3,4,5\n");
    auto second = bm::DrawsReader::Open((*first)->input(), Five(), 39);
    ASSERT_TRUE(second);
    while ((*second)->Next(draw)) {
    }
    EXPECT_EQ((*second)->draws(), 2);
    EXPECT_EQ(bmtest::Refusal((*first)->input()->CheckUnchanged()),
              (dir / "d.csv").string() + " changed while it was being checked");
}

// The history's result carries what the draws file's reading noted.
TEST(DrawsFile, TheHistoryRunCarriesTheNotesOfItsDrawsFile)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", "1,2,3,4,5\n");
    bmtest::WriteBytes(dir / "d.csv", "2020-01-08,1,2,3,4,5\n2020-01-04,1,2,3,4,6\n2020-01-06,1,2,3,4,5\n"
                                      "2020-01-08,1,2,3,4,5\n2020-01-08,1,2,3,4,0\n");
    auto wheel = bm::CompactWheel::Read(dir / "w.txt", Five(), 39);
    auto reader = bm::DrawsReader::Open(dir / "d.csv", Five(), 39, true);
    ASSERT_TRUE(wheel && reader);
    bm::HistoryRun run;
    bmtest::FakeClock clock;
    ASSERT_TRUE(bm::RunHistory(
        Five(), *wheel, **reader, [](const bm::HistoryRow&) {}, run, clock));
    EXPECT_EQ(run.draws, 4);
    EXPECT_EQ(run.drawsFile.repeated, 1);
    EXPECT_EQ(run.drawsFile.outOfOrderLine, 3);
    EXPECT_EQ(run.drawsFile.skipped, 1);
    EXPECT_EQ(run.drawsFile.firstSkippedLine, 5);
}

// A stop asked while the wheel loads ends the loading with what was read.
TEST(DrawsFile, LoadingAWheelStopsWhenAsked)
{
    bmtest::TempDir dir;
    bmtest::WriteBytes(dir / "w.txt", bmtest::Repeated("1,2,3,4,5\n", 200000));
    auto input = bm::InputFile::Open(dir / "w.txt");
    ASSERT_TRUE(input);
    int asked = 0;
    bool stopped = false;
    auto wheel = bm::CompactWheel::Read(
        *input, Five(), 39, [&] { return ++asked < 2; }, stopped);
    ASSERT_TRUE(wheel);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(asked, 2);
    EXPECT_LT(wheel->size(), 200000u);
}

const bm::CheckGame& SixBonus()
{
    return CheckerById("six").Game(true);
}

bm::DrawsOptions Order(bm::DateOrder order)
{
    bm::DrawsOptions options;
    options.dateOrder = order;
    return options;
}

// The files lotteries and data sites publish, read by the columns their headers name: the date
// from its column, the balls from theirs, never a multiplier, a draw number or a sorted copy.
TEST(DrawsFile, ReadsColumnsByTheirHeader)
{
    bmtest::TempDir dir;
    const std::string fdj =
        "annee_numero_de_tirage;jour_de_tirage;date_de_tirage;date_de_forclusion;boule_1;boule_2;boule_3;boule_4;"
        "boule_5;numero_chance;combinaison_gagnante_en_ordre_croissant;nombre_de_gagnant_au_rang1;rapport_du_rang1;"
        "nombre_de_gagnant_au_rang2;rapport_du_rang2;boule_1_second_tirage;boule_2_second_tirage;"
        "boule_3_second_tirage;boule_4_second_tirage;boule_5_second_tirage;devise;\n"
        "2026112;SAMEDI;05/09/2026;04/11/2026;29;3;33;15;6;4;3-6-15-29-33+4;0;0,00;3;133461,60;5;12;22;31;30;eur;\n"
        "2026111;MERCREDI;02/09/2026;01/11/2026;1;2;3;4;5;9;1-2-3-4-5+9;1;2000000,0;2;1 234,5;6;7;8;9;10;eur;\n";
    const struct {
        const char* what;
        std::string bytes;
        const bm::CheckGame* game;
        int pool;
        const char* read;
    } cases[] = {
        {"a national lottery, day-Mon-year, newest first",
         "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Ball 6,Bonus Ball,Ball Set,Machine,DrawNumber\r\n"
         "06-Feb-2013,32,11,40,2,8,27,9,4,Arthur,1780\r\n02-Feb-2013,5,19,1,44,38,6,12,7,Merlin,1779\r\n",
         &SixBonus(), 49, "2 2013-02-06 32 11 40 2 8 27 +9; 3 2013-02-02 5 19 1 44 38 6 +12; ok"},
        {"the powerball inside the numbers field, a multiplier after it",
         "Draw Date,Winning Numbers,Multiplier\n09/26/2020,11 21 27 36 62 24,3\n", &Powerball(), 69,
         "2 2020-09-26 11 21 27 36 62 +24; ok"},
        {"a powerball line missing its powerball: the multiplier is never read as one",
         "Draw Date,Winning Numbers,Multiplier\n09/26/2020,11 21 27 36 62,3\n", &Powerball(), 69,
         "d.csv: line 2: field 2 (\"11 21 27 36 62\") holds 5 numbers; the draw needs 6 numbers (column Winning "
         "Numbers)"},
        {"without a header, a powerball line missing its powerball after one that has it",
         "09/19/2020,1 2 3 4 5 24,2\n09/26/2020,11 21 27 36 62,3\n", &Powerball(), 69,
         "1 2020-09-19 1 2 3 4 5 +24; d.csv: line 2: its draw lies in fields 2 to 3 (5 + 1 numbers), the draw on line 1 "
         "in field 2 (6 numbers); a number missing would let the next column slide into the draw"},
        {"without a header, a line a number field short: the supplementaries never slide in",
         "2005-10-18,39,9,12,30,33,45,5,7,19\n2005-10-25,39,9,12,30,33,45,7,19\n", &Seven(), 45,
         "1 2005-10-18 39 9 12 30 33 45 5 +7; d.csv: line 2: holds 9 fields, the draw on line 1 10; a field missing "
         "or added would let the next column slide into the draw"},
        {"without a header, fields after the draw filled or empty alike",
         "5/13/2008,08 26 27 32 39,,,\r\n5/10/2008,01 11 12 31 37,29,,\r\n", &Five(), 39,
         "1 2008-05-13 8 26 27 32 39; 2 2008-05-10 1 11 12 31 37; ok"},
        {"a ball of its own pool in its own column",
         "Draw Date,Winning Numbers,Mega Ball,Multiplier\n9/25/2020,20 36 37 48 67,16,2\n", &Powerball(), 70,
         "2 2020-09-25 20 36 37 48 67 +16; ok"},
        {"its ball missing", "Draw Date,Winning Numbers,Mega Ball,Multiplier\n9/25/2020,20 36 37 48 67,,2\n",
         &Powerball(), 70, "d.csv: line 2: field 3 is empty; the draw needs 6 numbers (column Mega Ball)"},
        {"month, day and year in three columns",
         "Game Name,Month,Day,Year,Num1,Num2,Num3,Num4,Num5,Powerball,Power Play\n"
         "Powerball,10,7,2015,18,30,40,48,52,9,2\n",
         &Powerball(), 69, "2 2015-10-07 18 30 40 48 52 +9; ok"},
        {"and without a header", "Powerball,10,7,2015,18,30,40,48,52,9,2\nPowerball,10,14,2015,1,2,3,4,5,6,3\n",
         &Powerball(), 69, "1 2015-10-07 18 30 40 48 52 +9; 2 2015-10-14 1 2 3 4 5 +6; ok"},
        {"quoted dates with the month's name",
         "\"June 12, 1982\",3,11,12,14,41,43,13\n\"Jun 19, 1982\",8,33,36,37,39,41,9\n", &SixBonus(), 49,
         "1 1982-06-12 3 11 12 14 41 43 +13; 2 1982-06-19 8 33 36 37 39 41 +9; ok"},
        {"a free-text header, numbered on, and prize columns",
         "Format: Draw Number, Draw Date (yyyymmdd), Winning Number 1, 2, 3, 4, 5, 6, 7, Supplementary 1, 2, "
         "Division 1, 2\n\"609\",\"20051018\",\"39\",\"9\",\"12\",\"30\",\"33\",\"45\",\"5\",\"7\",\"19\",\"$0.00\","
         "\"$15,781.85\"\n",
         &Seven(), 45, "2 2005-10-18 39 9 12 30 33 45 5 +7; ok"},
        {"one number of it lost: the fields left are too few",
         "Format: Draw Number, Draw Date (yyyymmdd), Winning Number 1, 2, 3, 4, 5, 6, 7, Supplementary 1, 2, "
         "Division 1, 2\n\"609\",\"20051018\",\"39\",\"9\",\"12\",\"30\",\"33\",\"45\",\"7\",\"19\",\"$0.00\","
         "\"$15,781.85\"\n",
         &Seven(), 45, "d.csv: line 2: holds 12 fields; the header on line 1 names 13 columns"},
        {"a second draw of the day, read when it is there",
         "Draw Date,Evening Winning Numbers,Evening Bonus #,Midday Winning Numbers,Midday Bonus #\r\n"
         "3/12/2025,08 14 20 27 37,,02 06 20 31 36,\r\n9/24/2020,02 05 10 15 18,,,\r\n",
         &Five(), 39, "2 2025-03-12 8 14 20 27 37; 2 2025-03-12 2 6 20 31 36; 3 2020-09-24 2 5 10 15 18; ok"},
        {"half a second draw is refused",
         "Draw Date,Evening Winning Numbers,Midday Winning Numbers\n3/13/2025,8 14 20 27 37,2 6 20 31\n", &Five(), 39,
         "d.csv: line 2: field 3 (\"2 6 20 31\") holds 4 numbers; the draw needs 5 numbers (column Midday Winning "
         "Numbers)"},
        {"semicolons part the fields, decimal commas stay; dates day first by the header's language; the second draw",
         fdj, &Five(), 49,
         "2 2026-09-05 29 3 33 15 6; 2 2026-09-05 5 12 22 31 30; 3 2026-09-02 1 2 3 4 5; 3 2026-09-02 6 7 8 9 10; ok"},
        {"the chance number; the second draw has none, so it is not read", fdj, &Powerball(), 49,
         "2 2026-09-05 29 3 33 15 6 +4; 3 2026-09-02 1 2 3 4 5 +9; ok"},
        {"an amount that is none", "Date,Numbers,Division 1\n2020-01-01,1 2 3 4 5,jackpot\n", &Five(), 39,
         "d.csv: line 2: field 3 (\"jackpot\") is not an amount of money (column Division 1)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(dir, c.bytes, *c.game, c.pool).text, c.read);
    }

    // The prizes of each division come with the draw they belong to.
    bmtest::WriteBytes(dir / "d.csv", fdj);
    auto reader = bm::DrawsReader::Open(dir / "d.csv", Powerball(), 49, bm::DrawsOptions{});
    ASSERT_TRUE(reader);
    bm::HistoryDraw draw;
    std::vector<std::vector<std::int64_t>> prizes;
    while ((*reader)->Next(draw))
        prizes.push_back(draw.prizes);
    EXPECT_TRUE((*reader)->carriesPrizes());
    EXPECT_EQ(prizes, (std::vector<std::vector<std::int64_t>>{{0, 13346160}, {200000000, 123450}}));
}

// A line that holds a whole draw is never taken for a header, whatever its date looks like: it
// is read, or refused with its line.
TEST(DrawsFile, ALineHoldingADrawIsNoHeader)
{
    bmtest::TempDir dir;
    const struct {
        const char* first;
        const char* read;
    } cases[] = {
        {"12-Jun-1982,3,11,12,14,41,43,13", "2 1982-06-12 3 11 12 14 41 43 +13; 3 2020-01-11 1 2 3 4 5 6 +7; ok"},
        {"Jan 4 2020,3,11,12,14,41,43,13", "2 2020-01-04 3 11 12 14 41 43 +13; 3 2020-01-11 1 2 3 4 5 6 +7; ok"},
        {"2020-01-04T00:00:00,3,11,12,14,41,43,13",
         "2 2020-01-04 3 11 12 14 41 43 +13; 3 2020-01-11 1 2 3 4 5 6 +7; ok"},
        {"Sat 2020-01-04,3,11,12,14,41,43,13", "2 2020-01-04 3 11 12 14 41 43 +13; 3 2020-01-11 1 2 3 4 5 6 +7; ok"},
        {"1/4/20,3,11,12,14,41,43,13",
         "d.csv: line 2: field 1 (\"1/4/20\") is not a date; dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY "
         "(month first), D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD (column Draw Date)"},
        {"\"2020-01-04,3,11,12,14,41,43,13", "d.csv: line 2: holds a quote (\") that is not closed"},
        {"4th Jan,3,11,12,14,41,43,13",
         "d.csv: line 2: field 1 (\"4th Jan\") is not a date; dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY "
         "(month first), D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD (column Draw Date)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Read(dir,
                       std::string("Draw Date,N1,N2,N3,N4,N5,N6,Bonus\n") + c.first + "\n2020-01-11,1,2,3,4,5,6,7\n",
                       SixBonus(), 49)
                      .text,
                  c.read);
    }
    // Without a header too.
    EXPECT_EQ(Read(dir, "4th Jan,3,11,12,14,41,43,13\n2020-01-11,1,2,3,4,5,6,7\n", SixBonus(), 49).text,
              "d.csv: line 1: field 1 (\"4th Jan\") is not a whole number; the draw needs 7 numbers");
}

// "01/02/2020" reads as the file as a whole tells: a day past 12 settles it, most lines win over
// a few against them, the header's language or --date-order settle the rest; else it is refused.
TEST(DrawsFile, DatesReadInTheOrderTheFileTells)
{
    bmtest::TempDir dir;
    const std::string ask = "give --date-order DMY (day first) or MDY (month first)";
    const struct {
        const char* what;
        std::string bytes;
        bm::DateOrder order;
        std::string read;
    } cases[] = {
        {"a day past 12", "01/02/2020,1,2,3,4,5\n13/02/2020,1,2,3,4,6\n", bm::DateOrder::Unknown,
         "1 2020-02-01 1 2 3 4 5; 2 2020-02-13 1 2 3 4 6; ok"},
        {"month first", "01/02/2020,1,2,3,4,5\n02/13/2020,1,2,3,4,6\n", bm::DateOrder::Unknown,
         "1 2020-01-02 1 2 3 4 5; 2 2020-02-13 1 2 3 4 6; ok"},
        {"one line against the rest is no date", "01/14/2020,1,2,3,4,5\n01/15/2020,1,2,3,4,6\n13/01/2020,1,2,3,4,7\n",
         bm::DateOrder::Unknown,
         "1 2020-01-14 1 2 3 4 5; 2 2020-01-15 1 2 3 4 6; d.csv: line 3: field 1 (\"13/01/2020\") is not a date; dates "
         "are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD"},
        {"as often one way as the other", "01/14/2020,1,2,3,4,5\n14/01/2020,1,2,3,4,6\n", bm::DateOrder::Unknown,
         "d.csv: its dates are written day first (line 2) as often as month first (line 1); " + ask},
        {"nothing tells", "Date,Numbers\n01/02/2020,1,2,3,4,5\n", bm::DateOrder::Unknown,
         "d.csv: line 2: the date \"01/02/2020\" reads day first or month first, and no date of the file tells "
         "which; " +
             ask},
        {"told day first", "Date,Numbers\n01/02/2020,1,2,3,4,5\n", bm::DateOrder::DayFirst,
         "2 2020-02-01 1 2 3 4 5; ok"},
        {"told month first", "Date,Numbers\n01/02/2020,1,2,3,4,5\n", bm::DateOrder::MonthFirst,
         "2 2020-01-02 1 2 3 4 5; ok"},
        {"a language that writes the day first", "Datum;Zahlen\n01-02-2020;1 2 3 4 5\n", bm::DateOrder::Unknown,
         "2 2020-02-01 1 2 3 4 5; ok"},
        {"dates that do not depend on it", "2020-01-02,1,2,3,4,5\n1.2.2020,1,2,3,4,6\n20200103,1,2,3,4,7\n",
         bm::DateOrder::Unknown, "1 2020-01-02 1 2 3 4 5; 2 2020-02-01 1 2 3 4 6; 3 2020-01-03 1 2 3 4 7; ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(dir, c.bytes, Five(), 39, false, Order(c.order)).text, c.read);
    }
    EXPECT_TRUE(bm::DrawsReader::AsksDateOrder(Error{"d.csv: ... " + ask}));
    EXPECT_EQ(bm::DateOrderFromText("dmy"), bm::DateOrder::DayFirst);
    EXPECT_EQ(bm::DateOrderFromText("MDY"), bm::DateOrder::MonthFirst);
    EXPECT_FALSE(bm::DateOrderFromText("YMD"));

    const struct {
        const char* field;
        bm::DateOrder order;
        std::optional<std::string> day;
    } fields[] = {
        {"06-Feb-2013", bm::DateOrder::MonthFirst, "2013-02-06"},
        {"6 February 2013", bm::DateOrder::MonthFirst, "2013-02-06"},
        {"June 12, 1982", bm::DateOrder::MonthFirst, "1982-06-12"},
        {"Sept 1 2001", bm::DateOrder::MonthFirst, "2001-09-01"},
        {"Saturday, June 12, 1982", bm::DateOrder::DayFirst, "1982-06-12"},
        {"2020-01-04 20:30", bm::DateOrder::MonthFirst, "2020-01-04"},
        {"26-09-2020", bm::DateOrder::DayFirst, "2020-09-26"},
        {"09/26/2020", bm::DateOrder::MonthFirst, "2020-09-26"},
        {"09/26/2020", bm::DateOrder::DayFirst, std::nullopt},
        {"30-Feb-2013", bm::DateOrder::MonthFirst, std::nullopt},
        {"Jun 12, 82", bm::DateOrder::MonthFirst, std::nullopt},
        {"2020-01-04Tlater", bm::DateOrder::MonthFirst, std::nullopt},
        {"Junk 12, 1982", bm::DateOrder::MonthFirst, std::nullopt},
    };
    for (const auto& f : fields)
        EXPECT_EQ(bm::ReadDrawDate(f.field, f.order), f.day) << f.field;
}

// A date is taken only from where the file puts it and read only in an order the file tells:
// never from a later column when the first date is no day, never by position against the columns
// a header names, never by the words of a line after the draws.
TEST(DrawsFile, DatesAreNeitherTakenFromAnotherColumnNorGuessed)
{
    bmtest::TempDir dir;
    const std::string dates = " is not a date; dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY (month first), "
                              "D.M.YYYY, DD-Mon-YYYY, Month D YYYY or YYYYMMDD";
    const std::string ask = "give --date-order DMY (day first) or MDY (month first)";
    const std::string commas = "holds a draw parted by commas or tabs; the first line of this file parts its fields "
                               "by \";\" alone";
    const struct {
        const char* what;
        std::string bytes;
        bool skip;
        bm::DateOrder order;
        std::string read;
    } cases[] = {
        {"a draw date that is no day, then a claim deadline", "2020-02-30,2020-04-30,1,2,3,4,5\n", false,
         bm::DateOrder::Unknown, "d.csv: line 1: field 1 (\"2020-02-30\")" + dates},
        {"a date against the file's order before one that reads", "13/01/2020;01/02/2020;1;2;3;4;5\n", false,
         bm::DateOrder::MonthFirst, "d.csv: line 1: field 1 (\"13/01/2020\")" + dates},
        {"day, month and year named by the header, in a line of numbers only",
         "Day,Month,Year,N1,N2,N3,N4,N5\n10,7,2015,1,2,3,4,5\n13,7,2015,1,2,3,4,6\n", false, bm::DateOrder::Unknown,
         "2 2015-07-10 1 2 3 4 5; 3 2015-07-13 1 2 3 4 6; ok"},
        {"month, day and year across three fields of a line of numbers, against the header's date column",
         "Draw Date,N1,N2,N3,N4,N5\n2020-01-01,1,2,3,4,5\n1,2,3,2020,1,2,3,4,5\n", false, bm::DateOrder::MonthFirst,
         "2 2020-01-01 1 2 3 4 5; d.csv: line 3: field 1 (\"1\")" + dates + " (column Draw Date)"},
        {"nor do month, day and year in a line of numbers the header's date column refuses",
         "Draw Date,N1,N2,N3,N4,N5\n01/02/2020,1,2,3,4,5\n1,13,2020,1,2,3,4,5\n", true, bm::DateOrder::Unknown,
         "d.csv: line 2: the date \"01/02/2020\" reads day first or month first, and no date of the file tells "
         "which; " +
             ask},
        {"a line after the draws says nothing of their dates' order", "01/02/2020,1,2,3,4,5\nTirage du jour\n", true,
         bm::DateOrder::Unknown,
         "d.csv: line 1: the date \"01/02/2020\" reads day first or month first, and no date of the file tells "
         "which; " +
             ask},
        {"nor of their columns", "2020-01-01,1,2,3,4,5\nDay,Month,Year,Numbers\n1,2,2020,1,2,3,4,6\n", true,
         bm::DateOrder::Unknown,
         "d.csv: line 3: the date \"1,2,2020\" reads day first or month first, and no date of the file tells "
         "which; " +
             ask},
        // A file parted by ";": a draw parted by commas before the first draw is no header to pass over.
        {"a dated draw parted by commas", "Lotto export;\n2020-01-01,1,2,3,4,5\n2020-01-08;1;2;3;4;6\n", false,
         bm::DateOrder::Unknown, "d.csv: line 2: " + commas},
        {"an undated one", "Lotto export;\n1,2,3,4,5\n2020-01-08;1;2;3;4;6\n", false, bm::DateOrder::Unknown,
         "d.csv: line 2: " + commas},
        {"skipped and counted when asked", "Lotto export;\n1,2,3,4,5\n2020-01-08;1;2;3;4;6\n", true,
         bm::DateOrder::Unknown, "3 2020-01-08 1 2 3 4 6; ok"},
        {"a header with commas is still one",
         "Lotto export; prizes in EUR, cents after a comma\n2020-01-08;1;2;3;4;6\n", false, bm::DateOrder::Unknown,
         "2 2020-01-08 1 2 3 4 6; ok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Read(dir, c.bytes, Five(), 39, c.skip, Order(c.order)).text, c.read);
    }
}

// A draw of any shape: main numbers, perhaps a bonus, up to two numbers of a second pool, each
// checked against its own pool; the refusal names the pool a draw would need.
TEST(DrawsFile, ReadsDrawsOfTwoPools)
{
    bmtest::TempDir dir;
    const bm::DrawShape stars{5, false, 2, 50, 12};
    const auto read = [&](const std::string& bytes, const bm::DrawShape& shape, bm::DrawsOptions options = {}) {
        bmtest::WriteBytes(dir / "d.csv", bytes);
        auto reader = bm::DrawsReader::Open(dir / "d.csv", shape, options);
        if (!reader)
            return reader.error().message;
        std::string seen;
        bm::HistoryDraw d;
        while ((*reader)->Next(d)) {
            seen += d.date + ":";
            for (int k = 0; k < d.numbers.mainCount; ++k)
                seen += " " + std::to_string(d.numbers.main[static_cast<std::size_t>(k)]);
            if (shape.bonus)
                seen += " +" + std::to_string(d.numbers.bonus);
            for (int k = 0; k < d.numbers.secondCount; ++k)
                seen += " *" + std::to_string(d.numbers.second[static_cast<std::size_t>(k)]);
            seen += "; ";
        }
        const std::string name = (dir / "d.csv").string();
        std::string end = (*reader)->error() ? (*reader)->error()->message : "ok";
        if (end.rfind(name, 0) == 0)
            end = "d.csv" + end.substr(name.size());
        return seen + end;
    };
    const std::string header =
        "DrawDate,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Lucky Star 1,Lucky Star 2,UK Millionaire Maker,"
        "DrawNumber\n";
    const struct {
        const char* what;
        std::string bytes;
        bm::DrawShape shape;
        std::string read;
    } cases[] = {
        {"two stars in their columns", header + "06-Feb-2026,50,2,3,4,5,3,12,ABC12345,1900\n", stars,
         "2026-02-06: 50 2 3 4 5 *3 *12; ok"},
        {"a star beyond its pool", header + "06-Feb-2026,1,2,3,4,5,3,13,ABC12345,1900\n", stars,
         "d.csv: line 2: Second-pool number 2 is 13; the second pool runs from 1 to 12. This draw needs a second pool "
         "of at least 13 numbers (the definition has 12)."},
        {"the same star twice", header + "06-Feb-2026,1,2,3,4,5,3,3,ABC12345,1900\n", stars,
         "d.csv: line 2: Second-pool number 2 is 3, the same as second-pool number 1; no number is drawn twice."},
        {"a main number beyond its pool", header + "06-Feb-2026,1,2,3,4,51,3,4,ABC12345,1900\n", stars,
         "d.csv: line 2: Drawn number 5 is 51; the numbers of this pool run from 1 to 50. This draw needs a pool of "
         "at least 51 numbers (the definition has 50)."},
        {"one star missing", header + "06-Feb-2026,1,2,3,4,5,3,,ABC12345,1900\n", stars,
         "d.csv: line 2: field 8 is empty; the draw needs 7 numbers (column Lucky Star 2)"},
        {"by position", "2026-02-06,1,2,3,4,5,3,9\n", stars, "2026-02-06: 1 2 3 4 5 *3 *9; ok"},
        {"a bonus and a second pool", "Date,Numbers,Bonus,Powerball\n2026-02-06,1 2 3 4 5 6,7,10\n",
         bm::DrawShape{6, true, 1, 49, 10}, "2026-02-06: 1 2 3 4 5 6 +7 *10; ok"},
        {"a one-star game reads no second star", header + "06-Feb-2026,1,2,3,4,5,3,9,ABC12345,1900\n",
         bm::DrawShape{5, false, 1, 50, 12},
         "d.csv: line 2: fields 7 to 8 hold 2 numbers; the draw needs 1 from the second pool (columns Lucky Star 1 "
         "to Lucky Star 2)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(read(c.bytes, c.shape), c.read);
    }
    // Draws with two second-pool numbers repeat in any order of them, and differ by the second one.
    bmtest::WriteBytes(dir / "d.csv",
                       "2026-02-06,1,2,3,4,5,3,9\n2026-02-06,1,2,3,4,5,3,10\n2026-02-06,5,4,3,2,1,9,3\n");
    auto reader = bm::DrawsReader::Open(dir / "d.csv", stars, {});
    ASSERT_TRUE(reader);
    bm::HistoryDraw d;
    while ((*reader)->Next(d)) {
    }
    EXPECT_EQ((*reader)->notes().repeated, 1);
}

// --from and --to: only the draws of those days are given; the game's rules are not asked of the
// others (a matrix change outside the days), but every line is still read exactly.
TEST(DrawsFile, GivesTheDrawsOfARangeOfDays)
{
    bmtest::TempDir dir;
    const std::string file = "Date,Numbers\n2020-01-01,1 2 3 4 5\n2020-01-08,1 2 3 4 6\n2020-01-15,1 2 3 4 7\n"
                             "2020-01-22,1 2 3 4 45\n";
    const auto range = [](const char* from, const char* to) {
        bm::DrawsOptions o;
        o.from = from;
        o.to = to;
        return o;
    };
    EXPECT_EQ(Read(dir, file, Five(), 39, false, range("2020-01-08", "2020-01-15")).text,
              "3 2020-01-08 1 2 3 4 6; 4 2020-01-15 1 2 3 4 7; ok");
    EXPECT_EQ(Read(dir, file, Five(), 39, false, range("", "2020-01-08")).text,
              "2 2020-01-01 1 2 3 4 5; 3 2020-01-08 1 2 3 4 6; ok");
    EXPECT_EQ(Read(dir, file, Five(), 39, false, range("2020-01-09", "")).text,
              "4 2020-01-15 1 2 3 4 7; d.csv: line 5: Drawn number 5 is 45; the numbers of this game run from 1 to 39. "
              "This draw needs a pool of at least 45 numbers (the definition has 39).");
    EXPECT_EQ(Read(dir, file, Five(), 45, false, range("2020-01-20", "")).text, "5 2020-01-22 1 2 3 4 45; ok");
    EXPECT_EQ(Read(dir, file, Five(), 39, false, range("2021-01-01", "")).text,
              "d.csv: holds no draw from 2021-01-01 to its last day");
    EXPECT_EQ(
        Read(dir, "Date,Numbers\n2020-01-01,1 2 3 4 5\n1,2,3,4,5\n", Five(), 39, false, range("2020-01-01", "")).text,
        "2 2020-01-01 1 2 3 4 5; d.csv: line 3: holds no date; a range of days needs dated draws");
    const Reading counted = Read(dir, file, Five(), 39, false, range("2020-01-08", "2020-01-15"));
    EXPECT_EQ(counted.notes.outsideRange, 2);
}

TEST(DrawsFile, AmountsAsResultsFilesWriteThem)
{
    const std::pair<const char*, std::optional<std::int64_t>> amounts[] = {
        {"$15,781.85", 1578185},
        {"133461,60", 13346160},
        {"2000000,0", 200000000},
        {"1 234,5", 123450},
        {"1.234.567,89", 123456789},
        {"\xE2\x82\xAC"
         "12",
         1200},
        {"12,50 EUR", 1250},
        {"$3,000,000.00", 300000000},
        {"0", 0},
        {"1'234.00", 123400},
        {"15,78", 1578},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"12,3456", std::nullopt},
        {"1,23,456", std::nullopt},
        {"abc", std::nullopt},
        {"$-5", std::nullopt},
        {"1e3", std::nullopt},
        {",50", std::nullopt},
        {"12.", std::nullopt},
    };
    for (const auto& [text, hundredths] : amounts)
        EXPECT_EQ(bm::ReadFileAmount(text), hundredths) << text;
}

}  // namespace

TEST(HistoryMoney, AmountsAndKeptPrizesReadOnlyAsWritten)
{
    const std::pair<const char*, std::optional<std::int64_t>> amounts[] = {{"", 0},
                                                                           {" 7 ", 700},
                                                                           {"7.5", 750},
                                                                           {"7.50", 750},
                                                                           {"0.05", 5},
                                                                           {"100000000000", 10'000'000'000'000},
                                                                           {"7.505", std::nullopt},
                                                                           {"-1", std::nullopt},
                                                                           {"1e3", std::nullopt},
                                                                           {"1,000", std::nullopt},
                                                                           {".", std::nullopt},
                                                                           {"100000000001", std::nullopt}};
    for (const auto& [text, hundredths] : amounts)
        EXPECT_EQ(ParseAmount(text), hundredths) << text;
    EXPECT_EQ(AmountText(100000003050.0L), "1000000030.50");

    const HistoryPrizes prizes{{0, 0, 1000, 250}, 300};
    EXPECT_EQ(PrizesFromText(PrizesText(prizes), 4), prizes);
    // A value spoiled in the file, or kept for a game of other tiers, gives no prizes.
    for (const char* kept : {"0;0;1000;250", "0;0;1000;250;300;1", "0;0;x;250;300", "0;0;1000;;300", ""})
        EXPECT_FALSE(PrizesFromText(kept, 4)) << kept;
    EXPECT_EQ(WonBy(prizes, Tally{{5, 4, 3, 2}}), 3 * 1000 + 2 * 250);
}
