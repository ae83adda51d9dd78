// The host door's window tree (host/window_tree.h), read from the window manager under its lock.
#include "host/window_tree.h"

#include "gwes/window_manager.h"

namespace tovarin::gwes {
namespace {

WindowInfo Describe(const Window& window) {
    return {.hwnd = window.handle,
            .window_class = window.window_class->name,
            .title = window.title,
            .visible = window.Visible(),
            .thread_id = window.thread_id,
            .owner = window.owner};
}

}  // namespace

std::vector<WindowInfo> TopLevelWindows() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::vector<WindowInfo> windows;
    for (const Window* window : wm.windows().top_level()) {
        windows.push_back(Describe(*window));
    }
    return windows;
}

std::vector<WindowInfo> ChildWindows(HWND parent) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::vector<WindowInfo> windows;
    if (const Window* window = wm.windows().Find(parent)) {
        for (const Window* child : window->children) {
            windows.push_back(Describe(*child));
        }
    }
    return windows;
}

HWND FocusedWindow() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* target = wm.KeyTarget();
    return target ? target->handle : nullptr;
}

}  // namespace tovarin::gwes
