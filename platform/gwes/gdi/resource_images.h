// Bitmaps and icons loaded from a module's resources (LoadBitmapW, LoadIconW, LoadImageW).
// Bitmaps are drawing objects (gdi/bitmaps.h); icons are kept here.
//
// A loaded image keeps its size, colour depth and the resource's bytes (a device-independent
// bitmap: BITMAPINFOHEADER, colour table, pixels; an icon adds its mask), which the drawing layer
// paints from. Handles are values from 0x20000000 on, apart from every other kind of handle.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include <windows.h>

namespace tovarin::gwes {

struct LoadedImage {
    UINT type = IMAGE_BITMAP;  // IMAGE_BITMAP or IMAGE_ICON
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    std::span<const std::byte> dib;  // in the module's resources; empty for system icons
};

std::optional<LoadedImage> ImageOf(HANDLE handle);

// Whether the module carries the "CEUX" resource "HI_RES_AWARE": it draws in physical pixels and
// the device does not scale its bitmaps.
bool IsHighResolutionAware(HMODULE module);

}  // namespace tovarin::gwes
