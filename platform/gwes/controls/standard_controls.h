// The window classes of the standard controls, registered on every device as the system's own
// (they cannot be unregistered). Each class's procedure lives in its own file of this folder; the
// common controls' classes are in commctrl/control_classes.h.
#pragma once

#include <windows.h>

#include "host/controls.h"

namespace tovarin::gwes {
class ClassTable;
}

namespace tovarin::gwes::controls {

WNDPROC ButtonProcedure();
WNDPROC StaticProcedure();
WNDPROC EditProcedure();
WNDPROC ListBoxProcedure();
WNDPROC ComboBoxProcedure();

// Kernel lock held (the window manager calls it as it starts).
void RegisterStandardControls(ClassTable& classes);

// The height of a list row in pixels: one line of the dialog font with its spacing on the VGA
// screen. Lists of both kinds start with it; LB_SETITEMHEIGHT / CB_SETITEMHEIGHT change it.
inline constexpr int kListItemHeight = 32;
// The height of a combo box's field.
inline constexpr int kComboFieldHeight = kListItemHeight + 4;

}  // namespace tovarin::gwes::controls
