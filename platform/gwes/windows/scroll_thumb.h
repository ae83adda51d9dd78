// Where the thumb of a window's own vertical scroll bar lies: the stylus works it and the window's
// frame paints it from the same geometry.
#pragma once

#include <optional>

#include <windows.h>

#include "gwes/windows/window.h"

namespace tovarin::gwes {

inline constexpr int kSmallestThumb = 13;

// The bar and its thumb, all in screen coordinates.
struct ThumbGeometry {
    RECT bar;  // in screen coordinates
    int track_top = 0;
    int track_length = 0;
    int thumb_top = 0;
    int thumb_length = 0;
    int min = 0;
    int largest = 0;
};

// Kernel lock held. Nothing when the window shows no vertical scroll bar.
std::optional<ThumbGeometry> ThumbOf(const Window& window);

}  // namespace tovarin::gwes
