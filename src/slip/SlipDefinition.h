#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bm {

// The game a definition is for: decides the numbers per play and the checker.
struct GameFormat {
    int Pool = 0;
    int Pick = 0;
    bool bBon = false;
    bool bPB = false;
    // A second pool of its own (powerball, stars), from the marks file's [Second]; 0 when none.
    int secondPool = 0;
    int secondPick = 0;

    // Numbers on one line of a wheel file: a powerball play carries its powerball sixth, a play
    // of a second pool its second numbers after the main ones.
    int NumbersPerPlay() const { return secondPick > 0 ? Pick + secondPick : Pick == 5 && bPB ? 6 : Pick; }
    bool HasSecondPool() const { return secondPick > 0; }
    // Numbers of a play that are marked on a slip.
    int NumbersMarked() const { return Pick; }
};

// One slip layout as read from a definition file, fields in file order.
struct SlipDefinition {
    int Pool = 0;
    int Pick = 0;
    int TotalPanels = 0;
    float SlipWidth = 0;
    float SlipHeight = 0;
    float TopToFirstRow = 0;
    int MainPanels = 0;
    int RowsInPanel = 0;
    int PanelsAcross = 0;
    float LeftIndent = 0;
    int ColumnsInPanel = 0;
    float BoxWidth = 0;
    float BoxHeight = 0;
    float HorizontalPanelGap = 0;
    float VerticalRowGap = 0;
    float VerticalPanelGap = 0;
    float HorizontalBoxShift = 0;
    std::vector<std::int16_t> RowFirstNumber;  // one per row, row 1 first
    bool bBon = false;
    bool bPB = false;
    bool Horizontal = true;

    GameFormat Game() const { return {Pool, Pick, bBon, bPB}; }
};

// Fields 1 to 17 of the file, in file order; the editor's txtM 0 to 16 follow the same order.
enum class Field : int {
    Pool,
    Pick,
    TotalPanels,
    SlipWidth,
    SlipHeight,
    TopToFirstRow,
    MainPanels,
    RowsInPanel,
    PanelsAcross,
    LeftIndent,
    ColumnsInPanel,
    BoxWidth,
    BoxHeight,
    HorizontalPanelGap,
    VerticalRowGap,
    VerticalPanelGap,
    HorizontalBoxShift
};
inline constexpr int kFieldCount = 17;
inline constexpr int kMaxRowFields = 12;

// The editor's label of a field ("Pool", "Number Box Width", ...), used in messages.
const char* FieldLabel(Field f);
// True for the fields that hold counts and must be whole numbers.
bool IsWholeField(Field f);

}  // namespace bm
