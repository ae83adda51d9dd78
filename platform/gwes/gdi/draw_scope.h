// One drawing operation on a device context: takes the drawing lock, brings a window device
// context's visible region up to date, and gives a cairo context on the target (the screen or the
// selected bitmap) in the device context's logical coordinates, clipped to what it may touch.
#pragma once

#include <mutex>

#include <windows.h>

#include "gwes/gdi/gdi_objects.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace tovarin::gwes {

class WindowManager;

class DrawScope {
  public:
    // `drawing`: false for a scope that only reads (the clip box), which changes no pixel.
    explicit DrawScope(HDC hdc, bool drawing = true);
    ~DrawScope();
    DrawScope(const DrawScope&) = delete;
    DrawScope& operator=(const DrawScope&) = delete;

    // False (last-error set) when the handle is no device context.
    explicit operator bool() const { return dc_ != nullptr; }
    DeviceContext& dc() { return *dc_; }
    Gdi& gdi() { return gdi_; }
    // Null when the device context has nothing to draw on (a memory device context without a
    // bitmap); the operation then succeeds and changes nothing.
    cairo_t* cr() { return cr_; }
    // The clip in logical coordinates: its bounding box.
    RECT ClipBox() const { return clip_box_; }
    // For pixel work: the target surface, what may be touched on it (surface coordinates) and
    // where logical (0, 0) lies on it.
    cairo_surface_t* surface() const { return surface_; }
    const Region& device_clip() const { return device_clip_; }
    POINT offset() const { return offset_; }

    template <typename T>
    T* Selected(GdiKind kind) {
        HGDIOBJ handle = kind == GdiKind::Brush ? dc_->attributes.brush
                         : kind == GdiKind::Pen ? dc_->attributes.pen
                                                : dc_->attributes.font;
        return gdi_.FindAs<T>(handle, kind);
    }

  private:
    Gdi& gdi_;
    std::unique_lock<std::mutex> lock_;
    DeviceContext* dc_ = nullptr;
    Bitmap* target_bitmap_ = nullptr;
    cairo_t* cr_ = nullptr;
    cairo_surface_t* surface_ = nullptr;
    Region device_clip_;
    POINT offset_{0, 0};
    bool drawing_ = true;
    RECT clip_box_{0, 0, 0, 0};
};

// The colour as cairo takes it.
void SetSourceColor(cairo_t* cr, COLORREF color);

// Kernel lock held: a window device context's origin and visible region, on the screen.
void ComputeWindowDcArea(WindowManager& wm, DeviceContext& dc);

}  // namespace tovarin::gwes
