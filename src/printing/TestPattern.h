#pragma once

#include "paper/PrintSurface.h"
#include "slip/BoxGeometry.h"
#include "slip/MarkPlacement.h"
#include "slip/SlipDefinition.h"

namespace bm {

// Marks every box of one slip, in the print job's order, on the current sheet. A pool of 53
// leaves the last box of every panel empty (those slips have 53 numbers on a 6 x 9 grid).
// Every mark is sized as the marks file says; the second grid's boxes and the board boxes of every
// panel follow, then the extra marks, each once.
// Returns the number of marks drawn.
long long DrawTestPattern(const SlipDefinition& def, const BoxGeometry& geometry, PrintSurface& surface,
                          const PlacedMarks& marks = {});

}  // namespace bm
