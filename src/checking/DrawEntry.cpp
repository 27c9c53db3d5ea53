#include "checking/DrawEntry.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "common/Numbers.h"

namespace bm {

namespace {

// The digits and point of a decimal number without its sign and blanks, or nothing when the text
// is not one: from_chars alone would also take exponents, "inf" and "nan".
std::optional<std::string_view> DecimalPart(std::string_view text, bool& negative)
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

}  // namespace

std::optional<std::int32_t> DrawNumber(std::string_view box)
{
    bool negative = false;
    const auto part = DecimalPart(box, negative);
    if (!part)
        return std::nullopt;
    const std::string_view text = *part;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double whole = std::nearbyint(negative ? -value : value);
    if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

std::string DrawBoxName(const CheckGame& game, int box)
{
    if (box > game.mainDrawn) {
        if (game.extra == ExtraNumber::Powerball)
            return "The powerball number (box " + std::to_string(box) + ")";
        return "The bonus number (box " + std::to_string(box) + ")";
    }
    return "Drawn number " + std::to_string(box);
}

DrawReading ReadDraw(const CheckGame& game, std::span<const std::string> texts)
{
    DrawReading reading;
    const int size = game.DrawSize();
    for (int box = 1; box <= size; ++box) {
        const std::string text = box <= static_cast<int>(texts.size()) ? texts[box - 1] : std::string();
        const auto number = DrawNumber(text);
        if (!number) {
            reading.badBox = box;
            const std::string name = DrawBoxName(game, box);
            if (TrimBlanks(text).empty())
                reading.message = name + " is empty. Type the number that was drawn.";
            else if (bool negative = false; DecimalPart(text, negative))  // however many digits it has
                reading.message = name + " \"" + text + "\" is too large for a drawn number.";
            else
                reading.message = name + " \"" + text + "\" is not a number.";
            return reading;
        }
        if (box <= game.mainDrawn)
            reading.draw.main[box - 1] = *number;
        else
            reading.draw.extra = *number;
    }
    reading.draw.mainCount = game.mainDrawn;
    return reading;
}

}  // namespace bm
