// Pixel by pixel work on a device context's target, inside its clip.
#pragma once

#include <optional>

#include <cairo.h>

#include "gwes/gdi/draw_scope.h"

namespace tovarin::gwes {

// Writes the destination rectangle (logical coordinates) pixel by pixel inside the clip:
// `compute(x, y, destination)` gives the new pixel for logical (x, y), or none to leave it.
template <typename Compute>
void ForEachPixel(DrawScope& scope, const RECT& logical, Compute compute) {
    cairo_surface_t* surface = scope.surface();
    if (!surface) {
        return;
    }
    const POINT offset = scope.offset();
    Region area = scope.device_clip();
    RECT target = logical;
    OffsetRect(&target, offset.x, offset.y);
    area.Intersect(target);
    if (area.Empty()) {
        return;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (const RECT& rect : area.Rects()) {
        for (int y = rect.top; y < rect.bottom; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = rect.left; x < rect.right; ++x) {
                std::optional<uint32_t> pixel =
                    compute(x - offset.x, y - offset.y, row[x] & 0xFFFFFF);
                if (pixel) {
                    row[x] = *pixel;
                }
            }
        }
    }
    cairo_surface_mark_dirty(surface);
}

}  // namespace tovarin::gwes
