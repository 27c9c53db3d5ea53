#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/Result.h"

namespace bm {

// The mark's size in percent of its box, each way: 100 fills the box edge to edge.
inline constexpr int kFullMark = 100;
inline constexpr int kSmallestMark = 10;
// More would be no slip anyone fills by hand; it also keeps the overlap check small.
inline constexpr int kMaxExtraMarks = 100;
// Longer than any paper a slip printer takes; positions and sizes beyond it are typing slips.
inline constexpr float kMaxExtraMm = 1000;
// The narrowest and lowest extra mark: a printer's dot or two; anything thinner would not print.
inline constexpr float kSmallestExtraMm = 0.1f;

// A box marked on every slip played (number of draws, draw days, an add-on game), measured like
// the definition: from the slip's top-left edge, in millimetres, before offsets.
struct ExtraMark {
    std::string name;
    float left = 0, top = 0, width = 0, height = 0;
    int line = 0;  // its line in the marks file; 0 when it was not read from one

    bool operator==(const ExtraMark& o) const
    {
        return name == o.name && left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// Bounds of the second pool's grid as the file may give it.
inline constexpr int kSmallestSecondPool = 2;
inline constexpr int kLargestSecondPool = 99;
inline constexpr int kMostSecondPicks = 2;
inline constexpr int kMaxBoardBoxes = 20;

// The grid of a game's second pool (powerball, stars), repeated on every panel: measured from the
// panel's first number box (row 1, column 1, offsets included), so it moves with the panel.
// Number n lies in row (n-1) div columns, column (n-1) mod columns.
struct SecondGrid {
    int pool = 0;  // the second pool runs 1..pool
    int pick = 0;  // second-pool numbers per play
    float left = 0, top = 0;
    int columns = 0;
    float width = 0, height = 0;
    float across = 0, down = 0;  // pitch from one box to the next, and from one row to the next
    int line = 0;                // the [Second] line in the marks file; 0 when not read from one

    int Rows() const { return columns > 0 ? (pool + columns - 1) / columns : 0; }
    bool operator==(const SecondGrid& o) const
    {
        return pool == o.pool && pick == o.pick && left == o.left && top == o.top && columns == o.columns &&
               width == o.width && height == o.height && across == o.across && down == o.down;
    }
};

// A box marked on every panel that holds a play (a panel's quick-pick or add-on box), measured
// like the second grid from the panel's first number box.
struct BoardBox {
    std::string name;
    float left = 0, top = 0, width = 0, height = 0;
    int line = 0;

    bool operator==(const BoardBox& o) const
    {
        return name == o.name && left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// A winning tier of a two-pool game from [Prizes]: "5+2=" with an optional amount, kept as typed.
struct PrizeTier {
    int main = 0, second = 0;
    std::string amount;  // empty when none is given
    int line = 0;

    bool operator==(const PrizeTier& o) const { return main == o.main && second == o.second && amount == o.amount; }
};

// What a definition's marks file holds. The default is what a definition without one prints.
struct SlipMarks {
    SlipMarks() = default;
    SlipMarks(int w, int h, std::vector<ExtraMark> e = {}, std::optional<SecondGrid> s = {},
              std::vector<BoardBox> b = {}, std::optional<std::vector<PrizeTier>> p = {})
        : width(w),
          height(h),
          extras(std::move(e)),
          second(s),
          board(std::move(b)),
          prizes(std::move(p))
    {}

    int width = kFullMark, height = kFullMark;
    std::vector<ExtraMark> extras;
    std::optional<SecondGrid> second;
    std::vector<BoardBox> board;
    std::optional<std::vector<PrizeTier>> prizes;  // which tiers win; none: the default tiers

    bool IsDefault() const
    {
        return width == kFullMark && height == kFullMark && extras.empty() && !second && board.empty() && !prizes;
    }
    bool operator==(const SlipMarks&) const = default;
};

// The bytes of a marks file, as the reader takes them: a regular file of at most 64 KiB, opened
// without waiting; anything else is refused naming the file.
Result<std::string> ReadMarksFileBytes(const std::filesystem::path& file);

// NAME.marks beside NAME.def.
std::filesystem::path MarksFileOf(const std::filesystem::path& definitionFile);

// The marks file read line by line; no file gives the default. Anything the format does not hold
// (an unknown section or key, a value out of range, a size of 0, a name twice), and anything that
// is no small text file (a FIFO, a device, a folder, a huge or binary file), is refused with the
// file, the line and what is wrong.
Result<SlipMarks> ReadSlipMarks(const std::filesystem::path& file);

// The same over the file's bytes; `file` names it in the messages.
Result<SlipMarks> ParseSlipMarks(const std::string& bytes, const std::filesystem::path& file);

// Why an extra mark's name cannot stand in the file; nothing when it can.
std::optional<std::string> ExtraNameFault(const std::string& name);

// The file's bytes: CR LF lines, [Mark] with both sizes, then [Extra] in the given order, then
// [Second] and [Board] when the marks have them.
std::string SlipMarksText(const SlipMarks& marks);

// Written atomically, replacing the file.
Status WriteSlipMarks(const std::filesystem::path& file, const SlipMarks& marks);

}  // namespace bm
