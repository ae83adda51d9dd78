// Activation and keyboard focus, internal side.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

class WindowManager;
struct Window;

// Kernel lock held: a window goes; nothing keeps it as focus, active, capture or foreground
// window, nor as the last active pop-up of its family.
void ForgetWindowInput(WindowManager& wm, const Window& window);

// Without the lock, on the receiving thread: carries out an activation that another thread
// asked for with SetForegroundWindow (the message loops call it before taking a message).
void RunPendingActivation(WindowManager& wm);

// Kernel lock held, when the foreground window has gone (destroyed, or with its thread): the
// first shown and enabled top-level window that takes activation becomes foreground, and is
// activated on its own thread. Nothing changes while another window is foreground.
void ForegroundToNextWindow(WindowManager& wm);

// Without the lock: the window's top-level window becomes foreground and, on its own thread,
// active.
BOOL BringToForeground(HWND hwnd);

}  // namespace tovarin::gwes
