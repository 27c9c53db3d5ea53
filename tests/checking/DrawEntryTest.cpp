#include <gtest/gtest.h>

#include "checking/DrawEntry.h"

namespace {

TEST(DrawEntry, BoxTextsAsWholeNumbers)
{
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"\t+12 ", 12}, {"-4", -4}, {".6", 1}, {"12.5", 12}, {"13.5", 14},  // halves go to the even neighbour
        {"2147483647", 2147483647}, {"-2147483648", -2147483648LL}, {"2147483648", std::nullopt},
        {"", std::nullopt}, {"1,5", std::nullopt}, {"1e3", std::nullopt}, {"inf", std::nullopt}, {"4 5", std::nullopt},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(bm::DrawNumber(text), value) << '"' << text << '"';
}

// Boxes a game does not use are never read.
TEST(DrawEntry, RefusalNamesTheBox)
{
    const struct {
        const char* window;
        bool bBon;
        std::vector<std::string> texts;
        int box;
        const char* message;
    } cases[] = {
        {"frmChkwhl", true, {"1", "2", "", "4", "5", "6", "7"}, 3, "Drawn number 3 is empty. Type the number that was drawn."},
        {"frmChkwhl", true, {"1", "2", "3", "4", "5", "6", "x"}, 7, "The bonus number (box 7) \"x\" is not a number."},
        {"frmChkwhl", false, {"1", "2", "3", "4", "5", "6", "x"}, 0, ""},
        {"frmChkwhlPB", false, {"1", "2", "3", "4", "5", " "}, 6, "The powerball number (box 6) is empty. Type the number that was drawn."},
        {"frmChkwhl7", true, {"1", "99999999999", "3"}, 2, "Drawn number 2 \"99999999999\" is too large for a drawn number."},
        {"frmChkwhl5", true, {"1", "2", "3", "4", "5"}, 6, "The bonus number (box 6) is empty. Type the number that was drawn."},
        // Beyond a float too: found by fuzzing, once said "is not a number".
        {"frmChkwhl", false, {"1", "2", "3", "-999999999999999999999999999999999999999999.5", "5", "6"}, 4,
         "Drawn number 4 \"-999999999999999999999999999999999999999999.5\" is too large for a drawn number."},
    };
    for (const auto& c : cases) {
        const auto r = bm::ReadDraw(bm::CheckerByName(c.window).Game(c.bBon), c.texts);
        EXPECT_EQ(std::to_string(r.badBox) + " " + r.message, std::to_string(c.box) + " " + c.message) << c.window;
    }
}

}  // namespace
