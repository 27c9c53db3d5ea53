#pragma once

#include <optional>
#include <string>

#include "paper/Calibration.h"
#include "paper/Paper.h"
#include "slip/BoxGeometry.h"
#include "slip/SlipDefinition.h"

namespace bm {

// Why a definition with these offsets would print off its sheet (the paper, landscape for a
// horizontal slip), naming the field, the figure and the paper; nothing when every box lands on
// the sheet, stretched by the printer's calibration where there is one. The slip's own width and
// height play no part: no mark is placed by them. Counts
// beyond what one sheet can hold (more than a box per millimetre) are refused too, so a job never
// walks millions of boxes that cannot be printed.
struct SheetFault {
    std::string message;
    std::optional<Field> field;  // the entry to correct, when one field is to blame
};
std::optional<SheetFault> SheetRefusal(const SlipDefinition& def, float topOffset, float leftOffset,
                                       const Paper& paper = A4Paper(), const Scale& scale = {});

// The sheet a rectangle placed on the definition's sheet (offsets included) falls off, in words
// ("the A4 sheet (landscape, 297 x 210 mm)"); nothing when it lies on it.
std::optional<std::string> OffSheet(const SlipDefinition& def, const BoxRect& box, const Paper& paper = A4Paper(),
                                    const Scale& scale = {});

}  // namespace bm
