#include "cli/MarksSurface.h"

#include <cstdio>

namespace bm::cli {

void MarksSurface::FillBox(float x1, float y1, float x2, float y2)
{
    counter_.Draw();
    char line[160];
    const int n = std::snprintf(line, sizeof line, "%d %.3f %.3f %.3f %.3f\n", counter_.sheet(),
                                static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
                                static_cast<double>(y2));
    out_.write(line, n < static_cast<int>(sizeof line) ? n : static_cast<int>(sizeof line) - 1);
}

Status MarksSurface::EndDocument()
{
    out_.flush();
    if (!out_)
        return Error{"the marks could not be written to standard output"};
    return Ok{};
}

}  // namespace bm::cli
