// InitCommonControlsEx: device code asks for control classes before it creates such controls.
//
// The device remembers which classes were asked for. The classes that exist (list view, trackbar,
// tab) are registered with the window manager from the start, so asking only records the request;
// controls not built (toolbar, status bar, progress bar, ...) still fail to be created as any
// unknown class does.
#include "gwes/commctrl/common_controls.h"

#include <atomic>

#include <windows.h>
#include <commctrl.h>

#include "gwes/commctrl/control_classes.h"
#include "gwes/windows/window_class.h"
#include "kernel/device_local.h"

namespace tovarin::gwes {
namespace {

struct CommonControls {
    std::atomic<uint32_t> initialized{0};
};

std::shared_ptr<CommonControls> State() {
    static auto* state = new kernel::DeviceLocal<CommonControls>;
    return state->Get();
}

}  // namespace

uint32_t InitializedCommonControls() {
    return State()->initialized.load();
}

void controls::RegisterCommonControlClasses(ClassTable& classes) {
    classes.Add({.name = kListViewClass, .proc = ListViewProcedure(), .built_in = true});
    classes.Add({.name = kTrackbarClass, .proc = TrackbarProcedure(), .built_in = true});
    classes.Add({.name = kTabClass, .proc = TabProcedure(), .built_in = true});
}

}  // namespace tovarin::gwes

extern "C" {

void WINAPI InitCommonControls(void) {
    tovarin::gwes::State()->initialized.fetch_or(ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                 ICC_PROGRESS_CLASS);
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* lpInitCtrls) {
    if (!lpInitCtrls || lpInitCtrls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    tovarin::gwes::State()->initialized.fetch_or(lpInitCtrls->dwICC);
    return TRUE;
}

}  // extern "C"
