#include "common/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bm {

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

namespace {

// The digits and point of a plain decimal ("12.5", "-1.5", "+2", ".5") without its sign and the
// blanks around it. Only digits and one point: from_chars alone would also take "inf", "nan"
// and exponents.
std::optional<std::string_view> UnsignedPart(std::string_view text, bool& negative)
{
    text = TrimBlanks(text);
    negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool digit = false;
    int points = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (!digit || points > 1)
        return std::nullopt;
    return text;
}

template <typename T>
std::optional<T> ParseDecimal(std::string_view text)
{
    bool negative = false;
    const auto part = UnsignedPart(text, negative);
    if (!part)
        return std::nullopt;
    T value = 0;
    const auto [end, ec] = std::from_chars(part->data(), part->data() + part->size(), value);
    if (ec != std::errc() || end != part->data() + part->size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

bool CouldBecomeDecimal(std::string_view text)
{
    bool negative = false;
    // A digit appended makes every beginning of a number whole: "-" to "-1", "." to ".1".
    return UnsignedPart(std::string(TrimBlanks(text)) + "1", negative).has_value();
}

bool IsPlainDecimal(std::string_view text)
{
    bool negative = false;
    return UnsignedPart(text, negative).has_value();
}

std::optional<float> ParseFloat(std::string_view text)
{
    return ParseDecimal<float>(text);
}

std::optional<double> ParseDouble(std::string_view text)
{
    return ParseDecimal<double>(text);
}

std::optional<std::int64_t> ParseWhole(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::string ShortestText(float value)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.7g", static_cast<double>(value));
    if (!std::strchr(buf, 'e') || !std::isfinite(value))
        return buf;
    // Very large and very small values would come out as "1.5e-05", which ParseFloat (and so
    // the editor's own save) refuses: write the same seven digits without an exponent.
    std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(value));
    const std::string text = buf;
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    const bool negative = text.front() == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int point = exponent + 1;  // digits before the point
    std::string out;
    if (point <= 0)
        out = "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    else if (point >= static_cast<int>(digits.size()))
        out = digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    else
        out = digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    return negative ? "-" + out : out;
}

}  // namespace bm
