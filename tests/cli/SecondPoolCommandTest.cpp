// The games of two pools through the program: the sample powerball slip prints its powerballs and
// quick-pick boxes where they belong (in the PDF too), a 5 + 2 game checks by tiers (m, j) with
// the counts an independent count gives, and wheels take their second-pool numbers.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "checking/CheckTestSupport.h"
#include "cli/CatalogueSupport.h"
#include "support/PrintTestTools.h"

using namespace bmtest;

namespace {

std::vector<std::vector<int>> PlaysOf(const std::string& text)
{
    std::vector<std::vector<int>> plays;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line == "\r")
            continue;
        std::replace(line.begin(), line.end(), ',', ' ');
        std::istringstream numbers(line);
        std::vector<int> play;
        for (int n; numbers >> n;)
            play.push_back(n);
        plays.push_back(play);
    }
    return plays;
}

// Where the sample PW569 slip has each mark, worked out from its measurements: boards 34 mm apart
// from 18 mm, numbers 1..69 in ten rows of seven from 10 mm down (4.5 across, 5 down, 3 x 2 mm),
// the powerballs 1..26 in rows of seven 52 mm under the first box (4.5 down), the quick-pick box
// 12 mm right and 72 mm under it (4 x 2.5 mm).
struct Expected {
    std::vector<std::vector<Box>> sheets;
    std::vector<Box> powerballs;
};

Expected SampleMarks(const std::vector<std::vector<int>>& plays)
{
    Expected e;
    e.sheets.resize((plays.size() + 4) / 5);
    for (std::size_t i = 0; i < plays.size(); ++i) {
        auto& sheet = e.sheets[i / 5];
        const double left = 18 + 34.0 * static_cast<double>(i % 5);
        for (int k = 0; k < 5; ++k) {
            const int n = plays[i][static_cast<std::size_t>(k)] - 1;
            const double x = left + 4.5 * (n % 7), y = 10 + 5.0 * (n / 7);
            sheet.push_back({x, y, x + 3, y + 2});
        }
        const int pb = plays[i][5] - 1;
        const double x = left + 4.5 * (pb % 7), y = 62 + 4.5 * (pb / 7);
        sheet.push_back({x, y, x + 3, y + 2});
        e.powerballs.push_back(sheet.back());
        sheet.push_back({left + 12, 82, left + 16, 84.5});
    }
    return e;
}

std::vector<std::vector<double>> MarkLines(const std::string& out)
{
    std::vector<std::vector<double>> marks;
    std::istringstream in(out);
    for (double s, x1, y1, x2, y2; in >> s >> x1 >> y1 >> x2 >> y2;)
        marks.push_back({s, x1, y1, x2, y2});
    return marks;
}

TEST(SecondPoolCommand, ThePowerballSamplePrintsEveryPowerballInItsBox)
{
    BM_NEEDS_PROGRAM();
    const Lab lab;
    const auto plays = PlaysOf(ReadBytes(lab.home() / "wheel/PW569-sample.txt"));
    ASSERT_EQ(plays.size(), 60u);
    const Expected expected = SampleMarks(plays);

    const auto marks = lab.Run({"print", "--definition", "PW569", "--wheel", "PW569-sample.txt", "--marks"});
    ASSERT_EQ(marks.status, 0) << marks.err;
    const auto lines = MarkLines(marks.out);
    ASSERT_EQ(lines.size(), 60u * 7);
    // Per sheet: the 25 number marks, then the 5 powerballs by grid row, board and column, then the 5 boxes.
    std::vector<Box> powerballs;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t at = i % 35;
        if (at >= 25 && at < 30)
            powerballs.push_back({lines[i][1], lines[i][2], lines[i][3], lines[i][4]});
    }
    ASSERT_EQ(powerballs.size(), 60u);
    for (const Box& want : expected.powerballs) {
        const bool found = std::any_of(powerballs.begin(), powerballs.end(), [&](const Box& b) {
            return std::abs(b.x1 - want.x1) < 1e-3 && std::abs(b.y1 - want.y1) < 1e-3 &&
                   std::abs(b.x2 - want.x2) < 1e-3 && std::abs(b.y2 - want.y2) < 1e-3;
        });
        EXPECT_TRUE(found) << want.x1 << " " << want.y1;
    }

    // The PDF: every page dark in exactly these boxes.
    const auto pdf = lab.out() / "pw.pdf";
    const auto printed =
        lab.Run({"print", "--definition", "PW569", "--wheel", "PW569-sample.txt", "--pdf", pdf.string()});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.err.substr(0, printed.err.find('\n')), "Printing 60 Picks On 12 Playslips");
    std::string error;
    const auto pages = Rasterise(pdf, error);
    ASSERT_EQ(pages.size(), 12u) << error;
    for (std::size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(CheckPage(pages[i], expected.sheets[i]), "") << "sheet " << i + 1;

    // The test pattern: every box of both grids on every board (the main grid's 69, not the 70th
    // cell of its 10 x 7), and every quick-pick box.
    const auto pattern = lab.Run({"test-pattern", "--definition", "PW569", "--marks"});
    ASSERT_EQ(pattern.status, 0) << pattern.err;
    EXPECT_EQ(MarkLines(pattern.out).size(), 5u * 69 + 5 * 26 + 5);
}

// Match counts of a 5 + 2 play, worked out apart from the program.
std::pair<int, int> Tier(const std::vector<int>& play, const std::vector<int>& main, const std::vector<int>& second)
{
    int m = 0, j = 0;
    for (int k = 0; k < 5; ++k)
        m += std::count(main.begin(), main.end(), play[static_cast<std::size_t>(k)]);
    for (int k = 5; k < 7; ++k)
        j += std::count(second.begin(), second.end(), play[static_cast<std::size_t>(k)]);
    return {m, j};
}

TEST(SecondPoolCommand, AFivePlusTwoGameChecksByTiers)
{
    BM_NEEDS_PROGRAM();
    const Lab lab;
    const std::string wheelText = ReadBytes(lab.home() / "wheel/EM550-sample.txt");
    const auto plays = PlaysOf(wheelText);
    // A draw that hits the sample well: the first play's numbers, the second play's stars.
    const std::vector<int> main(plays[0].begin(), plays[0].begin() + 5);
    const std::vector<int> second(plays[1].begin() + 5, plays[1].end());
    std::string draw;
    for (int n : main)
        draw += std::to_string(n) + " ";
    draw += std::to_string(second[0]) + "," + std::to_string(second[1]);

    const auto r = lab.Run(
        {"check", "--definition", "EM550", "--wheel", "EM550-sample.txt", "--draw", draw, "--save", "{out}/s.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string head = "Lottery: EM550\nTicket File: EM550-sample.txt\nDraw:";
    for (int n : main)
        head += " " + std::to_string(n);
    head += " + " + std::to_string(second[0]) + " " + std::to_string(second[1]) +
            "\nChecking 20 Picks Against Above "
            "Draw Results\n\n";
    std::map<std::pair<int, int>, int> counts;
    const std::set<std::pair<int, int>> wins = {{5, 2}, {5, 1}, {5, 0}, {4, 2}, {4, 1}, {4, 0}, {3, 2},
                                                {3, 1}, {3, 0}, {2, 2}, {2, 1}, {2, 0}, {1, 2}};
    int line = 1, won = 0;
    for (const auto& play : plays) {
        ++line;  // the comment line comes first
        const auto t = Tier(play, main, second);
        ++counts[t];
        if (wins.contains(t)) {
            head += "Match-" + std::to_string(t.first) + "+" + std::to_string(t.second) + " For This Draw At Line " +
                    std::to_string(line) + "\n";
            ++won;
        }
    }
    ASSERT_GE(won, 1);
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    for (int m = 0; m <= 5; ++m)
        for (int j = 0; j <= 2; ++j) {
            const std::string tier = "\nMatch " + std::to_string(m) + "+" + std::to_string(j) + " - " +
                                     std::to_string(counts[{m, j}]) + " Expected is ";
            EXPECT_NE(r.out.find(tier), std::string::npos) << tier;
        }
    EXPECT_NE(r.out.find("\n\nTotal Plays - 20\nTotal Losses - " + std::to_string(20 - won) + "\nTotal Wins - " +
                         std::to_string(won) + "\n\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(ReadBytes(lab.out() / "s.txt"), CrLf(r.out));

    // A draw that cannot happen, a wheel of the wrong shape: one line, nothing on stdout.
    lab.Put("wheel/six.txt", "1 2 3 4 5 6\r\n");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } refused[] = {
        {{"--wheel", "EM550-sample.txt", "--draw", "1 2 3 4 5 6"},
         "--draw \"1 2 3 4 5 6\" holds 6 numbers; EM550 (5 from 50 and 2 from 12) needs 7: the 5 main numbers, then "
         "the 2 of the second pool"},
        {{"--wheel", "EM550-sample.txt", "--draw", "1 2 3 4 5 9 9"}, "--draw: second-pool number 9 is given twice"},
        {{"--wheel", "six.txt", "--draw", "1 2 3 4 5 6 7"},
         lab.Expand("{home}/wheel/six.txt: line 1 holds 6 numbers; a play of this game has 7")},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = {"check", "--definition", "EM550"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto bad = lab.Run(args);
        EXPECT_EQ(bad.status, 2);
        EXPECT_EQ(bad.out, "");
        EXPECT_EQ(bad.err, "brindlemark: " + c.message + "\n");
    }

    // Prizes with amounts: only those tiers win, and what they pay is summed.
    std::string marks = ReadBytes(lab.home() / "Defs/EM550.marks");
    lab.Put("Defs/EM550.marks", marks + "[Prizes]\r\n5+2=1000000\r\n0+0=0.50\r\n");
    const auto paid = lab.Run({"check", "--definition", "EM550", "--wheel", "EM550-sample.txt", "--draw", draw});
    ASSERT_EQ(paid.status, 0) << paid.err;
    const int zero = counts[{0, 0}], jackpots = counts[{5, 2}];
    char total[64];
    std::snprintf(total, sizeof total, "%.2f", 1000000.0 * jackpots + 0.5 * zero);
    EXPECT_NE(paid.out.find("Total Wins - " + std::to_string(zero + jackpots) + "\nTotal Won - " + total + "\n"),
              std::string::npos)
        << paid.out;
}

// A history of 5 + 2 draws, the stars found by their column headers: per draw the counts of an
// independent count, each tier a column.
TEST(SecondPoolCommand, AFivePlusTwoGameAgainstPastDraws)
{
    BM_NEEDS_PROGRAM();
    const Lab lab;
    const auto plays = PlaysOf(ReadBytes(lab.home() / "wheel/EM550-sample.txt"));
    const std::vector<std::pair<std::vector<int>, std::vector<int>>> draws = {
        {{plays[3].begin(), plays[3].begin() + 5}, {plays[3][5], plays[3][6]}},
        {{1, 2, 3, 4, 5}, {5, 12}},
        {{plays[7][0], plays[7][1], plays[9][2], plays[9][3], plays[11][4]}, {plays[7][5], plays[7][6]}},
    };
    std::string file = "Draw Date,Ball 1,Ball 2,Ball 3,Ball 4,Ball 5,Lucky Star 1,Lucky Star 2\r\n";
    std::string csv = "Date,Draw";
    for (int m = 0; m <= 5; ++m)
        for (int j = 0; j <= 2; ++j)
            csv += ",Match " + std::to_string(m) + "+" + std::to_string(j);
    csv += ",Wins\n";
    const std::set<std::pair<int, int>> wins = {{5, 2}, {5, 1}, {5, 0}, {4, 2}, {4, 1}, {4, 0}, {3, 2},
                                                {3, 1}, {3, 0}, {2, 2}, {2, 1}, {2, 0}, {1, 2}};
    std::map<std::pair<int, int>, int> total;
    int totalWins = 0, day = 1;
    for (const auto& [main, second] : draws) {
        const std::string date = "2024-01-0" + std::to_string(day++);
        file += date;
        std::string shown;
        for (int n : main) {
            file += "," + std::to_string(n);
            shown += (shown.empty() ? "" : " ") + std::to_string(n);
        }
        for (int n : second) {
            file += "," + std::to_string(n);
            shown += " +" + std::to_string(n);
        }
        file += "\r\n";
        std::map<std::pair<int, int>, int> counts;
        for (const auto& play : plays)
            ++counts[Tier(play, main, second)];
        csv += date + "," + shown;
        int won = 0;
        for (int m = 0; m <= 5; ++m)
            for (int j = 0; j <= 2; ++j) {
                csv += "," + std::to_string(counts[{m, j}]);
                total[{m, j}] += counts[{m, j}];
                won += wins.contains({m, j}) ? counts[{m, j}] : 0;
            }
        csv += "," + std::to_string(won) + "\n";
        totalWins += won;
    }
    csv += "Total,";
    for (int m = 0; m <= 5; ++m)
        for (int j = 0; j <= 2; ++j)
            csv += "," + std::to_string(total[{m, j}]);
    csv += "," + std::to_string(totalWins) + "\n";
    lab.Put("draws.csv", file);
    const auto r = lab.Run({"check", "--definition", "EM550", "--wheel", "EM550-sample.txt", "--draws",
                            "{home}/draws.csv", "--save", "{out}/h.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, csv);
    EXPECT_EQ(ReadBytes(lab.out() / "h.csv"), csv);
    EXPECT_TRUE(r.err.starts_with("Checked 20 plays against 3 draws in ")) << r.err;

    // A star given twice cannot be drawn: refused with its line, nothing written.
    lab.Put("bad.csv", "2024-01-02,1,2,3,4,5,7,7\r\n");
    const auto bad =
        lab.Run({"check", "--definition", "EM550", "--wheel", "EM550-sample.txt", "--draws", "{home}/bad.csv"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("bad.csv: line 1"), std::string::npos) << bad.err;
}

TEST(SecondPoolCommand, WheelsTakeTheirSecondNumbers)
{
    BM_NEEDS_PROGRAM();
    const Lab lab;
    lab.Put("design.txt", "1 2 3 4 5\n1 2 3 4 6\n1 2 3 5 6\n");
    const auto inTurn = lab.Run({"wheel", "apply", "--design", "{home}/design.txt", "--numbers", "10 20 30 40 50 7",
                                 "--definition", "EM550", "--second", "12 1 5"});
    ASSERT_EQ(inTurn.status, 0) << inTurn.err;
    EXPECT_EQ(inTurn.out, "10,20,30,40,50,1,12\r\n7,10,20,30,40,5,12\r\n7,10,20,30,50,1,5\r\n");
    const auto all = lab.Run({"wheel", "apply", "--design", "{home}/design.txt", "--numbers", "1 2 3 4 5 6",
                              "--definition", "PW569", "--second-all", "26 3", "--out", "{home}/wheel/pw.txt"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(ReadBytes(lab.home() / "wheel/pw.txt"),
              "1,2,3,4,5,26\r\n1,2,3,4,5,3\r\n1,2,3,4,6,26\r\n1,2,3,4,6,3\r\n1,2,3,5,6,26\r\n1,2,3,5,6,3\r\n");
    // What apply wrote prints: one powerball mark per play.
    const auto printed = lab.Run({"print", "--definition", "PW569", "--wheel", "pw.txt", "--marks"});
    ASSERT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(MarkLines(printed.out).size(), 6u * 7);

    const auto made = lab.Run({"wheel", "make", "--count", "7", "--if", "3", "--match", "3", "--seed", "1",
                               "--definition", "EM550", "--second", "1 2 3"});
    ASSERT_EQ(made.status, 0) << made.err;
    for (const auto& play : PlaysOf(made.out))
        EXPECT_EQ(play.size(), 7u);

    const auto analyzed = lab.Run({"wheel", "analyze", "--definition", "EM550", "--wheel", "EM550-sample.txt"});
    ASSERT_EQ(analyzed.status, 0) << analyzed.err;
    // 20 plays with stars 1..12 two at a time, in turn: each star in 3 or 4 plays.
    std::map<int, int> stars;
    for (const auto& play : PlaysOf(ReadBytes(lab.home() / "wheel/EM550-sample.txt")))
        for (std::size_t k = 5; k < 7; ++k)
            ++stars[play[k]];
    std::string table = "Second,Plays\n";
    for (const auto& [star, count] : stars)
        table += std::to_string(star) + "," + std::to_string(count) + "\n";
    EXPECT_TRUE(analyzed.out.starts_with("Plays,20\n")) << analyzed.out;
    EXPECT_TRUE(analyzed.out.ends_with(table)) << analyzed.out;
}

}  // namespace
