// Image lists: ImageList_Create, ImageList_Destroy, ImageList_Add, ImageList_AddMasked,
// ImageList_Remove, ImageList_Draw, ImageList_DrawEx, ImageList_GetImageCount,
// ImageList_GetIconSize and the background colour.
//
// Drawing is transparent (masked pixels left out) with ILD_TRANSPARENT, or with ILD_NORMAL when
// the list has no background colour; ILD_BLEND25 and ILD_BLEND50 (ILD_FOCUS, ILD_SELECTED) mix
// the image with the selection colour by a quarter or a half; ILD_MASK draws the mask.
#include <commctrl.h>

#include <utility>

#include <cairo.h>

#include "gwes/gdi/pixel_access.h"
#include "gwes/gdi/sys_colors.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

uint32_t ToPixel(COLORREF color) {
    return (uint32_t{GetRValue(color)} << 16) | (uint32_t{GetGValue(color)} << 8) |
           GetBValue(color);
}

uint32_t Mix(uint32_t pixel, uint32_t with, int quarters) {
    auto channel = [&](int shift) {
        const uint32_t a = (pixel >> shift) & 0xFF;
        const uint32_t b = (with >> shift) & 0xFF;
        return ((a * (4 - quarters) + b * quarters + 2) / 4) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

ImageList* ListOf(Gdi& gdi, HIMAGELIST himl) {
    return gdi.FindAs<ImageList>(reinterpret_cast<HGDIOBJ>(himl), GdiKind::ImageList);
}

// The bitmap's pixels, row by row.
std::vector<uint32_t> PixelsOf(Bitmap& bitmap) {
    if (!bitmap.dib_bits.empty()) {
        bitmap.LoadFromDib();
    }
    cairo_surface_flush(bitmap.surface);
    const unsigned char* data = cairo_image_surface_get_data(bitmap.surface);
    const int stride = cairo_image_surface_get_stride(bitmap.surface);
    std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.width) * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < bitmap.width; ++x) {
            pixels[static_cast<size_t>(y) * bitmap.width + x] = row[x] & 0xFFFFFF;
        }
    }
    return pixels;
}

// Cuts the bitmap into images of the list's size, left to right; `is_masked` says which pixels
// are transparent. Returns the index of the first, or -1.
template <typename IsMasked>
int AddImages(ImageList& list, Bitmap& bitmap, IsMasked is_masked) {
    if (bitmap.width < list.cx || bitmap.height < list.cy) {
        SetError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    const std::vector<uint32_t> pixels = PixelsOf(bitmap);
    const int first = static_cast<int>(list.images.size());
    const int count = bitmap.width / list.cx;
    for (int n = 0; n < count; ++n) {
        ImageList::Image image;
        image.pixels.resize(static_cast<size_t>(list.cx) * list.cy);
        image.masked.resize(image.pixels.size());
        for (int y = 0; y < list.cy; ++y) {
            for (int x = 0; x < list.cx; ++x) {
                const int bx = n * list.cx + x;
                const size_t at = static_cast<size_t>(y) * list.cx + x;
                image.pixels[at] = pixels[static_cast<size_t>(y) * bitmap.width + bx];
                image.masked[at] = (list.flags & ILC_MASK) && is_masked(bx, y, image.pixels[at]);
                if (image.masked[at]) {
                    image.pixels[at] = 0;  // the image is black where the mask leaves it out
                }
            }
        }
        list.images.push_back(std::move(image));
    }
    return first;
}

BOOL DrawImage(HIMAGELIST himl, int i, HDC hdc, int x, int y, int dx, int dy, COLORREF background,
               COLORREF foreground, UINT style) {
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    ImageList* list = ListOf(scope.gdi(), himl);
    if (!list || i < 0 || i >= static_cast<int>(list->images.size())) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ImageList::Image& image = list->images[static_cast<size_t>(i)];
    const int width = dx > 0 ? std::min(dx, list->cx) : list->cx;
    const int height = dy > 0 ? std::min(dy, list->cy) : list->cy;
    if (background == CLR_DEFAULT) {
        background = list->background;
    }
    const bool transparent = (style & ILD_TRANSPARENT) || background == CLR_NONE;
    int quarters = 0;
    if (style & ILD_BLEND50) {
        quarters = 2;
    } else if (style & ILD_BLEND25) {
        quarters = 1;
    }
    const uint32_t blend = ToPixel(foreground == CLR_DEFAULT || foreground == CLR_NONE
                                       ? SysColor(COLOR_HIGHLIGHT & ~SYS_COLOR_INDEX_FLAG)
                                       : foreground);
    ForEachPixel(scope, RECT{x, y, x + width, y + height}, [&](int px, int py, uint32_t) {
        const size_t at = static_cast<size_t>(py - y) * list->cx + (px - x);
        const bool masked = image.masked[at];
        if (style & ILD_MASK) {
            return std::optional<uint32_t>(masked ? 0xFFFFFFu : 0u);
        }
        if (masked) {
            return transparent ? std::optional<uint32_t>()
                               : std::optional<uint32_t>(ToPixel(background));
        }
        return std::optional<uint32_t>(quarters ? Mix(image.pixels[at], blend, quarters)
                                                : image.pixels[at]);
    });
    return TRUE;
}

}  // namespace

extern "C" {

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow) {
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096 || cInitial < 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto list = std::make_shared<ImageList>();
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    list->grow = std::max(cGrow, 1);
    list->images.reserve(static_cast<size_t>(cInitial));
    list->process_id = GetCurrentProcessId();
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    HGDIOBJ handle = gdi.Insert(std::move(list));
    if (!handle) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return reinterpret_cast<HIMAGELIST>(handle);
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST himl) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    if (!ListOf(gdi, himl)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    gdi.Erase(reinterpret_cast<HGDIOBJ>(himl));
    return TRUE;
}

int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    Bitmap* image = gdi.FindAs<Bitmap>(hbmImage, GdiKind::Bitmap);
    Bitmap* mask = hbmMask ? gdi.FindAs<Bitmap>(hbmMask, GdiKind::Bitmap) : nullptr;
    if (!list || !image || (hbmMask && !mask)) {
        SetError(ERROR_INVALID_HANDLE);
        return -1;
    }
    if (!mask) {
        return AddImages(*list, *image, [](int, int, uint32_t) { return false; });
    }
    if (mask->width < image->width || mask->height < list->cy) {
        SetError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    // The mask is white (or any light colour) where the image is transparent.
    const std::vector<uint32_t> mask_pixels = PixelsOf(*mask);
    const int mask_width = mask->width;
    return AddImages(*list, *image, [&](int x, int y, uint32_t) {
        const uint32_t m = mask_pixels[static_cast<size_t>(y) * mask_width + x];
        const int luminance = ((m >> 16) & 0xFF) + ((m >> 8) & 0xFF) + (m & 0xFF);
        return luminance >= 3 * 128;
    });
}

int WINAPI ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    Bitmap* image = gdi.FindAs<Bitmap>(hbmImage, GdiKind::Bitmap);
    if (!list || !image) {
        SetError(ERROR_INVALID_HANDLE);
        return -1;
    }
    const uint32_t key = ToPixel(crMask);
    return AddImages(*list, *image, [&](int, int, uint32_t pixel) { return pixel == key; });
}

BOOL WINAPI ImageList_Remove(HIMAGELIST himl, int i) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    if (!list || i < -1 || i >= static_cast<int>(list->images.size())) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (i == -1) {
        list->images.clear();  // -1: every image
    } else {
        list->images.erase(list->images.begin() + i);
    }
    return TRUE;
}

BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    return DrawImage(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

BOOL WINAPI ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy,
                             COLORREF rgbBk, COLORREF rgbFg, UINT fStyle) {
    return DrawImage(himl, i, hdcDst, x, y, dx, dy, rgbBk, rgbFg, fStyle);
}

int WINAPI ImageList_GetImageCount(HIMAGELIST himl) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    if (!list || !cx || !cy) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

COLORREF WINAPI ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    if (!list) {
        return CLR_NONE;
    }
    return std::exchange(list->background, clrBk);
}

COLORREF WINAPI ImageList_GetBkColor(HIMAGELIST himl) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    ImageList* list = ListOf(gdi, himl);
    return list ? list->background : CLR_NONE;
}

}  // extern "C"
