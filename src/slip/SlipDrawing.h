#pragma once

#include <optional>
#include <string>
#include <vector>

#include "slip/BoxGeometry.h"
#include "slip/SlipDefinition.h"

namespace bm {

// A number written beside a box: left of the first box of a panel, right of its last.
struct BoxLabel {
    BoxRect box;
    std::string text;
    bool first = true;
};

// A measurement drawn as a line with arrows between two points, and what it measures.
struct Dimension {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string text;
};

// A slip as the job places it on its sheet, in millimetres from the printable corner: the
// slip's edge, every box of every panel, the first and last number of each panel, and the marks
// of one of its slips when it is a preview. Windows only paint it.
struct SlipDrawing {
    float sheetWidth = 297, sheetHeight = 210;  // A4, landscape for a horizontal definition
    BoxRect slip;
    std::vector<BoxRect> boxes;
    std::vector<BoxLabel> labels;
    std::vector<BoxRect> marks;
    std::optional<Dimension> dimension;
    // Extra marks with their names, in a colour of their own; the one being edited is marked.
    std::vector<BoxLabel> extras;
    int markedExtra = -1;
};

SlipDrawing DrawingOf(const SlipDefinition& def, float top = 0, float left = 0);

// The measurement a field of the definition gives, drawn where it lies on the slip; nothing for
// a count, or for a gap between panels or rows that the slip does not have.
std::optional<Dimension> DimensionOf(Field field, const SlipDefinition& def, float top = 0, float left = 0);

}  // namespace bm
