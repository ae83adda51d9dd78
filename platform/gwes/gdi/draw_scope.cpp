#include "gwes/gdi/draw_scope.h"

#include <cairo.h>

#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "kernel/handles.h"

namespace tovarin::gwes {
namespace {

// A window device context whose region is stale gets it again under the kernel lock, which comes
// before the drawing lock.
void RefreshIfStale(WindowManager& wm, HDC hdc) {
    Gdi& gdi = wm.gdi();
    {
        std::lock_guard guard(gdi.lock());
        auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
        if (!dc || !dc->window || dc->layout_serial == gdi.layout_serial.load()) {
            return;
        }
    }
    auto kernel = wm.Lock();
    std::lock_guard guard(gdi.lock());
    if (auto* dc = gdi.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext)) {
        ComputeWindowDcArea(wm, *dc);
    }
}

}  // namespace

void SetSourceColor(cairo_t* cr, COLORREF color) {
    cairo_set_source_rgb(cr, GetRValue(color) / 255.0, GetGValue(color) / 255.0,
                         GetBValue(color) / 255.0);
}

void ComputeWindowDcArea(WindowManager& wm, DeviceContext& dc) {
    dc.layout_serial = wm.gdi().layout_serial.load();
    const Window* window = wm.windows().Find(dc.window);
    if (!window) {
        dc.visible.Clear();
        return;
    }
    const RECT frame = WindowRectOnScreen(*window);
    if (dc.whole_window) {
        dc.origin = POINT{frame.left, frame.top};
    } else {
        const RECT client = ClientRectInWindow(*window);
        dc.origin = POINT{frame.left + client.left, frame.top + client.top};
    }
    dc.visible = VisibleRegion(wm, *window, dc.whole_window);
    if (dc.paint_area) {
        dc.visible.Intersect(*dc.paint_area);
    }
}

DrawScope::DrawScope(HDC hdc, bool drawing)
    : gdi_(WindowManager::Current().gdi()), drawing_(drawing) {
    RefreshIfStale(WindowManager::Current(), hdc);
    lock_ = std::unique_lock(gdi_.lock());
    dc_ = gdi_.FindAs<DeviceContext>(hdc, GdiKind::DeviceContext);
    if (!dc_) {
        kernel::SetError(ERROR_INVALID_HANDLE);
        return;
    }
    const DcAttributes& attributes = dc_->attributes;
    Region clip;
    POINT origin{0, 0};
    cairo_surface_t* surface = nullptr;
    if (!dc_->memory) {
        if (!gdi_.screen()) {
            const WindowManager& wm = WindowManager::Current();
            gdi_.ResizeScreen(wm.screen_width(), wm.screen_height());
        }
        surface = gdi_.screen();
        origin = dc_->origin;
        clip = dc_->visible;
    } else if (auto* bitmap = gdi_.FindAs<Bitmap>(attributes.bitmap, GdiKind::Bitmap)) {
        surface = bitmap->surface;
        target_bitmap_ = bitmap;
        if (!bitmap->dib_bits.empty()) {
            bitmap->LoadFromDib();
        }
        clip = Region(RECT{0, 0, bitmap->width, bitmap->height});
    }
    if (!surface) {
        return;
    }
    // The program's clip is in device coordinates: relative to the device context's origin.
    if (attributes.clip) {
        Region own = *attributes.clip;
        own.Offset(origin.x, origin.y);
        clip.Intersect(own);
    }
    cr_ = cairo_create(surface);
    surface_ = surface;
    device_clip_ = clip;
    if (clip.Empty()) {
        cairo_rectangle(cr_, 0, 0, 0, 0);
    }
    for (const RECT& rect : clip.Rects()) {
        cairo_rectangle(cr_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    cairo_clip(cr_);
    const int dx = origin.x + attributes.viewport.x;
    const int dy = origin.y + attributes.viewport.y;
    cairo_translate(cr_, dx, dy);
    offset_ = POINT{dx, dy};
    clip_box_ = clip.Bounds();
    OffsetRect(&clip_box_, -dx, -dy);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
}

DrawScope::~DrawScope() {
    if (cr_) {
        cairo_destroy(cr_);
        if (!drawing_) {
            return;
        }
        if (target_bitmap_) {
            cairo_surface_flush(target_bitmap_->surface);
            if (!target_bitmap_->dib_bits.empty()) {
                target_bitmap_->StoreToDib();
            }
        } else {
            gdi_.ScreenChanged();
        }
    }
}

}  // namespace tovarin::gwes
