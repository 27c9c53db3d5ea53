#include <gtest/gtest.h>

#include <cstdlib>

#include "checking/NumberPatterns.h"

namespace {

using bm::Pattern;

TEST(NumberPatterns, WholeNumbers)
{
    const struct {
        std::int64_t value;
        Pattern pattern;
        const char* english;
        const char* german;
    } cases[] = {
        {0, Pattern::Grouped, "0", "0"},   {999, Pattern::Grouped, "999", "999"},
        {-1234, Pattern::Grouped, "-1,234", "-1.234"}, {1234, Pattern::Grouped3, "1,234.000", "1.234,000"},
        {INT64_MIN, Pattern::Grouped, "-9,223,372,036,854,775,808", "-9.223.372.036.854.775.808"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bm::FormatWhole(c.value, c.pattern, {}), c.english) << c.value;
        EXPECT_EQ(bm::FormatWhole(c.value, c.pattern, {".", ","}), c.german) << c.value;
    }
}

TEST(NumberPatterns, ThreeDecimals)
{
    const struct {
        double value;
        Pattern pattern;
        const char* text;
    } cases[] = {
        {0.5, Pattern::Fixed3, "0.500"}, {0.0005, Pattern::Fixed3, "0.001"}, {0.00049, Pattern::Fixed3, "0.000"},
        {3600, Pattern::Fixed3, "3600.000"}, {999.9996, Pattern::Grouped3, "1,000.000"},
        {-1.25, Pattern::Fixed3, "-1.250"}, {-0.0001, Pattern::Fixed3, "0.000"},  // no "-0.000"
    };
    for (const auto& c : cases)
        EXPECT_EQ(bm::FormatDecimal(c.value, c.pattern, {}), c.text) << c.value;
    EXPECT_EQ(bm::FormatDecimal(1234.5, Pattern::Grouped3, {"'", "."}), "1'234.500");
}

// Without grouping the English separators show; a locale the system lacks falls back to them too.
TEST(NumberPatterns, SeparatorsOfTheLocale)
{
    const auto text = [](const bm::NumberSeparators& s) { return s.group + s.decimal; };
    EXPECT_EQ(bm::SeparatorsOf(".", ",", false).group, ",");
    EXPECT_EQ(text(bm::SeparatorsOf(".", ",", true)), ".,");
    const char* old = std::getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "no_such_LOCALE.ISO-8859-99", 1);
    EXPECT_EQ(text(bm::UserNumberSeparators()), ",.");
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
}

}  // namespace
