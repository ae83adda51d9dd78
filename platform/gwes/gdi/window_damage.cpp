#include "gwes/gdi/window_damage.h"

#include <cairo.h>

#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"

namespace tovarin::gwes {
namespace {

RECT OnScreen(const Window& window, const RECT& in_window) {
    const RECT frame = WindowRectOnScreen(window);
    return RECT{frame.left + in_window.left, frame.top + in_window.top,
                frame.left + in_window.right, frame.top + in_window.bottom};
}

RECT ClientOnScreen(const Window& window) {
    return OnScreen(window, ClientRectInWindow(window));
}

bool Overlap(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Every shown window that reaches into `bounds`, parents before their children, topmost first.
// A window's children lie inside it, so a window outside the bounds is passed over with all of
// them: a dialog of a thousand controls costs a look at each, not a visible region each.
void CollectShown(Window& window, const RECT& bounds, std::vector<Window*>& out) {
    if (!window.Visible() || !Overlap(WindowRectOnScreen(window), bounds)) {
        return;
    }
    out.push_back(&window);
    for (Window* child : window.children) {
        CollectShown(*child, bounds, out);
    }
}

void FillDesktop(WindowManager& wm, const Region& area) {
    if (area.Empty()) {
        return;
    }
    Gdi& gdi = wm.gdi();
    std::lock_guard guard(gdi.lock());
    cairo_t* cr = cairo_create(gdi.screen());
    for (const RECT& rect : area.Rects()) {
        cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    cairo_set_source_rgb(cr, GetRValue(kDesktopColor) / 255.0, GetGValue(kDesktopColor) / 255.0,
                         GetBValue(kDesktopColor) / 255.0);
    cairo_fill(cr);
    cairo_destroy(cr);
    gdi.ScreenChanged();
}

}  // namespace

// The screen area a window covers, inside its parents; empty when it is not shown.
Region ScreenArea(const Window& window) {
    if (!ShownOnScreen(window)) {
        return Region();
    }
    Region area(WindowRectOnScreen(window));
    for (const Window* parent = window.parent; parent; parent = parent->parent) {
        area.Intersect(ClientOnScreen(*parent));
    }
    return area;
}

bool ShownOnScreen(const Window& window) {
    for (const Window* node = &window; node; node = node->parent) {
        if (!node->Visible() || !node->alive) {
            return false;
        }
    }
    return true;
}

Region VisibleRegion(WindowManager& wm, const Window& window, bool whole_window) {
    if (!ShownOnScreen(window)) {
        return Region();
    }
    Region visible(whole_window ? WindowRectOnScreen(window) : ClientOnScreen(window));
    for (const Window* parent = window.parent; parent; parent = parent->parent) {
        visible.Intersect(ClientOnScreen(*parent));
    }
    visible.Intersect(wm.ScreenRect());
    // What lies above it: the siblings before it in z-order, and those of each parent. A group
    // box covers nothing (it only frames the controls inside it), and is itself under all of
    // its siblings, so that the radio buttons it frames show whatever their z-order.
    for (const Window* node = &window; node; node = node->parent) {
        const bool under_all = IsGroupBox(*node);
        for (const Window* sibling : wm.windows().SiblingsOf(*node)) {
            if (sibling == node) {
                if (!under_all) {
                    break;
                }
                continue;
            }
            if (sibling->Visible() && !IsGroupBox(*sibling)) {
                visible.Subtract(WindowRectOnScreen(*sibling));
            }
        }
    }
    // A child shows only inside the client area: where it reaches into the frame (under a
    // scroll bar, say), the frame is the window's own to paint.
    const RECT client = ClientOnScreen(window);
    for (const Window* child : window.children) {
        if (child->Visible()) {
            Region covered(WindowRectOnScreen(*child));
            covered.Intersect(client);
            visible.Subtract(covered);
        }
    }
    return visible;
}

void Invalidate(WindowManager& wm, Window& window, const Region& area, bool erase) {
    if (!ShownOnScreen(window) || window.destroying) {
        return;
    }
    Region added = area;
    added.Intersect(RECT{0, 0, window.width, window.height});
    if (added.Empty()) {
        return;
    }
    window.update.Add(added);
    window.erase_pending = window.erase_pending || erase;
    if (std::shared_ptr<ThreadQueue> queue = wm.QueueOf(window.thread_id)) {
        queue->SetNeedsPaint(wm.scheduler(), window.handle, true);
    }
}

void Validate(WindowManager& wm, Window& window, const std::optional<Region>& area) {
    if (area) {
        window.update.Subtract(*area);
    } else {
        window.update.Clear();
    }
    if (window.update.Empty()) {
        window.erase_pending = false;
        if (std::shared_ptr<ThreadQueue> queue = wm.QueueOf(window.thread_id)) {
            queue->SetNeedsPaint(wm.scheduler(), window.handle, false);
        }
    }
}

void DamageScreen(WindowManager& wm, const Region& area) {
    wm.gdi().layout_serial++;
    Region damaged = area;
    {
        Gdi& gdi = wm.gdi();
        std::lock_guard guard(gdi.lock());
        if (gdi.screen_width() != wm.screen_width() || gdi.screen_height() != wm.screen_height()) {
            gdi.ResizeScreen(wm.screen_width(), wm.screen_height());
            damaged = Region(wm.ScreenRect());
        }
    }
    damaged.Intersect(wm.ScreenRect());
    if (damaged.Empty()) {
        return;
    }
    std::vector<Window*> shown;
    const RECT bounds = damaged.Bounds();
    for (Window* top : wm.windows().top_level()) {
        CollectShown(*top, bounds, shown);
    }
    Region desktop = damaged;
    for (Window* window : shown) {
        Region part = VisibleRegion(wm, *window, /*whole_window=*/true);
        part.Intersect(damaged);
        if (!part.Empty()) {
            desktop.Subtract(part);
            const RECT frame = WindowRectOnScreen(*window);
            part.Offset(-frame.left, -frame.top);
            Invalidate(wm, *window, part, /*erase=*/true);
        }
    }
    FillDesktop(wm, desktop);
}

LayoutChange::LayoutChange(WindowManager& wm, const Window& window)
    : wm_(wm), hwnd_(window.handle), before_(ScreenArea(window)) {}

LayoutChange::~LayoutChange() {
    Region damaged = before_;
    if (const Window* window = wm_.windows().Find(hwnd_)) {
        damaged.Add(ScreenArea(*window));
    }
    DamageScreen(wm_, damaged);
}

}  // namespace tovarin::gwes
