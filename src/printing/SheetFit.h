#pragma once

#include <optional>
#include <string>

#include "definitions/SlipDefinition.h"
#include "printing/BoxGeometry.h"

namespace bm {

// Why a definition with these offsets would print off its sheet (A4; landscape for a horizontal
// slip), naming the field and the figure; nothing when every box lands on the sheet. Counts
// beyond what one sheet can hold (more than a box per millimetre) are refused too, so a job never
// walks millions of boxes that cannot be printed.
struct SheetFault {
    std::string message;
    std::optional<Field> field;  // the entry to correct, when one field is to blame
};
std::optional<SheetFault> SheetRefusal(const SlipDefinition& def, float topOffset, float leftOffset);

// The sheet a rectangle placed on the definition's sheet (offsets included) falls off, in words
// ("the A4 sheet (landscape, 297 x 210 mm)"); nothing when it lies on it.
std::optional<std::string> OffSheet(const SlipDefinition& def, const BoxRect& box);

}  // namespace bm
