// The input panel's keyboard: a small keyboard over the bottom of the screen, just above the menu
// bar, shown and hidden by a tap on the menu bar's input-panel button. It has the digits, the
// Latin letters, a space and a backspace; a tap on a key sends the focused control of the window
// in front WM_CHAR with the character (VK_BACK for the backspace), as the phone's input panel
// types. It never takes the foreground or the focus, so the control keeps them while the user
// types. One keyboard per device, a top-level window of class "SIPWndClass" (title "Ввод").
#pragma once

#include <windows.h>

namespace tovarin::shell {

inline constexpr wchar_t kKeyboardClass[] = L"SIPWndClass";
inline constexpr int kKeyboardKeyHeight = 48;

// Shows the keyboard when it is hidden, hides it when it shows; made on the calling thread, which
// must pump messages. The keyboard now, or null when hidden.
HWND ToggleKeyboard();

// The keyboard's window while it shows, else null.
HWND ShownKeyboard();

// The character of the key at a point of the keyboard's client area (VK_BACK for the
// backspace), or 0 between keys.
wchar_t KeyboardKeyAt(HWND keyboard, POINT point);

}  // namespace tovarin::shell
