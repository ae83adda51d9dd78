// The shell's taskbar: a top-level window of class "HHTaskBar" on a device thread of its own that
// pumps messages. The answering service sends it the message that applies the ring mode again;
// the device log shows what it receives.
#pragma once

#include <string>

namespace tovarin::emulator {

// Device boot: starts the taskbar's thread and returns once its window exists. False, with a
// description, when it cannot.
bool StartTaskbar(std::string* error);

}  // namespace tovarin::emulator
