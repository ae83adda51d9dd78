// Taking windows down: DestroyWindow on the owner's thread, and the silent removal of windows
// whose thread can no longer run their code.
#pragma once

#include <memory>

#include "gwes/windows/window.h"

namespace tovarin::gwes {

class WindowManager;

// Called on the window's own thread without the kernel lock. WM_DESTROY goes to the window
// first, then its children and owned windows are destroyed, and the window goes last.
void DestroyWindowTree(WindowManager& wm, const std::shared_ptr<Window>& window);

// With the kernel lock held: removes the window and its children at once, with no messages.
// Owned windows stay and lose their owner.
void RemoveWindowSilently(WindowManager& wm, Window& window);

}  // namespace tovarin::gwes
