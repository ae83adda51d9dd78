// Drawing objects: GetStockObject, CreateSolidBrush, CreatePen, CreatePenIndirect,
// CreateFontIndirectW, SelectObject, DeleteObject, GetObjectW, GetObjectType, GetCurrentObject.
//
// An object selected into a device context is not freed by DeleteObject (which then fails, as on
// the phone); stock objects are never freed.
#include <cstring>

#include <windows.h>

#include "gwes/gdi/device_contexts.h"
#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

template <typename T>
HGDIOBJ InsertNew(std::shared_ptr<T> object) {
    object->process_id = GetCurrentProcessId();
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    HGDIOBJ handle = gdi.Insert(std::move(object));
    if (!handle) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return handle;
}

}  // namespace

extern "C" {

HGDIOBJ WINAPI GetStockObject(int fnObject) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    return gdi.Stock(fnObject);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF crColor) {
    auto brush = std::make_shared<Brush>();
    brush->color = crColor & 0x00FFFFFF;
    return static_cast<HBRUSH>(InsertNew(std::move(brush)));
}

HPEN WINAPI CreatePen(int fnPenStyle, int nWidth, COLORREF crColor) {
    if (fnPenStyle != PS_SOLID && fnPenStyle != PS_DASH && fnPenStyle != PS_NULL) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto pen = std::make_shared<Pen>();
    pen->style = fnPenStyle;
    pen->width = nWidth < 1 ? 1 : nWidth;
    pen->color = crColor & 0x00FFFFFF;
    return static_cast<HPEN>(InsertNew(std::move(pen)));
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* lplgpn) {
    if (!lplgpn) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreatePen(static_cast<int>(lplgpn->lopnStyle), lplgpn->lopnWidth.x, lplgpn->lopnColor);
}

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_shared<Font>();
    font->logfont = *lplf;
    font->logfont.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(InsertNew(std::move(font)));
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
    GdiObject* object = gdi.Find(hgdiobj);
    if (!dc || !object || object->kind == GdiKind::DeviceContext ||
        object->kind == GdiKind::ImageList) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HGDIOBJ* slot = nullptr;
    switch (object->kind) {
        case GdiKind::Brush:
            slot = &dc->attributes.brush;
            break;
        case GdiKind::Pen:
            slot = &dc->attributes.pen;
            break;
        case GdiKind::Font:
            slot = &dc->attributes.font;
            break;
        case GdiKind::Bitmap:
            // Only a memory device context takes a bitmap, and a bitmap is in one at a time.
            if (!dc->memory || (object->selections > 0 && dc->attributes.bitmap != hgdiobj)) {
                SetError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            slot = &dc->attributes.bitmap;
            break;
        case GdiKind::DeviceContext:
        case GdiKind::ImageList:
            return nullptr;
    }
    HGDIOBJ previous = *slot;
    if (previous == hgdiobj) {
        return previous;
    }
    object->selections++;
    *slot = hgdiobj;
    ReleaseSelection(gdi, previous);
    return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ hObject) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    GdiObject* object = gdi.Find(hObject);
    if (!object || object->kind == GdiKind::DeviceContext || object->kind == GdiKind::ImageList) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (object->stock) {
        return TRUE;  // deleting a stock object does nothing
    }
    if (object->selections > 0) {
        // Still selected into a device context: it stays until it is deselected.
        SetError(ERROR_BUSY);
        return FALSE;
    }
    gdi.Erase(hObject);
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    GdiObject* object = gdi.Find(h);
    if (!object) {
        SetError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (object->kind) {
        case GdiKind::Brush:
            return OBJ_BRUSH;
        case GdiKind::Pen:
            return OBJ_PEN;
        case GdiKind::Font:
            return OBJ_FONT;
        case GdiKind::Bitmap:
            return OBJ_BITMAP;
        case GdiKind::DeviceContext:
            return static_cast<DeviceContext*>(object)->memory ? OBJ_MEMDC : OBJ_DC;
        case GdiKind::ImageList:
            break;
    }
    return 0;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT uObjectType) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
    if (!dc) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    switch (uObjectType) {
        case OBJ_BRUSH:
            return dc->attributes.brush;
        case OBJ_PEN:
            return dc->attributes.pen;
        case OBJ_FONT:
            return dc->attributes.font;
        case OBJ_BITMAP:
            return dc->attributes.bitmap;
        default:
            SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

int WINAPI GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    GdiObject* object = gdi.Find(hgdiobj);
    if (!object) {
        SetError(ERROR_INVALID_HANDLE);
        return 0;
    }
    auto copy_out = [&](const void* data, int size) {
        if (!lpvObject) {
            return size;
        }
        if (cbBuffer < size) {
            SetError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        std::memcpy(lpvObject, data, static_cast<size_t>(size));
        return size;
    };
    switch (object->kind) {
        case GdiKind::Brush: {
            const auto* brush = static_cast<Brush*>(object);
            LOGBRUSH logbrush{static_cast<UINT>(brush->hollow ? BS_NULL : BS_SOLID), brush->color,
                              0};
            return copy_out(&logbrush, sizeof logbrush);
        }
        case GdiKind::Pen: {
            const auto* pen = static_cast<Pen*>(object);
            LOGPEN logpen{static_cast<UINT>(pen->style), POINT{pen->width, 0}, pen->color};
            return copy_out(&logpen, sizeof logpen);
        }
        case GdiKind::Font:
            return copy_out(&static_cast<Font*>(object)->logfont, sizeof(LOGFONTW));
        case GdiKind::Bitmap: {
            const auto* bitmap = static_cast<Bitmap*>(object);
            BITMAP info{};
            info.bmWidth = bitmap->width;
            info.bmHeight = bitmap->height;
            info.bmPlanes = 1;
            info.bmBitsPixel = static_cast<WORD>(bitmap->bits_per_pixel);
            info.bmWidthBytes = ((bitmap->width * bitmap->bits_per_pixel + 15) / 16) * 2;
            info.bmBits =
                bitmap->dib_bits.empty() ? nullptr : const_cast<uint8_t*>(bitmap->dib_bits.data());
            return copy_out(&info, sizeof info);
        }
        case GdiKind::DeviceContext:
        case GdiKind::ImageList:
            SetError(ERROR_INVALID_HANDLE);
            return 0;
    }
    return 0;
}

}  // extern "C"
