#include <gtest/gtest.h>

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

}  // namespace
