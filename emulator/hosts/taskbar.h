// The shell's taskbar: a top-level window of class "HHTaskBar" on a device thread of its own that
// pumps messages. A tap on its Start button opens the Start menu (shell/start_menu.h), whose
// windows live on the same thread, as do the Today screen (shell/today.h), the desktop that it
// makes at boot, and the call history. The answering service sends it the message that applies the
// ring mode again; the device log shows what it receives.
#pragma once

#include <windows.h>

#include <string>

namespace tovarin::emulator {

// Sent to the taskbar to open the Start menu, as a tap on its Start button does.
inline constexpr UINT kMessageOpenStartMenu = WM_APP + 2;
// Sent to the taskbar to bring the Today screen to the front, as the Start menu's "Сегодня" does.
inline constexpr UINT kMessageShowToday = WM_APP + 3;

// Device boot: starts the taskbar's thread and returns once its window exists. False, with a
// description, when it cannot.
bool StartTaskbar(std::string* error);

// The console has let simulated time pass or set the clock: the clocks on the screen (the
// taskbar's, the Today screen's) look again. Does nothing when the phone has no taskbar.
void TellTaskbarTheClockMoved();

}  // namespace tovarin::emulator
