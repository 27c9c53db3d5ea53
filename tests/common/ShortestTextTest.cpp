#include <gtest/gtest.h>

#include <cfloat>

#include "common/Numbers.h"

using namespace bm;

namespace {

// What the editor shows of a stored value must be accepted again when it is saved.
TEST(ShortestText, WritesLargeAndSmallValuesWithoutAnExponent)
{
    const struct {
        float value;
        const char* text;
    } cases[] = {
        {12345678.0f, "12345680"},
        {-25000000.0f, "-25000000"},
        {0.00005f, "0.00005"},
        {-0.000123456789f, "-0.0001234568"},
        {1e-10f, "0.0000000001"},
        {0.0001f, "0.0001"},
        {1234567.0f, "1234567"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortestText(c.value), c.text) << c.value;
}

TEST(ShortestText, ReadsBackAsTheSameSevenDigits)
{
    for (float v : {FLT_MAX, FLT_MIN, 9.999999e-5f, 1.5e7f, 123.456789f, -7.25e-9f}) {
        const std::string text = ShortestText(v);
        const auto back = ParseFloat(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(ShortestText(*back), text);
        EXPECT_NEAR(*back / v, 1.0f, 1e-6f) << text;
    }
}

}  // namespace
