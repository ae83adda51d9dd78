// How the phone's call dialog looks on the VGA screen: a full-screen dialog (its title, from the
// phone's string library, shows in the taskbar) with the text that names the call in bold and,
// under it, the caller's number in large blue letters.
#pragma once

#include <windows.h>

namespace tovarin::emulator::phone {

// The procedure of the dialog's text children ("CallDialogText"): each paints its own text.
LRESULT CALLBACK CallTextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Where the children lie in the dialog's client area.
inline constexpr RECT kCallTextRect{16, 96, 464, 152};
inline constexpr RECT kCallerNumberRect{16, 168, 464, 240};
inline constexpr int kCallTextId = 1;
inline constexpr int kCallerNumberId = 2;

}  // namespace tovarin::emulator::phone
