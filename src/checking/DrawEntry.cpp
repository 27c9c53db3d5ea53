#include "checking/DrawEntry.h"

#include <cmath>
#include <limits>

#include "common/Numbers.h"

namespace bm {

std::optional<std::int32_t> DrawNumber(std::string_view box)
{
    const auto value = ParseDouble(box);
    if (!value)
        return std::nullopt;
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const double whole = std::nearbyint(*value);
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
            else if (IsPlainDecimal(text))  // however many digits it has
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
