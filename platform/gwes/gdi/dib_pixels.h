// Device-independent bitmap pixels: reading the rows of a DIB (1, 4, 8, 16, 24 or 32 bits a
// pixel, bottom-up or top-down) into xRGB pixels and writing them back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <windows.h>

namespace tovarin::gwes {

struct DibLayout {
    int width = 0;
    int height = 0;  // rows, always positive
    int bits_per_pixel = 0;
    bool top_down = false;
    bool bitfields_565 = false;  // 16 bits: 5-6-5 instead of 5-5-5
    std::vector<RGBQUAD> palette;

    size_t Stride() const { return ((static_cast<size_t>(width) * bits_per_pixel + 31) / 32) * 4; }
    size_t Size() const { return Stride() * static_cast<size_t>(height); }
};

// The layout a BITMAPINFO describes, with its colour table; false for what this device does not
// draw (compressed bitmaps, odd depths) or a header that does not fit in `available` bytes.
bool ReadDibHeader(const BITMAPINFO* info, size_t available, DibLayout* layout,
                   size_t* header_size);

// DIB bytes to rows of xRGB pixels (`stride` bytes a row), top row first.
void DibToPixels(const DibLayout& layout, std::span<const uint8_t> bits, uint8_t* pixels,
                 int stride);
// And back; palette depths take the nearest colour of the table.
void PixelsToDib(const DibLayout& layout, const uint8_t* pixels, int stride,
                 std::span<uint8_t> bits);

}  // namespace tovarin::gwes
