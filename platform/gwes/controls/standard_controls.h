// The window classes of the standard controls, registered on every device as the system's own
// (they cannot be unregistered). Each class's procedure lives in its own file of this folder; the
// common controls' classes are in commctrl/control_classes.h.
#pragma once

#include <windows.h>

namespace tovarin::gwes {
class ClassTable;
}

namespace tovarin::gwes::controls {

inline constexpr wchar_t kButtonClass[] = L"Button";
inline constexpr wchar_t kStaticClass[] = L"Static";
inline constexpr wchar_t kEditClass[] = L"Edit";
inline constexpr wchar_t kComboBoxClass[] = L"ComboBox";
inline constexpr wchar_t kListBoxClass[] = L"ListBox";
// The list that a drop-down combo box opens over other windows.
inline constexpr wchar_t kComboListClass[] = L"ComboLBox";

WNDPROC ButtonProcedure();
WNDPROC StaticProcedure();
WNDPROC EditProcedure();
WNDPROC ListBoxProcedure();
WNDPROC ComboBoxProcedure();

// The ComboLBox list that a combo box drops down; null for any other window.
HWND ComboListOf(HWND combo);

// Kernel lock held (the window manager calls it as it starts).
void RegisterStandardControls(ClassTable& classes);

// The height of a list row in pixels: one line of the dialog font with its spacing on the VGA
// screen. Lists of both kinds start with it; LB_SETITEMHEIGHT / CB_SETITEMHEIGHT change it.
inline constexpr int kListItemHeight = 32;
// The height of a combo box's field.
inline constexpr int kComboFieldHeight = kListItemHeight + 4;

}  // namespace tovarin::gwes::controls
