// Bitmaps made from a packed device-independent bitmap (a resource's BITMAPINFOHEADER, colour
// table and rows).
#pragma once

#include <cstddef>
#include <span>

#include <windows.h>

namespace tovarin::gwes {

// A new bitmap of the calling process with the DIB's pixels; null (last-error set) when the
// DIB is not one the device draws.
HBITMAP BitmapFromDib(std::span<const std::byte> dib);

}  // namespace tovarin::gwes
