#include "windowing/ScreenFit.h"

#include <algorithm>

namespace bm {

Box FitOnScreen(const Box& available, int wantedWidth, int wantedHeight, int minWidth, int minHeight,
                const FrameMargins& frame, const Box* centre)
{
    const int roomWidth = available.width - frame.left - frame.right;
    const int roomHeight = available.height - frame.top - frame.bottom;
    Box inner;
    inner.width = std::max(minWidth, std::min(wantedWidth, roomWidth));
    inner.height = std::max(minHeight, std::min(wantedHeight, roomHeight));
    const int outerWidth = inner.width + frame.left + frame.right;
    const int outerHeight = inner.height + frame.top + frame.bottom;
    const Box& around = centre ? *centre : available;
    int x = around.x + (around.width - outerWidth) / 2;
    int y = around.y + (around.height - outerHeight) / 2;
    // Onto the area; a window larger than the area keeps its top-left corner (and title bar) on it.
    x = std::max(available.x, std::min(x, available.right() - outerWidth));
    y = std::max(available.y, std::min(y, available.bottom() - outerHeight));
    inner.x = x + frame.left;
    inner.y = y + frame.top;
    return inner;
}

}  // namespace bm
