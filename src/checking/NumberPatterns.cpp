#include "checking/NumberPatterns.h"

#include <cmath>
#include <cstdlib>
#include <locale>

namespace bm {

namespace {

std::string Grouped(std::uint64_t magnitude, const std::string& group)
{
    std::string digits = std::to_string(magnitude);
    std::string out;
    out.reserve(digits.size() + digits.size() / 3 * group.size());
    const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
    out.append(digits, 0, lead);
    for (std::size_t i = lead; i < digits.size(); i += 3) {
        out += group;
        out.append(digits, i, 3);
    }
    return out;
}

std::uint64_t Magnitude(std::int64_t value)
{
    // Negating INT64_MIN would overflow; unsigned arithmetic does not.
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

}  // namespace

std::string FormatWhole(std::int64_t value, Pattern pattern, const NumberSeparators& separators)
{
    switch (pattern) {
    case Pattern::Plain: return std::to_string(value);
    case Pattern::GroupedBlankZero:
        if (value == 0)
            return {};
        [[fallthrough]];
    case Pattern::Grouped: return (value < 0 ? "-" : "") + Grouped(Magnitude(value), separators.group);
    case Pattern::Grouped3:
    case Pattern::Fixed3: return FormatDecimal(static_cast<double>(value), pattern, separators);
    }
    return {};
}

std::string FormatDecimal(double value, Pattern pattern, const NumberSeparators& separators)
{
    if (pattern != Pattern::Grouped3 && pattern != Pattern::Fixed3)
        return FormatWhole(static_cast<std::int64_t>(std::round(value)), pattern, separators);
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Infinity" : "Infinity");
    const double thousandths = std::round(std::fabs(value) * 1000.0);
    const auto scaled = static_cast<std::uint64_t>(thousandths);
    const std::uint64_t whole = scaled / 1000;
    const auto fraction = static_cast<unsigned>(scaled % 1000);
    std::string out = value < 0 && scaled != 0 ? "-" : "";
    out += pattern == Pattern::Grouped3 ? Grouped(whole, separators.group) : std::to_string(whole);
    out += separators.decimal;
    const char digits[] = {static_cast<char>('0' + fraction / 100), static_cast<char>('0' + fraction / 10 % 10),
                           static_cast<char>('0' + fraction % 10)};
    out.append(digits, 3);
    return out;
}

NumberSeparators SeparatorsOf(const std::string& group, const std::string& decimal, bool localeGroups)
{
    if (!localeGroups || group.empty() || decimal.empty())
        return {};
    return {group, decimal};
}

NumberSeparators UserNumberSeparators()
{
    try {
        const std::locale user("");
        const auto& punct = std::use_facet<std::numpunct<char>>(user);
        const auto byte = [](char c) {
            // A separator that is not one byte (a narrow no-break space) comes through as a
            // fragment of its UTF-8 form; a plain blank shows the same grouping.
            return static_cast<unsigned char>(c) >= 0x80 ? std::string(" ") : std::string(1, c);
        };
        const std::string group = punct.thousands_sep() == '\0' ? std::string() : byte(punct.thousands_sep());
        return SeparatorsOf(group, byte(punct.decimal_point()), !punct.grouping().empty());
    } catch (const std::exception&) {
        // An environment naming a locale this system does not have.
        return {};
    }
}

}  // namespace bm
