#include <gtest/gtest.h>

#include <cfloat>

#include "common/Numbers.h"
#include "common/Version.h"

using namespace bm;

namespace {

TEST(Numbers, ParsesDecimalAndWholeTextsOnly)
{
    EXPECT_FLOAT_EQ(*ParseFloat(" 12.50 "), 12.5f);
    EXPECT_FLOAT_EQ(*ParseFloat("+.5"), 0.5f);
    for (const char* bad : {"", ".", "-", "1,5", "1.2.3", "1e5", "inf", "nan", "0x10", "1 2", "--1"})
        EXPECT_FALSE(ParseFloat(bad).has_value()) << bad;
    EXPECT_FALSE(ParseFloat(std::string(60, '9')).has_value());  // beyond a float
    EXPECT_EQ(*ParseWhole(" -7 "), -7);
    EXPECT_FALSE(ParseWhole("7.0").has_value());
}

// What an offset box lets through while it is typed: every beginning of a number, nothing else.
TEST(Numbers, OnlyBeginningsOfNumbersCouldBecomeOne)
{
    for (const char* may : {"", " ", "-", "+", ".", "-.", "2.", "-1.5", " 3 ", "007"})
        EXPECT_TRUE(CouldBecomeDecimal(may)) << '"' << may << '"';
    for (const char* never : {"hepv", "1,5", "1.2.3", "--1", "1-", "1e", "1 2", "inf", "\"", "0x1", "+-"})
        EXPECT_FALSE(CouldBecomeDecimal(never)) << '"' << never << '"';
}

// What the editor shows of a stored value must be accepted again when it is saved.
TEST(Numbers, ShortestTextHasNoExponentAndReadsBackAsTheSameSevenDigits)
{
    const std::pair<float, const char*> cases[] = {
        {12.5f, "12.5"},
        {3.0f, "3"},
        {4.2f, "4.2"},
        {12345678.0f, "12345680"},
        {-0.000123456789f, "-0.0001234568"},
        {1e-10f, "0.0000000001"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(ShortestText(value), text) << value;
    for (float v : {FLT_MAX, FLT_MIN, 9.999999e-5f, 123.456789f}) {
        const auto back = ParseFloat(ShortestText(v));
        ASSERT_TRUE(back.has_value()) << ShortestText(v);
        EXPECT_EQ(ShortestText(*back), ShortestText(v));
        EXPECT_NEAR(*back / v, 1.0f, 1e-6f) << ShortestText(v);
    }
}

TEST(Version, TitleJoinsMinorAndRevision)
{
    EXPECT_EQ(VersionText({1, 0, 502}) + " " + MainTitle({1, 0, 502}), "1.0.502 Brindlemark 1.0502");
}

}  // namespace
