// Pixels and blocks of pixels: SetPixel, GetPixel, PatBlt, BitBlt, StretchBlt and
// TransparentImage. Every raster operation of three operands (pattern, source, destination) is
// computed bit by bit from its code, as the phone's display driver does.
#include <vector>

#include <cairo.h>

#include "gwes/gdi/brushes.h"
#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/pixel_access.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

uint32_t ToPixel(COLORREF color) {
    return (uint32_t{GetRValue(color)} << 16) | (uint32_t{GetGValue(color)} << 8) |
           GetBValue(color);
}

COLORREF ToColor(uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

// The raster operation's boolean function of pattern, source and destination, bitwise.
uint32_t ApplyRop(DWORD rop, uint32_t pattern, uint32_t source, uint32_t destination) {
    const unsigned code = (rop >> 16) & 0xFF;
    uint32_t result = 0;
    for (unsigned index = 0; index < 8; ++index) {
        if (!(code & (1u << index))) {
            continue;
        }
        const uint32_t p = (index & 4) ? pattern : ~pattern;
        const uint32_t s = (index & 2) ? source : ~source;
        const uint32_t d = (index & 1) ? destination : ~destination;
        result |= p & s & d;
    }
    return result & 0xFFFFFF;
}

bool UsesSource(DWORD rop) {
    const unsigned code = (rop >> 16) & 0xFF;
    return ((code >> 2) & 0x33) != (code & 0x33);
}

// Pixels read from a surface, in surface coordinates; outside it they are black.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
    uint32_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return data[static_cast<size_t>(y) * width + x];
    }
};

Pixels ReadSurface(cairo_surface_t* surface) {
    Pixels pixels;
    cairo_surface_flush(surface);
    pixels.width = cairo_image_surface_get_width(surface);
    pixels.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    pixels.data.resize(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < pixels.width; ++x) {
            pixels.data[static_cast<size_t>(y) * pixels.width + x] = row[x] & 0xFFFFFF;
        }
    }
    return pixels;
}

// A source device context (or bitmap) under the drawing lock: its surface and where its logical
// (0, 0) lies on it.
struct Source {
    cairo_surface_t* surface = nullptr;
    POINT offset{0, 0};
};

std::optional<Source> SourceOf(Gdi& gdi, HANDLE handle) {
    if (auto* bitmap = gdi.FindAs<Bitmap>(handle, GdiKind::Bitmap)) {
        if (!bitmap->dib_bits.empty()) {
            bitmap->LoadFromDib();
        }
        return Source{bitmap->surface, {0, 0}};
    }
    auto* dc = gdi.FindAs<DeviceContext>(handle, GdiKind::DeviceContext);
    if (!dc) {
        return std::nullopt;
    }
    const POINT viewport = dc->attributes.viewport;
    if (dc->memory) {
        auto* bitmap = gdi.FindAs<Bitmap>(dc->attributes.bitmap, GdiKind::Bitmap);
        if (!bitmap) {
            return std::nullopt;
        }
        if (!bitmap->dib_bits.empty()) {
            bitmap->LoadFromDib();
        }
        return Source{bitmap->surface, viewport};
    }
    return Source{gdi.screen(), {dc->origin.x + viewport.x, dc->origin.y + viewport.y}};
}

uint32_t PatternOf(DrawScope& scope) {
    const Brush* brush = scope.Selected<Brush>(GdiKind::Brush);
    return brush && !brush->hollow ? ToPixel(brush->color) : 0;
}

// The source part scaled to the destination's size (nearest pixel), as pixels.
Pixels Scaled(const Source& source, int sx, int sy, int scx, int scy, int dcx, int dcy) {
    Pixels whole = ReadSurface(source.surface);
    Pixels out;
    out.width = std::abs(dcx);
    out.height = std::abs(dcy);
    out.data.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            int u = x * std::abs(scx) / std::max(1, out.width);
            int v = y * std::abs(scy) / std::max(1, out.height);
            // Mirrored when the signs of the two sizes differ.
            if ((scx < 0) != (dcx < 0)) {
                u = std::abs(scx) - 1 - u;
            }
            if ((scy < 0) != (dcy < 0)) {
                v = std::abs(scy) - 1 - v;
            }
            const int left = scx < 0 ? sx + scx : sx;
            const int top = scy < 0 ? sy + scy : sy;
            out.data[static_cast<size_t>(y) * out.width + x] =
                whole.At(left + u + source.offset.x, top + v + source.offset.y);
        }
    }
    return out;
}

RECT Normalized(int x, int y, int cx, int cy) {
    return RECT{std::min(x, x + cx), std::min(y, y + cy), std::max(x, x + cx), std::max(y, y + cy)};
}

}  // namespace

extern "C" {

COLORREF WINAPI SetPixel(HDC hdc, int X, int Y, COLORREF crColor) {
    DrawScope scope(hdc);
    if (!scope) {
        return static_cast<COLORREF>(-1);
    }
    bool set = false;
    ForEachPixel(scope, RECT{X, Y, X + 1, Y + 1}, [&](int, int, uint32_t) {
        set = true;
        return std::optional<uint32_t>(ToPixel(crColor));
    });
    return set ? (crColor & 0xFFFFFF) : static_cast<COLORREF>(-1);
}

COLORREF WINAPI GetPixel(HDC hdc, int nXPos, int nYPos) {
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return CLR_INVALID;
    }
    COLORREF color = CLR_INVALID;
    ForEachPixel(scope, RECT{nXPos, nYPos, nXPos + 1, nYPos + 1}, [&](int, int, uint32_t pixel) {
        color = ToColor(pixel);
        return std::optional<uint32_t>();
    });
    return color;
}

BOOL WINAPI PatBlt(HDC hdc, int nXLeft, int nYLeft, int nWidth, int nHeight, DWORD dwRop) {
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    const uint32_t pattern = PatternOf(scope);
    ForEachPixel(scope, Normalized(nXLeft, nYLeft, nWidth, nHeight), [&](int, int, uint32_t d) {
        return std::optional<uint32_t>(ApplyRop(dwRop, pattern, 0, d));
    });
    return TRUE;
}

BOOL WINAPI StretchBlt(HDC hdcDest, int nXOriginDest, int nYOriginDest, int nWidthDest,
                       int nHeightDest, HDC hdcSrc, int nXOriginSrc, int nYOriginSrc, int nWidthSrc,
                       int nHeightSrc, DWORD dwRop) {
    DrawScope scope(hdcDest);
    if (!scope) {
        return FALSE;
    }
    const uint32_t pattern = PatternOf(scope);
    const RECT target = Normalized(nXOriginDest, nYOriginDest, nWidthDest, nHeightDest);
    if (!UsesSource(dwRop)) {
        ForEachPixel(scope, target, [&](int, int, uint32_t d) {
            return std::optional<uint32_t>(ApplyRop(dwRop, pattern, 0, d));
        });
        return TRUE;
    }
    std::optional<Source> source = SourceOf(scope.gdi(), hdcSrc);
    if (!source) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const Pixels scaled =
        Scaled(*source, nXOriginSrc, nYOriginSrc, nWidthSrc, nHeightSrc, nWidthDest, nHeightDest);
    ForEachPixel(scope, target, [&](int x, int y, uint32_t d) {
        const uint32_t s = scaled.At(x - target.left, y - target.top);
        return std::optional<uint32_t>(ApplyRop(dwRop, pattern, s, d));
    });
    return TRUE;
}

BOOL WINAPI BitBlt(HDC hdcDest, int nXDest, int nYDest, int nWidth, int nHeight, HDC hdcSrc,
                   int nXSrc, int nYSrc, DWORD dwRop) {
    return StretchBlt(hdcDest, nXDest, nYDest, nWidth, nHeight, hdcSrc, nXSrc, nYSrc, nWidth,
                      nHeight, dwRop);
}

BOOL WINAPI TransparentImage(HDC hdcDest, LONG DstX, LONG DstY, LONG DstCx, LONG DstCy, HANDLE hSrc,
                             LONG SrcX, LONG SrcY, LONG SrcCx, LONG SrcCy,
                             COLORREF TransparentColor) {
    if (DstCx <= 0 || DstCy <= 0 || SrcCx <= 0 || SrcCy <= 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdcDest);
    if (!scope) {
        return FALSE;
    }
    std::optional<Source> source = SourceOf(scope.gdi(), hSrc);
    if (!source) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const Pixels scaled = Scaled(*source, SrcX, SrcY, SrcCx, SrcCy, DstCx, DstCy);
    const uint32_t key = ToPixel(TransparentColor);
    ForEachPixel(scope, RECT{DstX, DstY, DstX + DstCx, DstY + DstCy}, [&](int x, int y, uint32_t) {
        const uint32_t s = scaled.At(x - DstX, y - DstY);
        return s == key ? std::optional<uint32_t>() : std::optional<uint32_t>(s);
    });
    return TRUE;
}

}  // extern "C"
