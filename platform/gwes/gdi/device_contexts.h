// Making and freeing device contexts: of windows (GetDC, GetWindowDC, BeginPaint), of the whole
// screen and in memory.
#pragma once

#include <optional>

#include <windows.h>

#include "gwes/gdi/gdi_objects.h"
#include "gwes/gdi/region.h"
#include "gwes/windows/window.h"

namespace tovarin::gwes {

class WindowManager;

// Kernel lock held. `window` null: the whole screen. `paint_area`: BeginPaint's update region,
// on the screen. Null when the table is full.
HDC MakeWindowDc(WindowManager& wm, const Window* window, bool whole_window,
                 std::optional<Region> paint_area);

// Drawing lock held: an object is no longer selected into a device context.
void ReleaseSelection(Gdi& gdi, HGDIOBJ handle);
// Drawing lock held: deselects everything and frees the device context.
void FreeDc(Gdi& gdi, DeviceContext& dc);

}  // namespace tovarin::gwes
