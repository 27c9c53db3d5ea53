#include <gtest/gtest.h>

#include "CheckTestSupport.h"
#include "checking/DrawHistory.h"
#include "checking/HistoryCheck.h"
#include "checking/HistoryMoney.h"

using namespace bm;

namespace {

using bm::CheckerByName;

const bm::CheckGame& Five() { return CheckerByName("frmChkwhl5").Game(false); }  // 5 numbers, no bonus
const bm::CheckGame& FiveBonus() { return CheckerByName("frmChkwhl5").Game(true); }
const bm::CheckGame& Seven() { return CheckerByName("frmChkwhl7").Game(true); }
const bm::CheckGame& Powerball() { return CheckerByName("frmChkwhlPB").Game(false); }

// A reading of the bytes: the lines of the draws read, then "ok" or the error.
struct Reading {
    std::string text;
    bm::DrawsFileNotes notes;
};
Reading Read(const bmtest::TempDir& dir, std::string_view bytes, const bm::CheckGame& game = Five(), int pool = 39,
             bool skip = false)
{
    bmtest::WriteBytes(dir / "d.csv", bytes);
    const std::string name = (dir / "d.csv").string();
    const auto shortened = [&](std::string end) { return end.rfind(name, 0) == 0 ? "d.csv" + end.substr(name.size()) : end; };
    auto reader = bm::DrawsReader::Open(dir / "d.csv", game, pool, skip);
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
        {&Powerball(), 69, "09/26/2020,\"11 21 27 36 62\",,3", "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        // Take 5 with an empty bonus would take the midday draw.
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5,,6 7 8 9 10,11", "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5, ,6", "d.csv: line 1: field 3 is empty; the draw needs 6 numbers"},
        {&Five(), 39, "2020-01-01;1;2;x3;4;5", "d.csv: line 1: field 4 (\"x3\") is not a whole number; the draw needs 5 numbers"},
        {&Five(), 39, "2020-01-01,1 2 3 4 5 6", "d.csv: line 1: field 2 (\"1 2 3 4 5 6\") holds 6 numbers, more than the draw needs (5)"},
        {&Five(), 39, "2020-01-01,1,2", "d.csv: line 1: holds 2 numbers after its date 2020-01-01; a draw of this game has 5"},
        // Text after the draw (prizes, a second draw of the day) is passed over.
        {&Seven(), 45, R"("609","20051018","39","9","12","30","33","45","5","7","19","$0.00","$15,781.85")",
         "1 2005-10-18 39 9 12 30 33 45 5 +7; ok"},
        {&FiveBonus(), 39, "10/01/2020,1 2 3 4 5,6,7 8 9 10 11,12", "1 2020-10-01 1 2 3 4 5 +6; ok"},
        {&Five(), 39, "2020-01-01,\"1 2\",3,\"4\",5,$1.00,", "1 2020-01-01 1 2 3 4 5; ok"},
        {&Five(), 39, "1,2,3,4,5,", "1  1 2 3 4 5; ok"},
        {&Five(), 39, "1,2,,3,4,5", "d.csv: line 1: field 3 is empty; the draw needs 5 numbers"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(dir, std::string(c.line) + "\r\n", *c.game, c.pool).text, c.read) << c.line;
}

// Header lines come before the first draw only: a line after it that is no draw (a date that is
// no day, a day-first or text date, an open quote, a bad number) is refused with its line, never
// dropped as a header. A date-shaped field that is no day is no header anywhere.
TEST(DrawsFile, LinesAfterTheFirstDrawAreDrawsOrRefused)
{
    bmtest::TempDir dir;
    const std::string dates = "; dates are read as YYYY-MM-DD, YYYY/MM/DD, M/D/YYYY (month first), D.M.YYYY or YYYYMMDD";
    const struct {
        const char* line;
        std::string refusal;
    } cases[] = {
        {"1984-02-30,1,2,3,4,5", "field 1 (\"1984-02-30\") is not a date" + dates},
        {"2020-13-01,1,2,3,4,5", "field 1 (\"2020-13-01\") is not a date" + dates},
        {"0000-01-01,1,2,3,4,5", "field 1 (\"0000-01-01\") is not a date" + dates},
        {"13/01/2020,1,2,3,4,5", "field 1 (\"13/01/2020\") is not a date" + dates},
        {"\"Mon, Jan 13 2020\",1,2,3,4,5", "field 1 (\"Mon, Jan 13 2020\") is not a whole number; the draw needs 5 numbers"},
        {"\"2020-01-13,1,2,3,4,5", "holds a quote (\") that is not closed"},
        {"1,2,x,4,5", "field 3 (\"x\") is not a whole number; the draw needs 5 numbers"},
        {"Total draws,2", "field 1 (\"Total draws\") is not a whole number; the draw needs 5 numbers"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(Read(dir, std::string("Date,Numbers\n2020-01-06,1,2,3,4,5\n") + c.line + "\n2020-01-20,1,2,3,4,6\n").text,
                  "2 2020-01-06 1 2 3 4 5; d.csv: line 3: " + c.refusal);
    }
    // Before the first draw text lines are headers, but a date that is no day is a draw written wrongly.
    EXPECT_EQ(Read(dir, "Results\n\"Draw\",\"Date\nDate,Numbers\n2020-01-06,1,2,3,4,5\n").text, "4 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "Date,Numbers\n2001/2/29;1;2;3;4;5\n2020-01-06,1,2,3,4,5\n").text,
              "d.csv: line 2: field 1 (\"2001/2/29\") is not a date" + dates);
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
        {"1,2,3,4,5\n1,2,3,4,40\n", "1  1 2 3 4 5; d.csv: line 2: Drawn number 5 is 40; the numbers of this game run from 1 to 39."},
        {"Date,Numbers\n# none yet\n", "d.csv: holds no draw"},
        {"1,2,3,4,5\r6,7,8,9,10\n", "d.csv: line 1 holds a carriage return inside the line"},
        {std::string(5000, '1'), "d.csv: line 1 is too long for a line of draws"},
        {std::string("\xFF\xFE" "1\0,\0", 6), "d.csv: is UTF-16 text; save it as plain text (ANSI or UTF-8)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(dir, c.bytes).text, c.read);
}

// A UTF-8 byte-order mark is not part of the first line, whether that is a header, a dated or an
// undated draw; a mark anywhere else is text.
TEST(DrawsFile, AByteOrderMarkBeforeTheFirstDrawIsPassedOver)
{
    bmtest::TempDir dir;
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF" "2020-01-06,1,2,3,4,5\r\n").text, "1 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF" "1,2,3,4,5\n6,7,8,9,10\n").text, "1  1 2 3 4 5; 2  6 7 8 9 10; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF" "Date,Numbers\n2020-01-06,1,2,3,4,5\n").text, "2 2020-01-06 1 2 3 4 5; ok");
    EXPECT_EQ(Read(dir, "\xEF\xBB\xBF").text, "d.csv: holds no draw");
    EXPECT_EQ(Read(dir, "2020-01-06,1,2,3,4,5\n\xEF\xBB\xBF" "2020-01-07,1,2,3,4,5\n").text,
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
         "2020-01-01,1,2,3,4,5\n2020-01-01,1,2,3,4,5\n2020-01-01,1,2,3,4,5\n2020-01-04,3,4,5,6,7\n2020-01-04,3,4,5,6,7\n", 3, 0},
        {"the same numbers on another day", "2020-01-01,1,2,3,4,5\n2020-01-04,1,2,3,4,5\n", 0, 0},
        {"undated twice", "1,2,3,4,5\n5,4,3,2,1\n", 1, 0},
        {"one draw out of place", "2020-01-01,1,2,3,4,5\n2020-01-08,1,2,3,4,6\n2020-01-04,1,2,3,4,7\n2020-01-11,1,2,3,4,8\n", 0, 3},
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
    const Reading wide = Read(dir, "2020-01-01,1,2,3,4,5,500\n2020-01-01,1,2,3,4,5,501\n2020-01-01,5,4,3,2,1,500\n",
                              Powerball(), 69);
    EXPECT_EQ(wide.notes.repeated, 1) << wide.text;

    const std::string file = (dir / "d.csv").string();
    bm::DrawsFileNotes notes;
    EXPECT_TRUE(bm::DrawsFileNoteLines(dir / "d.csv", notes).empty());
    notes.repeated = 2;
    notes.outOfOrderLine = 7;
    EXPECT_EQ(bm::DrawsFileNoteLines(dir / "d.csv", notes),
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
    const std::string lotto =
        "Date,Numbers,Bonus\n"
        "2020-01-03,1 2 3 4 5,6\n"
        "2020-01-03,7 8 9 10 11,0\n"       // a second draw of the day without a bonus
        "2020-01-07,1 2 3 4 5,6,$1.00\n"
        "2020-01-07,12 13 14 15 16,0\n"
        "Results are unofficial\n"           // a header-like line after the draws
        + std::string(5000, 'x') + "\n"      // too long
        "2020-01-10,1 2 3 4 5,6\r\n";
    const Reading skipping = Read(dir, lotto, FiveBonus(), 39, true);
    EXPECT_EQ(skipping.text, "2 2020-01-03 1 2 3 4 5 +6; 4 2020-01-07 1 2 3 4 5 +6; 8 2020-01-10 1 2 3 4 5 +6; ok");
    EXPECT_EQ(skipping.notes.skipped, 4);
    EXPECT_EQ(skipping.notes.firstSkippedLine, 3);
    EXPECT_EQ(skipping.notes.firstSkippedReason, "The bonus number (box 6) is 0; the numbers of this game run from 1 to 39.");
    EXPECT_EQ(skipping.notes.firstSkippedRefusal,
              (dir / "d.csv").string() + ": line 3: The bonus number (box 6) is 0; the numbers of this game run from 1 to 39.");
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
    EXPECT_EQ(none.text, "d.csv: holds no draw of this game; line 2, the first of 2 lines passed over: holds 3 numbers "
                         "after its date 2020-01-03; a draw of this game has 5");
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
    ASSERT_TRUE(bm::RunHistory(Five(), *wheel, **reader, [](const bm::HistoryRow&) {}, run, clock));
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
    auto wheel = bm::CompactWheel::Read(*input, Five(), 39, [&] { return ++asked < 2; }, stopped);
    ASSERT_TRUE(wheel);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(asked, 2);
    EXPECT_LT(wheel->size(), 200000u);
}

}  // namespace

TEST(HistoryMoney, AmountsAndKeptPrizesReadOnlyAsWritten)
{
    const std::pair<const char*, std::optional<std::int64_t>> amounts[] = {
        {"", 0}, {" 7 ", 700}, {"7.5", 750}, {"7.50", 750}, {"0.05", 5}, {"100000000000", 10'000'000'000'000},
        {"7.505", std::nullopt}, {"-1", std::nullopt}, {"1e3", std::nullopt}, {"1,000", std::nullopt},
        {".", std::nullopt}, {"100000000001", std::nullopt}};
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
