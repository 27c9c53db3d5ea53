#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "checking/GameVariants.h"

namespace bm {

// The draw a run compares the plays with: the main numbers in box order and the extra number.
struct DrawResult {
    std::array<std::int32_t, kMaxMatches> main{};
    int mainCount = 0;
    std::int32_t extra = 0;  // bonus or powerball; meaningful only when the game has one
};

// A draw box's text as a whole number: blanks around it allowed, a decimal value rounded to the
// nearest whole number with halves to the even neighbour. Empty, non-numeric and out-of-range
// texts give nothing.
std::optional<std::int32_t> DrawNumber(std::string_view text);

// The outcome of reading the draw boxes: the draw, or the first box that is refused (1-based,
// as in txtN1) with the message to show.
struct DrawReading {
    DrawResult draw;
    int badBox = 0;
    std::string message;
    bool ok() const { return badBox == 0; }
};

// Reads the game's draw from the box texts (texts[0] is txtN1); boxes past the game's draw size
// are not read.
DrawReading ReadDraw(const CheckGame& game, std::span<const std::string> texts);

// How the message names box `box` of the game: "Drawn number 3", "The bonus number", ...
std::string DrawBoxName(const CheckGame& game, int box);

}  // namespace bm
