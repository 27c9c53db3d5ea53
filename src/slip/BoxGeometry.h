#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "slip/SlipDefinition.h"

namespace bm {

struct BoxRect {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const BoxRect&) const = default;
};

// Game numbers are placed in at most this many rows and columns of a panel.
inline constexpr int kMaxNumberedRows = 10;
inline constexpr int kMaxNumberedColumns = 13;

// Difference between the numbers of neighbouring boxes in a row: 1 when the numbers run
// along the rows, RowsInPanel when they run down the columns, 0 when neither is recognised.
std::int16_t NumberStep(const SlipDefinition& def);

// Where every box of a slip lies, in millimetres from the top-left of the printable area,
// with the definition's offsets applied once. Positions are 32-bit floats reached by adding
// the pitches row by row and column by column, as a printer walking the grid would.
class BoxGeometry {
public:
    BoxGeometry(const SlipDefinition& def, float topOffset, float leftOffset);

    std::int16_t Step() const { return step_; }
    float FirstRowY() const { return firstRowY_; }
    float FirstBoxX() const { return firstBoxX_; }

    // Game number of the box in row r, column c (1-based); nothing outside 10 rows x 13 columns.
    std::optional<std::int16_t> BoxNumber(int r, int c) const;
    float MainPanelTop(int m) const;
    float PanelLeft(int p) const;
    float RowTop(int m, int r) const;
    float ColumnLeft(int p, int c) const;
    BoxRect Rect(int m, int r, int p, int c) const;
    // Every box of every panel, numbered or not, in the order the job walks them.
    std::vector<BoxRect> AllBoxes() const;
    // False for a box whose number lies beyond the pool (the 70th box of a 7 x 10 grid holding
    // 69 numbers): the slip has no such box, so it is neither drawn nor marked.
    bool OnSlip(int r, int c) const;
    // 1-based play (wheel-file order) that belongs in panel p of main panel m on slip s.
    std::int64_t PlayIndex(std::int64_t s, int m, int p) const;
    // Plays one slip takes: MainPanels x PanelsAcross horizontally, MainPanels vertically.
    int PlaysPerSlip() const;

private:
    SlipDefinition def_;
    float top_;
    std::int16_t step_;
    float firstRowY_, firstBoxX_;
};

// Why a definition cannot print plays, in words a user understands; nothing when it can.
// (The test pattern prints such definitions all the same.)
std::optional<std::string> PrintRefusal(const SlipDefinition& def);

}  // namespace bm
