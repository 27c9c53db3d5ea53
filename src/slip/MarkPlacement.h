#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "paper/Calibration.h"
#include "paper/Paper.h"
#include "paper/PrintSurface.h"
#include "slip/BoxGeometry.h"
#include "slip/SlipDefinition.h"
#include "slip/SlipDrawing.h"
#include "slip/SlipMarks.h"

namespace bm {

// A box's rectangle shrunk about its centre to the given percent of its width and height; a
// side at 100 percent is the box's own, to the bit.
BoxRect SizedMark(const BoxRect& box, int widthPercent, int heightPercent);

// Where an extra mark lies on the sheet, offsets applied as to the boxes.
BoxRect ExtraRect(const ExtraMark& extra, float topOffset, float leftOffset);

// The marks of a definition as a job draws them: the size of every number mark and the extra
// marks on the sheet, in file order; the second grid and the board boxes, placed per panel by
// the job's geometry.
struct PlacedMarks {
    int width = kFullMark, height = kFullMark;
    std::vector<BoxRect> extras;
    std::optional<SecondGrid> second;
    std::vector<BoardBox> board;

    BoxRect Sized(const BoxRect& box) const { return SizedMark(box, width, height); }
};
PlacedMarks PlaceMarks(const SlipMarks& marks, float topOffset, float leftOffset);

// The extra marks of one slip, after its number marks.
void DrawExtraMarks(const PlacedMarks& marks, PrintSurface& surface);

// Why an extra mark cannot be printed with this definition and these offsets: off the sheet (the
// same sheet check as the boxes, the position quoted as it would print), or over the mark of a
// number box as it prints (the box reduced to the mark's width and height percentages), which
// would read as a number played.
std::optional<std::string> ExtraRefusal(const SlipDefinition& def, const ExtraMark& extra, float topOffset,
                                        float leftOffset, const Paper& paper = A4Paper(), const Scale& scale = {},
                                        int markWidth = kFullMark, int markHeight = kFullMark);

// The definition's marks file read afresh and checked against the definition with the offsets;
// a refusal names the marks file and the line of the extra mark at fault.
Result<SlipMarks> ReadMarksFor(const std::filesystem::path& definitionFile, const SlipDefinition& def, float topOffset,
                               float leftOffset, const Paper& paper = A4Paper(), const Scale& scale = {});

// A drawing's extra marks with their names, offsets applied; `markedExtra` is the one being edited.
void AddExtrasToDrawing(SlipDrawing& drawing, const SlipMarks& marks, float top, float left, int markedExtra = -1);

// The game a definition plays with its marks: the second pool of [Second], when there is one.
GameFormat GameOf(const SlipDefinition& def, const SlipMarks& marks);

// The box of the second grid in row `row`, column `column` (0-based) of panel p in main panel m,
// as measured; the geometry's offsets apply.
BoxRect SecondBoxAt(const BoxGeometry& g, const SecondGrid& grid, int m, int p, int row, int column);
// The box of second-pool number n (1 to the grid's pool).
BoxRect SecondBox(const BoxGeometry& g, const SecondGrid& grid, int m, int p, int n);
// A board box of panel p in main panel m.
BoxRect BoardRect(const BoxGeometry& g, const BoardBox& box, int m, int p);

// Why the second grid or a board box cannot print with this definition: off the sheet (offsets
// included), over a number box of any panel, over another panel's second grid, or over another
// board box, judged on the marks as they print (the second grid's sized as the number marks).
// `line` gets the line of the marks file at fault.
std::optional<std::string> PanelMarksRefusal(const SlipDefinition& def, const SlipMarks& marks, float topOffset,
                                             float leftOffset, int& line, const Paper& paper = A4Paper(),
                                             const Scale& scale = {});

// The second-pool numbers of a play that cannot go on the slip: out of 1 to the pool, or given twice.
std::optional<std::string> SecondNumbersFault(const SecondGrid& grid, const std::int32_t* first,
                                              const std::int32_t* last);

// The second grid and board boxes of every panel, named, for a drawing.
void AddPanelMarksToDrawing(SlipDrawing& drawing, const SlipDefinition& def, const SlipMarks& marks, float top,
                            float left);

// The sized mark in every box of the first panel: how a mark sits in its box, drawn by the editor.
std::vector<BoxRect> SampleMarks(const SlipDefinition& def, const SlipMarks& marks);

}  // namespace bm
