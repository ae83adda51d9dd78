#include "gwes/windows/scroll_thumb.h"

#include <algorithm>

#include "gwes/windows/geometry.h"

namespace tovarin::gwes {

std::optional<ThumbGeometry> ThumbOf(const Window& window) {
    RECT in_window = VerticalScrollBarInWindow(window);
    if (IsRectEmpty(&in_window)) {
        return std::nullopt;
    }
    RECT frame = WindowRectOnScreen(window);
    ThumbGeometry geometry;
    geometry.bar = in_window;
    OffsetRect(&geometry.bar, frame.left, frame.top);
    const ScrollBarState& bar = window.scroll[SB_VERT];
    const int height = geometry.bar.bottom - geometry.bar.top;
    geometry.track_top = geometry.bar.top + kScrollBarSize;
    geometry.track_length = std::max(0, height - 2 * kScrollBarSize);
    const int range = bar.max - bar.min + 1;
    geometry.thumb_length =
        bar.page ? std::max(kSmallestThumb, static_cast<int>(int64_t{geometry.track_length} *
                                                             bar.page / std::max(range, 1)))
                 : kScrollBarSize;
    geometry.thumb_length = std::min(geometry.thumb_length, geometry.track_length);
    geometry.min = bar.min;
    geometry.largest =
        bar.page ? std::max(bar.min, bar.max - static_cast<int>(bar.page) + 1) : bar.max;
    const int span = geometry.largest - geometry.min;
    const int travel = geometry.track_length - geometry.thumb_length;
    geometry.thumb_top =
        geometry.track_top +
        (span > 0 ? static_cast<int>(int64_t{bar.pos - bar.min} * travel / span) : 0);
    return geometry;
}

}  // namespace tovarin::gwes
