// What the device log keeps of window messages: every message that a window receives from
// another thread, sent or posted, with the window's class and title at that moment.
#pragma once

#include <windows.h>

#include "gwes/windows/window.h"

namespace tovarin::gwes {

// Kernel lock held, before the message reaches the window's queue, so that the record comes
// before anything the window does about it.
void RecordMessageFromOtherThread(const Window& window, UINT message, WPARAM wparam, LPARAM lparam,
                                  bool posted);

}  // namespace tovarin::gwes
