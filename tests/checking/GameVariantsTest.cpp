#include <gtest/gtest.h>

#include <set>

#include "checking/GameVariants.h"

namespace {

TEST(GameVariants, CheckTicketsChoosesTheWindowByPickAndPowerball)
{
    struct Case {
        int pick;
        bool bBon;
        bool bPB;
        const char* window;  // nullptr: none opens
    };
    const Case cases[] = {
        {5, false, false, "frmChkwhl5"}, {5, true, false, "frmChkwhl5"}, {5, false, true, "frmChkwhlPB"},
        {5, true, true, "frmChkwhlPB"},  {6, false, false, "frmChkwhl"}, {6, true, true, "frmChkwhl"},
        {7, true, false, "frmChkwhl7"},  {7, false, true, "frmChkwhl7"}, {4, false, false, nullptr},
        {8, true, true, nullptr},        {0, false, false, nullptr},
    };
    for (const auto& c : cases) {
        const bm::GameFormat game{49, c.pick, c.bBon, c.bPB};
        const auto* v = bm::ChooseChecker(game);
        if (!c.window) {
            EXPECT_EQ(v, nullptr) << c.pick;
            continue;
        }
        ASSERT_NE(v, nullptr) << c.pick;
        EXPECT_STREQ(v->windowName, c.window) << c.pick;
    }
}

TEST(GameVariants, RowsCaptionsAndLabelsOfEveryWindow)
{
    struct Case {
        const char* window;
        std::vector<std::string> rows;  // count label: caption, in row order
    };
    const Case cases[] = {
        {"frmChkwhl",
         {"lblcnt0:Match 0", "lblcnt1:Match 1", "lblcnt2:Match 2", "lblcnt3:Match 3", "lblcnt4:Match 4",
          "lblcnt5:Match 5", "lblcnt5b:Match 5+", "lblcnt6:Jackpot!"}},
        {"frmChkwhl7",
         {"lblcnt0:Match 0", "lblcnt1:Match 1", "lblcnt2:Match 2", "lblcnt3:Match 3", "lblcnt3b:Match 3+",
          "lblcnt4:Match 4", "lblcnt5:Match 5", "lblcnt6:Match 6", "lblcnt6b:Match 6+", "lblcnt7:Jackpot!"}},
        {"frmChkwhl5",
         {"lblcnt0:Match 0", "lblcnt0b:Match 0+", "lblcnt1:Match 1", "lblcnt1b:Match 1+", "lblcnt2:Match 2",
          "lblcnt2b:Match 2+", "lblcnt3:Match 3", "lblcnt3b:Match 3+", "lblcnt4:Match 4", "lblcnt4b:Match 4+",
          "lblcnt5:Jackpot!"}},
        {"frmChkwhlPB",
         {"lblcnt0:Match 0", "lblcnt0b:Match 0+", "lblcnt1:Match 1", "lblcnt1b:Match 1+", "lblcnt2:Match 2",
          "lblcnt2b:Match 2+", "lblcnt3:Match 3", "lblcnt3b:Match 3+", "lblcnt4:Match 4", "lblcnt4b:Match 4+",
          "lblcnt5:Match 5", "lblcnt5b:Jackpot!"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows;
        std::set<std::string> names;
        for (const auto& t : bm::CheckerByName(c.window).AllRows().tiers) {
            rows.push_back(std::string(t.countLabel) + ":" + t.caption);
            names.insert(t.countLabel);
            names.insert(t.captionName);
        }
        EXPECT_EQ(rows, c.rows) << c.window;
        EXPECT_EQ(names.size(), 2 * rows.size()) << c.window << ": object names must be unique";
    }
    // The 6-number window's captions carry their own names; the five's "+" captions too.
    const auto& six = bm::CheckerByName("frmChkwhl").AllRows();
    EXPECT_STREQ(six.tiers[6].captionName, "Label7");
    EXPECT_STREQ(six.tiers[7].captionName, "Label8");
    EXPECT_STREQ(six.tiers[0].captionName, "Label1");
    const auto& five = bm::CheckerByName("frmChkwhl5").AllRows();
    EXPECT_STREQ(five.tiers[five.IndexOf("cnt4b")].captionName, "Label4b");
}

TEST(GameVariants, WithoutBonusRowsAreASubsetOfTheWindowsRows)
{
    for (const auto& v : bm::CheckerVariants()) {
        for (const auto& t : v.Game(false).tiers)
            EXPECT_GE(v.AllRows().IndexOf(t.counter), 0) << v.windowName << " " << t.counter;
    }
    EXPECT_EQ(bm::CheckerByName("frmChkwhl5").Game(false).tiers.size(), 6u);
    EXPECT_EQ(bm::CheckerByName("frmChkwhl").Game(false).tiers.size(), 7u);
}

}  // namespace
