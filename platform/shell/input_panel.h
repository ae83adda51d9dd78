// The input panel (the software keyboard) as the shell keeps it: raised or lowered at the
// request of a window (SHSipPreference). The phone's screen shows it over the menu bar.
#pragma once

#include <windef.h>

namespace tovarin::shell {

struct InputPanelState {
    bool raised = false;
    HWND requested_by = nullptr;  // the window of the last request that changed it
    HWND input_dialog = nullptr;  // the window that asked for SIP_INPUTDIALOG handling
};

// The input panel of the device that is up; lowered at boot.
InputPanelState InputPanel();

}  // namespace tovarin::shell
