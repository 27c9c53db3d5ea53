#pragma once

#include <string>

#include "paper/PrintSurface.h"

namespace bm {

// Text drawn with filled boxes only, so every surface that prints marks prints it too (a printer,
// a PDF, the --marks lines): capital letters, digits and a little punctuation in a 5 x 7 grid;
// small letters print as capitals, anything else as "?". `height` is the capitals' height in mm,
// (x, y) their top-left corner. The boxes drawn; `width` gets the text's width.
long long DrawBlockText(PrintSurface& surface, float x, float y, float height, const std::string& text,
                        float* width = nullptr);
// The width DrawBlockText would take.
float BlockTextWidth(float height, const std::string& text);

}  // namespace bm
