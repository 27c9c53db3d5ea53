#pragma once

#include <cstdint>
#include <string>

namespace bm {

// The separators of the user's number settings.
struct NumberSeparators {
    std::string group = ",";
    std::string decimal = ".";
};

// The number patterns of the checker texts.
enum class Pattern {
    Plain,             // 1234
    Grouped,           // "#,##0": 1,234; zero is "0"
    GroupedBlankZero,  // "#,###": 1,234; zero prints nothing
    Grouped3,          // "#,##0.000": 1,234.500
    Fixed3,            // "#0.000" and "###0.000": 1234.500
};

std::string FormatWhole(std::int64_t value, Pattern pattern, const NumberSeparators& separators);
// Three-decimal patterns round half away from zero on the value's decimal digits.
std::string FormatDecimal(double value, Pattern pattern, const NumberSeparators& separators);

// The separators a locale reports; a locale without grouping (C, POSIX) gets "," and ".", as an
// English setting would show.
NumberSeparators SeparatorsOf(const std::string& group, const std::string& decimal, bool localeGroups);

// The separators of the user's locale (the environment's LC_NUMERIC / LANG).
NumberSeparators UserNumberSeparators();

}  // namespace bm
