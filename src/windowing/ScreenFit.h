#pragma once

namespace bm {

// Window placement in logical pixels, free of any toolkit.
struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool operator==(const Box&) const = default;
};

// What a window frame adds around the window's inner area.
struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where a window of `wanted` inner size opens on a screen whose free area is `available`:
// as large as wanted but never larger than the area (frame included) nor smaller than
// `minWidth` x `minHeight`; centred on `centre` (the window it was opened from), else on the
// area, and moved wholly onto the area when it fits there.
Box FitOnScreen(const Box& available, int wantedWidth, int wantedHeight, int minWidth, int minHeight,
                const FrameMargins& frame, const Box* centre = nullptr);

// The smallest size every window must be able to take: a 1366x768 laptop less its panels, or a
// 2560x1440 screen at scale 2, leaves about this much.
inline constexpr int kSmallestWindowWidth = 1024;
inline constexpr int kSmallestWindowHeight = 700;

}  // namespace bm
