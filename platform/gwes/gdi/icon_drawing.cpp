// DrawIconEx (DrawIcon is the SDK's macro over it): an icon loaded from a module's resources,
// drawn at its own size as the device draws one. The icon image is a device-independent bitmap
// of the colours followed by a one-bit mask (resource_images.h). DI_MASK ANDs the mask onto the
// destination (black where the icon is opaque), DI_IMAGE copies the colours, and DI_NORMAL does
// both, which leaves the destination where the mask is set: (destination AND mask) XOR colours.
// An icon of 32 bits a pixel whose alpha bytes are not all zero is drawn with DI_NORMAL by its
// alpha instead, blended over the destination. The system's own icons (IDI_APPLICATION and its
// kin) have no picture of their own: they are drawn as a plain window symbol.
#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

#include "gwes/gdi/dib_pixels.h"
#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/pixel_access.h"
#include "gwes/gdi/resource_images.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// An icon's picture, top row first: xRGB colours, the mask (true: the destination shows), and
// the alpha of a 32-bit icon that has one.
struct IconPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colours;
    std::vector<bool> masked;
    std::vector<uint8_t> alpha;  // empty when the icon has no alpha channel
};

std::optional<IconPicture> ReadIconPicture(const LoadedImage& image) {
    const auto* info = reinterpret_cast<const BITMAPINFO*>(image.dib.data());
    DibLayout layout;
    size_t header_size = 0;
    if (!ReadDibHeader(info, image.dib.size(), &layout, &header_size)) {
        return std::nullopt;
    }
    // The header's height counts the colours and the mask; both are bottom-up.
    layout.height = image.height;
    layout.top_down = false;
    const size_t mask_stride = (static_cast<size_t>(layout.width) + 31) / 32 * 4;
    const size_t colour_end = header_size + layout.Size();
    if (colour_end + mask_stride * static_cast<size_t>(layout.height) > image.dib.size()) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(image.dib.data());
    IconPicture picture;
    picture.width = layout.width;
    picture.height = layout.height;
    const size_t count = static_cast<size_t>(layout.width) * layout.height;
    picture.colours.resize(count);
    DibToPixels(layout, std::span<const uint8_t>(bytes + header_size, layout.Size()),
                reinterpret_cast<uint8_t*>(picture.colours.data()), layout.width * 4);
    picture.masked.resize(count);
    bool any_alpha = false;
    std::vector<uint8_t> alpha(count);
    for (int y = 0; y < layout.height; ++y) {
        const size_t source_row = static_cast<size_t>(layout.height - 1 - y);
        const uint8_t* mask_row = bytes + colour_end + source_row * mask_stride;
        const uint8_t* colour_row = bytes + header_size + source_row * layout.Stride();
        for (int x = 0; x < layout.width; ++x) {
            const size_t at = static_cast<size_t>(y) * layout.width + x;
            picture.masked[at] = (mask_row[x / 8] & (0x80 >> (x % 8))) != 0;
            if (layout.bits_per_pixel == 32) {
                alpha[at] = colour_row[x * 4 + 3];
                any_alpha = any_alpha || alpha[at] != 0;
            }
        }
    }
    if (any_alpha) {
        picture.alpha = std::move(alpha);
    }
    return picture;
}

uint32_t Blend(uint32_t under, uint32_t over, uint32_t alpha) {
    uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        const uint32_t a = (over >> shift) & 0xFF;
        const uint32_t b = (under >> shift) & 0xFF;
        result |= ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

std::optional<uint32_t> IconPixel(const IconPicture& picture, size_t at, uint32_t destination,
                                  UINT flags) {
    const bool image = (flags & DI_IMAGE) != 0;
    const bool mask = (flags & DI_MASK) != 0;
    if (image && mask && !picture.alpha.empty()) {
        return Blend(destination, picture.colours[at], picture.alpha[at]);
    }
    const uint32_t and_mask = picture.masked[at] ? 0xFFFFFFu : 0u;
    if (image && mask) {
        return (destination & and_mask) ^ picture.colours[at];
    }
    return image ? picture.colours[at] : (destination & and_mask);
}

// A system icon: a white window with a blue title band and a dark frame.
IconPicture SystemIconPicture(int size) {
    IconPicture picture;
    picture.width = size;
    picture.height = size;
    picture.colours.assign(static_cast<size_t>(size) * size, 0xFFFFFF);
    picture.masked.assign(picture.colours.size(), false);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint32_t& pixel = picture.colours[static_cast<size_t>(y) * size + x];
            if (x == 0 || y == 0 || x == size - 1 || y == size - 1) {
                pixel = 0x404040;
            } else if (y < size / 4) {
                pixel = 0x316AC5;
            }
        }
    }
    return picture;
}

}  // namespace

extern "C" {

BOOL WINAPI DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                       UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
    const std::optional<LoadedImage> image = ImageOf(hIcon);
    if (!image || image->type != IMAGE_ICON) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The device draws icons at their own size only, and has no animated icons nor flicker-free
    // drawing.
    if ((cxWidth != 0 && cxWidth != image->width) || (cyWidth != 0 && cyWidth != image->height) ||
        istepIfAniCur != 0 || hbrFlickerFreeDraw != nullptr || (diFlags & DI_NORMAL) == 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<IconPicture> picture =
        image->dib.empty() ? SystemIconPicture(image->width) : ReadIconPicture(*image);
    if (!picture) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    ForEachPixel(scope, RECT{xLeft, yTop, xLeft + picture->width, yTop + picture->height},
                 [&](int x, int y, uint32_t destination) {
                     const size_t at = static_cast<size_t>(y - yTop) * picture->width + (x - xLeft);
                     return IconPixel(*picture, at, destination, diFlags);
                 });
    return TRUE;
}

}  // extern "C"
