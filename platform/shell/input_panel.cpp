#include "shell/input_panel.h"

#include <mutex>

#include <windows.h>
#include <aygshell.h>

#include "host/device.h"

namespace tovarin::shell {
namespace {

struct PanelOfDevice {
    std::mutex mutex;
    const kernel::Device* device = nullptr;  // the device the state belongs to
    InputPanelState state;
};

PanelOfDevice& Panel() {
    static PanelOfDevice panel;
    return panel;
}

// The state of the device that is up; a new device starts with the panel lowered. Mutex held.
InputPanelState& CurrentState(PanelOfDevice& panel) {
    const kernel::Device* device = &kernel::Device::Current();
    if (panel.device != device) {
        panel.device = device;
        panel.state = {};
    }
    return panel.state;
}

}  // namespace

InputPanelState InputPanel() {
    PanelOfDevice& panel = Panel();
    std::lock_guard guard(panel.mutex);
    return CurrentState(panel);
}

}  // namespace tovarin::shell

extern "C" {

BOOL WINAPI SHSipPreference(HWND hwnd, SIPSTATE st) {
    using namespace tovarin::shell;
    if (!IsWindow(hwnd) || st < SIP_UP || st > SIP_INPUTDIALOG) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PanelOfDevice& panel = Panel();
    std::lock_guard guard(panel.mutex);
    InputPanelState& state = CurrentState(panel);
    switch (st) {
        case SIP_UP:
            state.raised = true;
            state.requested_by = hwnd;
            break;
        case SIP_DOWN:
        case SIP_FORCEDOWN:
            state.raised = false;
            state.requested_by = hwnd;
            break;
        case SIP_INPUTDIALOG:
            state.input_dialog = hwnd;
            break;
        case SIP_UNCHANGED:
            break;
    }
    return TRUE;
}

}  // extern "C"
