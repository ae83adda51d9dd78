// InitCommonControlsEx: device code asks for control classes before it creates such controls.
//
// The device remembers which classes were asked for. The controls themselves (toolbar, status
// bar, trackbar, progress bar, ...) are not built yet, so no window class is registered for them:
// creating one of those windows still fails as for any unknown class.
#include "gwes/common_controls.h"

#include <atomic>

#include <windows.h>
#include <commctrl.h>

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

}  // namespace tovarin::gwes

extern "C" {

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* lpInitCtrls) {
    if (!lpInitCtrls || lpInitCtrls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    tovarin::gwes::State()->initialized.fetch_or(lpInitCtrls->dwICC);
    return TRUE;
}

}  // extern "C"
