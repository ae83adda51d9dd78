// Update regions and screen damage, with the kernel lock held.
//
// There is one frame buffer: windows paint straight into it, each clipped to its visible region
// (its area inside its parents, less the siblings above it and above its parents, less its own
// children). When a window is shown, hidden, moved, sized or restacked, the screen area it
// covered and covers is damaged: every window visible there gets that part added to its update
// region (and repaints it on WM_PAINT), and what no window covers is filled with the desktop.
#pragma once

#include <optional>

#include <windows.h>

#include "gwes/gdi/region.h"
#include "gwes/windows/window.h"

namespace tovarin::gwes {

class WindowManager;

// Whether the window and all its parents are shown.
bool ShownOnScreen(const Window& window);

// The screen area a window covers, inside its parents; empty when it is not shown.
Region ScreenArea(const Window& window);

// The part of the screen the window may draw on: its client area, or its whole rectangle.
Region VisibleRegion(WindowManager& wm, const Window& window, bool whole_window);

// Adds to the window's update region (window coordinates), clipped to the window; nothing for a
// window that is not shown. The window's thread gets WM_PAINT.
void Invalidate(WindowManager& wm, Window& window, const Region& area, bool erase);
// Takes the area out of the update region; all of it when `area` is none.
void Validate(WindowManager& wm, Window& window, const std::optional<Region>& area);

// Repaints an area of the screen (screen coordinates) from the windows under it.
void DamageScreen(WindowManager& wm, const Region& area);

// Damages what a window covered before and covers after a change of its position, size,
// visibility or place in the z-order. Made before the change, with the kernel lock held for its
// life.
class LayoutChange {
  public:
    LayoutChange(WindowManager& wm, const Window& window);
    ~LayoutChange();
    LayoutChange(const LayoutChange&) = delete;
    LayoutChange& operator=(const LayoutChange&) = delete;

  private:
    WindowManager& wm_;
    HWND hwnd_;
    Region before_;
};

// Calls the screen observers when the frame buffer changed since they were last called.
// Without any lock.
void NotifyScreenObservers();

}  // namespace tovarin::gwes
