// The window classes of the common controls that the device has (list view, trackbar, tab),
// registered on every device from the start as the system's own, beside the standard controls.
// Each class's procedure lives in its own file of this folder; they keep their state and paint
// through the standard controls' shared parts (controls/control_state.h, control_paint.h).
#pragma once

#include <windows.h>

namespace tovarin::gwes {
class ClassTable;
}

namespace tovarin::gwes::controls {

inline constexpr wchar_t kListViewClass[] = L"SysListView32";
inline constexpr wchar_t kTrackbarClass[] = L"msctls_trackbar32";
inline constexpr wchar_t kTabClass[] = L"SysTabControl32";

WNDPROC ListViewProcedure();
WNDPROC TrackbarProcedure();
WNDPROC TabProcedure();

// Kernel lock held (the window manager calls it as it starts).
void RegisterCommonControlClasses(ClassTable& classes);

}  // namespace tovarin::gwes::controls
