#include <gtest/gtest.h>

#include <set>

#include "checking/GameVariants.h"

namespace {

TEST(GameVariants, CheckTicketsChoosesTheWindowByPickAndPowerball)
{
    const struct {
        int pick;
        bool bBon, bPB;
        const char* window;  // "": none opens
    } cases[] = {
        {5, true, false, "frmChkwhl5"}, {5, true, true, "frmChkwhlPB"}, {6, true, true, "frmChkwhl"},
        {7, false, true, "frmChkwhl7"}, {4, false, false, ""},          {8, true, true, ""},
    };
    for (const auto& c : cases) {
        const auto* v = bm::ChooseChecker({49, c.pick, c.bBon, c.bPB});
        EXPECT_STREQ(v ? v->windowName : "", c.window) << c.pick << c.bBon << c.bPB;
    }
}

// The window shows every tier of both its games, each row under names of its own: a shared name
// would leave one count never shown.
TEST(GameVariants, EveryTierHasARowWithUniqueNames)
{
    for (const auto& v : bm::CheckerVariants()) {
        std::set<std::string> names;
        for (const auto& t : v.AllRows().tiers)
            names.insert({t.countLabel, t.captionName});
        EXPECT_EQ(names.size(), 2 * v.AllRows().tiers.size()) << v.windowName;
        for (const auto& t : v.Game(false).tiers)
            EXPECT_GE(v.AllRows().IndexOf(t.counter), 0) << v.windowName << " " << t.counter;
    }
}

}  // namespace
