// What the window system reclaims when a process ends: the drawing objects it left and the window
// classes it registered, as the system unregisters an ended program's classes. A program started
// again registers its classes anew, with the procedures of the code it runs now.
#include "gwes/gdi/gdi_leaks.h"
#include "gwes/window_manager.h"
#include "host/device.h"
#include "kernel/processes/process_object.h"

namespace tovarin::gwes {
namespace {

void ProcessEnded(uint32_t process_id, const std::wstring& image) {
    if (!kernel::Device::IsUp()) {
        return;
    }
    std::shared_ptr<WindowManager> wm = WindowManager::Existing();
    if (!wm) {
        return;
    }
    ReclaimGdiObjects(*wm, process_id, image);
    auto lock = wm->Lock();
    wm->classes().RemoveAllOf(process_id);
}

// Installed when the platform is loaded, while the process has a single thread.
[[maybe_unused]] const bool g_process_end_hook_installed = [] {
    kernel::processes::ProcessHooks::ended = &ProcessEnded;
    return true;
}();

}  // namespace
}  // namespace tovarin::gwes
