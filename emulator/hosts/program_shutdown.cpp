#include "hosts/program_shutdown.h"

#include <algorithm>
#include <vector>

#include <windows.h>

#include "host/window_tree.h"
#include "host/device.h"
#include "host/processes.h"

namespace tovarin::emulator {

size_t CloseRunningPrograms(uint32_t wait_ms) {
    std::vector<uint32_t> programs;
    for (const kernel::processes::ProcessInfo& process : kernel::processes::RunningProcesses()) {
        programs.push_back(process.id);
    }
    if (programs.empty()) {
        return 0;
    }
    for (const gwes::WindowInfo& window : gwes::TopLevelWindows()) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window.hwnd, &process_id);
        if (std::find(programs.begin(), programs.end(), process_id) != programs.end()) {
            PostMessageW(window.hwnd, WM_CLOSE, 0, 0);
        }
    }
    // Each program closes on its own thread, and may take device time to stop what it plays or
    // records.
    constexpr uint32_t kStepMs = 50;
    for (uint32_t waited = 0;; waited += kStepMs) {
        kernel::WaitForDeviceIdle();
        const size_t left = kernel::processes::RunningProcesses().size();
        if (left == 0 || waited >= wait_ms) {
            return left;
        }
        kernel::AdvanceDeviceTime(kStepMs);
    }
}

}  // namespace tovarin::emulator
