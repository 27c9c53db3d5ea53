#include "WheelReference.h"

#include <string>

namespace bmfuzz {

namespace {

std::vector<std::string_view> Split(std::string_view text, char at)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(at, start);
        if (end == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<std::string_view> Tokens(std::string_view field)
{
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < field.size()) {
        while (i < field.size() && (field[i] == ' ' || field[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < field.size() && field[i] != ' ' && field[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back(field.substr(start, i - start));
    }
    return tokens;
}

// [+-]?[0-9]+ within [min, max].
bool Number(std::string_view token, std::int64_t min, std::int64_t max, std::int64_t& value)
{
    bool negative = false;
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        token.remove_prefix(1);
    }
    if (token.empty())
        return false;
    __int128 v = 0;
    for (char c : token) {
        if (c < '0' || c > '9')
            return false;
        if (v < (static_cast<__int128>(1) << 80))
            v = v * 10 + (c - '0');
    }
    if (negative)
        v = -v;
    if (v < min || v > max)
        return false;
    value = static_cast<std::int64_t>(v);
    return true;
}

// The numbers of one line, or false at a fault.
bool Line(std::string_view line, std::int64_t min, std::int64_t max, std::vector<std::int64_t>& numbers)
{
    const auto fields = Split(line, ',');
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const auto tokens = Tokens(fields[f]);
        const bool last = f + 1 == fields.size();
        if (tokens.empty() && !(last && f > 0))  // only the field after a trailing comma may be empty
            return fields.size() == 1;
        for (auto token : tokens) {
            std::int64_t value = 0;
            if (!Number(token, min, max, value))
                return false;
            numbers.push_back(value);
        }
    }
    return true;
}

}  // namespace

ReferenceReading ReadWheelPlainly(std::string_view bytes, int numbersPerPlay, std::int64_t min, std::int64_t max)
{
    ReferenceReading out;
    if (bytes.size() >= 2 &&
        ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
        out.fault = true;
        return out;
    }
    // Text saved as UTF-16 or UTF-32 without a mark shows itself by the NULs of its first
    // character: "#\0\0\0" is a comment to nobody.
    if (bytes.size() >= 4) {
        const bool z0 = bytes[0] == '\0', z1 = bytes[1] == '\0', z2 = bytes[2] == '\0', z3 = bytes[3] == '\0';
        if ((!z0 && z1 && z2 && z3) || (z0 && z1 && z2 && !z3) || (!z0 && z1 && !z2 && z3) ||
            (z0 && !z1 && z2 && !z3)) {
            out.fault = true;
            return out;
        }
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.empty())
        return out;
    auto lines = Split(bytes, '\n');
    if (lines.back().empty())
        lines.pop_back();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const auto first = line.find_first_not_of(" \t");
        if (first != std::string_view::npos && line[first] == '#') {
            // A comment, unless a carriage return inside it would hide lines after it.
            if (line.find('\r') != std::string_view::npos) {
                out.fault = true;
                return out;
            }
            continue;
        }
        std::vector<std::int64_t> numbers;
        if (!Line(line, min, max, numbers)) {
            out.fault = true;
            return out;
        }
        if (numbers.empty())
            continue;
        if (static_cast<int>(numbers.size()) != numbersPerPlay) {
            out.fault = true;
            return out;
        }
        out.plays.push_back({std::move(numbers), static_cast<std::int64_t>(i + 1)});
    }
    return out;
}

}  // namespace bmfuzz
