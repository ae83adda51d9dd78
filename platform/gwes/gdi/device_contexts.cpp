// Device contexts: GetDC, GetWindowDC, ReleaseDC, CreateCompatibleDC, DeleteDC, SaveDC,
// RestoreDC, GetDeviceCaps, the colours and modes, the viewport origin and clipping.
#include "gwes/gdi/device_contexts.h"

#include <utility>

#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

namespace tovarin::gwes {
namespace {

void SelectDefaults(Gdi& gdi, DeviceContext& dc) {
    dc.attributes.brush = gdi.Stock(WHITE_BRUSH);
    dc.attributes.pen = gdi.Stock(BLACK_PEN);
    dc.attributes.font = gdi.Stock(SYSTEM_FONT);
    if (dc.memory) {
        dc.attributes.bitmap = gdi.DefaultBitmap();
    }
    for (HGDIOBJ handle :
         {dc.attributes.brush, dc.attributes.pen, dc.attributes.font, dc.attributes.bitmap}) {
        if (GdiObject* object = gdi.Find(handle)) {
            object->selections++;
        }
    }
}

void SelectAll(Gdi& gdi, const DcAttributes& attributes, int delta) {
    for (HGDIOBJ handle : {attributes.brush, attributes.pen, attributes.font, attributes.bitmap}) {
        if (GdiObject* object = gdi.Find(handle)) {
            object->selections += delta;
        }
    }
}

}  // namespace

HDC MakeWindowDc(WindowManager& wm, const Window* window, bool whole_window,
                 std::optional<Region> paint_area) {
    auto dc = std::make_shared<DeviceContext>();
    dc->process_id = GetCurrentProcessId();
    dc->thread_id = CurrentThreadId();
    dc->whole_window = whole_window;
    dc->painting = paint_area.has_value();
    dc->paint_area = std::move(paint_area);
    Gdi& gdi = wm.gdi();
    std::lock_guard guard(gdi.lock());
    if (!gdi.screen() || gdi.screen_width() != wm.screen_width() ||
        gdi.screen_height() != wm.screen_height()) {
        gdi.ResizeScreen(wm.screen_width(), wm.screen_height());
    }
    if (window) {
        dc->window = window->handle;
        ComputeWindowDcArea(wm, *dc);
    } else {
        dc->visible = Region(wm.ScreenRect());
    }
    SelectDefaults(gdi, *dc);
    DeviceContext& made = *dc;
    HGDIOBJ handle = gdi.Insert(std::move(dc));
    if (!handle) {
        SelectAll(gdi, made.attributes, -1);
    }
    return static_cast<HDC>(handle);
}

void ReleaseSelection(Gdi& gdi, HGDIOBJ handle) {
    if (GdiObject* object = gdi.Find(handle); object && object->selections > 0) {
        object->selections--;
    }
}

void FreeDc(Gdi& gdi, DeviceContext& dc) {
    SelectAll(gdi, dc.attributes, -1);
    for (const DcAttributes& saved : dc.saved) {
        SelectAll(gdi, saved, -1);
    }
    gdi.Erase(dc.handle);
}

}  // namespace tovarin::gwes

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// Runs `change` on the device context's attributes with the drawing lock held; `fallback` when
// the handle is no device context.
template <typename Result, typename Change>
Result WithDc(HDC hdc, Result fallback, Change change) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
    if (!dc) {
        SetError(ERROR_INVALID_HANDLE);
        return fallback;
    }
    return change(*dc);
}

HDC WindowDc(HWND hWnd, bool whole_window) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = nullptr;
    if (hWnd) {
        window = wm.WindowOrFail(hWnd);
        if (!window) {
            return nullptr;
        }
    }
    HDC hdc = MakeWindowDc(wm, window, whole_window, std::nullopt);
    if (!hdc) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return hdc;
}

// The clip a program set, or the device context's whole area, in device coordinates.
Region ProgramClip(Gdi& gdi, const DeviceContext& dc) {
    if (dc.attributes.clip) {
        return *dc.attributes.clip;
    }
    if (dc.memory) {
        auto* bitmap = gdi.FindAs<Bitmap>(dc.attributes.bitmap, GdiKind::Bitmap);
        return bitmap ? Region(RECT{0, 0, bitmap->width, bitmap->height}) : Region();
    }
    Region area = dc.visible;
    area.Offset(-dc.origin.x, -dc.origin.y);
    return area;
}

int RegionKind(const Region& region) {
    if (region.Empty()) {
        return NULLREGION;
    }
    return region.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace

extern "C" {

HDC WINAPI GetDC(HWND hWnd) {
    return WindowDc(hWnd, /*whole_window=*/false);
}

HDC WINAPI GetWindowDC(HWND hWnd) {
    return WindowDc(hWnd, /*whole_window=*/true);
}

int WINAPI ReleaseDC(HWND, HDC hDC) {
    {
        Gdi& gdi = WindowManager::Current().gdi();
        std::lock_guard guard(gdi.lock());
        auto* dc = gdi.FindAs<DeviceContext>(hDC, GdiKind::DeviceContext);
        if (!dc || dc->memory) {
            SetError(ERROR_INVALID_HANDLE);
            return 0;
        }
        FreeDc(gdi, *dc);
    }
    NotifyScreenObservers();
    return 1;
}

HDC WINAPI CreateCompatibleDC(HDC) {
    auto dc = std::make_shared<DeviceContext>();
    dc->memory = true;
    dc->process_id = GetCurrentProcessId();
    dc->thread_id = CurrentThreadId();
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    SelectDefaults(gdi, *dc);
    DeviceContext& made = *dc;
    HGDIOBJ handle = gdi.Insert(std::move(dc));
    if (!handle) {
        SelectAll(gdi, made.attributes, -1);
        SetError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return static_cast<HDC>(handle);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    Gdi& gdi = WindowManager::Current().gdi();
    std::lock_guard guard(gdi.lock());
    auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
    if (!dc) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    FreeDc(gdi, *dc);
    return TRUE;
}

int WINAPI SaveDC(HDC hdc) {
    return WithDc(hdc, 0, [&](DeviceContext& dc) {
        dc.saved.push_back(dc.attributes);
        SelectAll(WindowManager::Current().gdi(), dc.attributes, +1);
        return static_cast<int>(dc.saved.size());
    });
}

BOOL WINAPI RestoreDC(HDC hdc, int nSavedDC) {
    return WithDc(hdc, FALSE, [&](DeviceContext& dc) -> BOOL {
        const int count = static_cast<int>(dc.saved.size());
        const int level = nSavedDC < 0 ? count + 1 + nSavedDC : nSavedDC;
        if (level < 1 || level > count) {
            SetError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        Gdi& gdi = WindowManager::Current().gdi();
        SelectAll(gdi, dc.attributes, -1);
        dc.attributes = dc.saved[static_cast<size_t>(level - 1)];
        for (size_t i = static_cast<size_t>(level); i < dc.saved.size(); ++i) {
            SelectAll(gdi, dc.saved[i], -1);
        }
        dc.saved.resize(static_cast<size_t>(level - 1));
        return TRUE;
    });
}

int WINAPI GetDeviceCaps(HDC hdc, int nIndex) {
    WindowManager& wm = WindowManager::Current();
    int width = 0;
    int height = 0;
    {
        auto lock = wm.Lock();
        width = wm.screen_width();
        height = wm.screen_height();
    }
    return WithDc(hdc, 0, [&](DeviceContext&) {
        switch (nIndex) {
            case HORZRES:
                return width;
            case VERTRES:
                return height;
            case BITSPIXEL:
                return 32;
            case PLANES:
                return 1;
            case LOGPIXELSX:
            case LOGPIXELSY:
                return 192;
            default:
                return 0;
        }
    });
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor) {
    return WithDc(hdc, static_cast<COLORREF>(CLR_INVALID), [&](DeviceContext& dc) {
        return std::exchange(dc.attributes.text_color, crColor & 0x00FFFFFF);
    });
}

COLORREF WINAPI GetTextColor(HDC hdc) {
    return WithDc(hdc, static_cast<COLORREF>(CLR_INVALID),
                  [&](DeviceContext& dc) { return dc.attributes.text_color; });
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF crColor) {
    return WithDc(hdc, static_cast<COLORREF>(CLR_INVALID), [&](DeviceContext& dc) {
        return std::exchange(dc.attributes.bk_color, crColor & 0x00FFFFFF);
    });
}

COLORREF WINAPI GetBkColor(HDC hdc) {
    return WithDc(hdc, static_cast<COLORREF>(CLR_INVALID),
                  [&](DeviceContext& dc) { return dc.attributes.bk_color; });
}

int WINAPI SetBkMode(HDC hdc, int iBkMode) {
    if (iBkMode != TRANSPARENT && iBkMode != OPAQUE) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return WithDc(hdc, 0,
                  [&](DeviceContext& dc) { return std::exchange(dc.attributes.bk_mode, iBkMode); });
}

int WINAPI GetBkMode(HDC hdc) {
    return WithDc(hdc, 0, [&](DeviceContext& dc) { return dc.attributes.bk_mode; });
}

UINT WINAPI SetTextAlign(HDC hdc, UINT fMode) {
    return WithDc(hdc, static_cast<UINT>(GDI_ERROR), [&](DeviceContext& dc) {
        return std::exchange(dc.attributes.text_align, fMode);
    });
}

UINT WINAPI GetTextAlign(HDC hdc) {
    return WithDc(hdc, static_cast<UINT>(GDI_ERROR),
                  [&](DeviceContext& dc) { return dc.attributes.text_align; });
}

BOOL WINAPI SetViewportOrgEx(HDC hdc, int X, int Y, LPPOINT lpPoint) {
    return WithDc(hdc, FALSE, [&](DeviceContext& dc) {
        if (lpPoint) {
            *lpPoint = dc.attributes.viewport;
        }
        dc.attributes.viewport = POINT{X, Y};
        return TRUE;
    });
}

BOOL WINAPI GetViewportOrgEx(HDC hdc, LPPOINT lpPoint) {
    return WithDc(hdc, FALSE, [&](DeviceContext& dc) {
        if (lpPoint) {
            *lpPoint = dc.attributes.viewport;
        }
        return TRUE;
    });
}

// Clipping rectangles are in logical coordinates; the clip is kept in device coordinates.
int WINAPI IntersectClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect,
                             int nBottomRect) {
    return WithDc(hdc, static_cast<int>(ERROR), [&](DeviceContext& dc) {
        Region clip = ProgramClip(WindowManager::Current().gdi(), dc);
        RECT rect{nLeftRect, nTopRect, nRightRect, nBottomRect};
        OffsetRect(&rect, dc.attributes.viewport.x, dc.attributes.viewport.y);
        clip.Intersect(rect);
        dc.attributes.clip = clip;
        return RegionKind(clip);
    });
}

int WINAPI ExcludeClipRect(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    return WithDc(hdc, static_cast<int>(ERROR), [&](DeviceContext& dc) {
        Region clip = ProgramClip(WindowManager::Current().gdi(), dc);
        RECT rect{nLeftRect, nTopRect, nRightRect, nBottomRect};
        OffsetRect(&rect, dc.attributes.viewport.x, dc.attributes.viewport.y);
        clip.Subtract(rect);
        dc.attributes.clip = clip;
        return RegionKind(clip);
    });
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprc) {
    if (!lprc) {
        SetError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return ERROR;
    }
    *lprc = scope.ClipBox();
    return IsRectEmpty(lprc) ? NULLREGION : SIMPLEREGION;
}

}  // extern "C"
