// Bitmaps: CreateCompatibleBitmap, CreateBitmap and CreateDIBSection.
#include "gwes/gdi/bitmaps.h"

#include <cstring>

#include <cairo.h>

#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

namespace tovarin::gwes {

void Bitmap::LoadFromDib() {
    cairo_surface_flush(surface);
    DibToPixels(dib, dib_bits, cairo_image_surface_get_data(surface),
                cairo_image_surface_get_stride(surface));
    cairo_surface_mark_dirty(surface);
}

void Bitmap::StoreToDib() {
    cairo_surface_flush(surface);
    PixelsToDib(dib, cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface),
                dib_bits);
}

}  // namespace tovarin::gwes

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

HBITMAP InsertBitmap(std::shared_ptr<Bitmap> bitmap);

}  // namespace

namespace tovarin::gwes {

HBITMAP BitmapFromDib(std::span<const std::byte> dib) {
    DibLayout layout;
    size_t header_size = 0;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    if (!ReadDibHeader(info, dib.size(), &layout, &header_size) ||
        dib.size() < header_size + layout.Size()) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap =
        Bitmap::Make(layout.width, layout.height, layout.bits_per_pixel);
    const auto* bits = reinterpret_cast<const uint8_t*>(dib.data()) + header_size;
    cairo_surface_flush(bitmap->surface);
    DibToPixels(layout, std::span<const uint8_t>(bits, layout.Size()),
                cairo_image_surface_get_data(bitmap->surface),
                cairo_image_surface_get_stride(bitmap->surface));
    cairo_surface_mark_dirty(bitmap->surface);
    return InsertBitmap(std::move(bitmap));
}

}  // namespace tovarin::gwes

namespace {

HBITMAP InsertBitmap(std::shared_ptr<Bitmap> bitmap) {
    bitmap->process_id = GetCurrentProcessId();
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    HGDIOBJ handle = gdi.Insert(std::move(bitmap));
    if (!handle) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return static_cast<HBITMAP>(handle);
}

bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 && width <= 8192 && height <= 8192;
}

}  // namespace

extern "C" {

HBITMAP WINAPI CreateCompatibleBitmap(HDC, int nWidth, int nHeight) {
    if (!SizeAllowed(nWidth, nHeight)) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap = Bitmap::Make(nWidth, nHeight, 32);
    return InsertBitmap(std::move(bitmap));
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT cPlanes, UINT cBitsPerPel,
                            const void* lpvBits) {
    if (!SizeAllowed(nWidth, nHeight) || cPlanes != 1 ||
        (cBitsPerPel != 1 && cBitsPerPel != 4 && cBitsPerPel != 8 && cBitsPerPel != 16 &&
         cBitsPerPel != 24 && cBitsPerPel != 32)) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap = Bitmap::Make(nWidth, nHeight, static_cast<int>(cBitsPerPel));
    if (lpvBits) {
        // Rows top-down, each padded to 16 bits; a monochrome bitmap's 0 bits are black.
        DibLayout layout;
        layout.width = nWidth;
        layout.height = nHeight;
        layout.bits_per_pixel = static_cast<int>(cBitsPerPel);
        layout.top_down = true;
        if (cBitsPerPel == 1) {
            layout.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
        } else if (cBitsPerPel <= 8) {
            SetError(ERROR_INVALID_PARAMETER);  // no palette to read the indexes with
            return nullptr;
        }
        const size_t word_stride = ((static_cast<size_t>(nWidth) * cBitsPerPel + 15) / 16) * 2;
        std::vector<uint8_t> bits(layout.Size());
        const auto* source = static_cast<const uint8_t*>(lpvBits);
        for (int y = 0; y < nHeight; ++y) {
            std::memcpy(bits.data() + y * layout.Stride(), source + y * word_stride, word_stride);
        }
        cairo_surface_flush(bitmap->surface);
        DibToPixels(layout, bits, cairo_image_surface_get_data(bitmap->surface),
                    cairo_image_surface_get_stride(bitmap->surface));
        cairo_surface_mark_dirty(bitmap->surface);
    }
    return InsertBitmap(std::move(bitmap));
}

HBITMAP WINAPI CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT iUsage, void** ppvBits, HANDLE,
                                DWORD) {
    DibLayout layout;
    size_t header_size = 0;
    if (iUsage != DIB_RGB_COLORS || !pbmi ||
        !ReadDibHeader(pbmi, pbmi->bmiHeader.biSize + 12 + 256 * sizeof(RGBQUAD), &layout,
                       &header_size)) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<Bitmap> bitmap =
        Bitmap::Make(layout.width, layout.height, layout.bits_per_pixel);
    bitmap->dib = layout;
    bitmap->dib_bits.assign(layout.Size(), 0);
    bitmap->LoadFromDib();
    void* bits = bitmap->dib_bits.data();
    HBITMAP handle = InsertBitmap(std::move(bitmap));
    if (ppvBits) {
        *ppvBits = handle ? bits : nullptr;
    }
    return handle;
}

}  // extern "C"
