// The window classes of the common controls that the device has (list view, trackbar, tab),
// registered on every device from the start as the system's own, beside the standard controls.
// Each class's procedure lives in its own file of this folder; they keep their state and paint
// through the standard controls' shared parts (controls/control_state.h, control_paint.h).
#pragma once

#include <windows.h>

#include "host/controls.h"

namespace tovarin::gwes {
class ClassTable;
}

namespace tovarin::gwes::controls {

WNDPROC ListViewProcedure();
WNDPROC TrackbarProcedure();
WNDPROC TabProcedure();

// Kernel lock held (the window manager calls it as it starts).
void RegisterCommonControlClasses(ClassTable& classes);

}  // namespace tovarin::gwes::controls
