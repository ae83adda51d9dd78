#include "gwes/gdi/dib_pixels.h"

#include <cstring>
#include <limits>

namespace tovarin::gwes {
namespace {

uint32_t Pack(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

uint8_t Expand5(uint32_t v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

uint8_t Expand6(uint32_t v) {
    return static_cast<uint8_t>((v << 2) | (v >> 4));
}

int NearestEntry(const std::vector<RGBQUAD>& palette, uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF;
    const int g = (pixel >> 8) & 0xFF;
    const int b = pixel & 0xFF;
    int best = 0;
    int best_distance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = r - palette[i].rgbRed;
        const int dg = g - palette[i].rgbGreen;
        const int db = b - palette[i].rgbBlue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

}  // namespace

bool ReadDibHeader(const BITMAPINFO* info, size_t available, DibLayout* layout,
                   size_t* header_size) {
    if (!info || available < sizeof(BITMAPINFOHEADER)) {
        return false;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > available ||
        header.biWidth <= 0 || header.biHeight == 0 || header.biWidth > 8192 ||
        header.biHeight > 8192 || header.biHeight < -8192) {
        return false;
    }
    const int bpp = header.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
        return false;
    }
    size_t offset = header.biSize;
    layout->width = header.biWidth;
    layout->height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    layout->top_down = header.biHeight < 0;
    layout->bits_per_pixel = bpp;
    layout->bitfields_565 = false;
    layout->palette.clear();
    if (header.biCompression == BI_BITFIELDS) {
        if ((bpp != 16 && bpp != 32) || available < offset + 12) {
            return false;
        }
        uint32_t masks[3];
        std::memcpy(masks, reinterpret_cast<const uint8_t*>(info) + offset, sizeof masks);
        offset += 12;
        layout->bitfields_565 = bpp == 16 && masks[1] == 0x07E0;
    } else if (header.biCompression != BI_RGB) {
        return false;
    }
    if (bpp <= 8) {
        size_t colors = header.biClrUsed ? header.biClrUsed : (size_t{1} << bpp);
        if (colors > (size_t{1} << bpp) || available < offset + colors * sizeof(RGBQUAD)) {
            return false;
        }
        layout->palette.resize(colors);
        std::memcpy(layout->palette.data(), reinterpret_cast<const uint8_t*>(info) + offset,
                    colors * sizeof(RGBQUAD));
        offset += colors * sizeof(RGBQUAD);
    }
    *header_size = offset;
    return true;
}

void DibToPixels(const DibLayout& layout, std::span<const uint8_t> bits, uint8_t* pixels,
                 int stride) {
    const size_t dib_stride = layout.Stride();
    for (int y = 0; y < layout.height; ++y) {
        const int source_row = layout.top_down ? y : layout.height - 1 - y;
        const uint8_t* row = bits.data() + static_cast<size_t>(source_row) * dib_stride;
        auto* out = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * stride);
        for (int x = 0; x < layout.width; ++x) {
            uint32_t pixel = 0;
            switch (layout.bits_per_pixel) {
                case 1:
                case 4:
                case 8: {
                    const int bpp = layout.bits_per_pixel;
                    const size_t bit = static_cast<size_t>(x) * bpp;
                    const int shift = 8 - bpp - static_cast<int>(bit % 8);
                    const int index = (row[bit / 8] >> shift) & ((1 << bpp) - 1);
                    if (static_cast<size_t>(index) < layout.palette.size()) {
                        const RGBQUAD& c = layout.palette[static_cast<size_t>(index)];
                        pixel = Pack(c.rgbRed, c.rgbGreen, c.rgbBlue);
                    }
                    break;
                }
                case 16: {
                    const uint32_t v = row[x * 2] | (uint32_t{row[x * 2 + 1]} << 8);
                    pixel =
                        layout.bitfields_565
                            ? Pack(Expand5(v >> 11), Expand6((v >> 5) & 0x3F), Expand5(v & 0x1F))
                            : Pack(Expand5((v >> 10) & 0x1F), Expand5((v >> 5) & 0x1F),
                                   Expand5(v & 0x1F));
                    break;
                }
                case 24:
                    pixel = Pack(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
                    break;
                case 32:
                    pixel = Pack(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]);
                    break;
            }
            out[x] = pixel;
        }
    }
}

void PixelsToDib(const DibLayout& layout, const uint8_t* pixels, int stride,
                 std::span<uint8_t> bits) {
    const size_t dib_stride = layout.Stride();
    for (int y = 0; y < layout.height; ++y) {
        const int target_row = layout.top_down ? y : layout.height - 1 - y;
        uint8_t* row = bits.data() + static_cast<size_t>(target_row) * dib_stride;
        const auto* in =
            reinterpret_cast<const uint32_t*>(pixels + static_cast<size_t>(y) * stride);
        for (int x = 0; x < layout.width; ++x) {
            const uint32_t pixel = in[x] & 0xFFFFFF;
            const uint8_t r = (pixel >> 16) & 0xFF;
            const uint8_t g = (pixel >> 8) & 0xFF;
            const uint8_t b = pixel & 0xFF;
            switch (layout.bits_per_pixel) {
                case 1:
                case 4:
                case 8: {
                    const int bpp = layout.bits_per_pixel;
                    const size_t bit = static_cast<size_t>(x) * bpp;
                    const int shift = 8 - bpp - static_cast<int>(bit % 8);
                    const int mask = ((1 << bpp) - 1) << shift;
                    const int index = NearestEntry(layout.palette, pixel);
                    row[bit / 8] = static_cast<uint8_t>((row[bit / 8] & ~mask) | (index << shift));
                    break;
                }
                case 16: {
                    const uint32_t v = layout.bitfields_565
                                           ? ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)
                                           : ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
                    row[x * 2] = static_cast<uint8_t>(v & 0xFF);
                    row[x * 2 + 1] = static_cast<uint8_t>(v >> 8);
                    break;
                }
                case 24:
                    row[x * 3] = b;
                    row[x * 3 + 1] = g;
                    row[x * 3 + 2] = r;
                    break;
                case 32:
                    row[x * 4] = b;
                    row[x * 4 + 1] = g;
                    row[x * 4 + 2] = r;
                    row[x * 4 + 3] = 0;
                    break;
            }
        }
    }
}

}  // namespace tovarin::gwes
