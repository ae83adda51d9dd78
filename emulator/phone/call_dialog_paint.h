// How the phone's call screen looks on the VGA screen: a full-screen dialog (its title, from the
// phone's string library, shows in the taskbar) down to the bottom of the screen, with the state
// of the call on top, the caller's name over the number in large letters, the call timer while
// connected, the waiting second call under a thin line, and the two soft keys in its own
// menu-bar strip at the bottom.
#pragma once

#include <windows.h>

namespace tovarin::emulator::phone {

// The dialog's children. kCallTextId carries string 22601 of tapres.dll, by which the services
// know the dialog: it is made once with that text and never changes it, shown while a call rings.
inline constexpr int kCallTextId = 1;
inline constexpr int kCallerNumberId = 2;
inline constexpr int kCallStateId = 3;  // the state while the call is not ringing
inline constexpr int kCallerNameId = 4;
inline constexpr int kCallTimerId = 5;
inline constexpr int kSecondHeadingId = 6;
inline constexpr int kSecondCallerId = 7;
inline constexpr int kLeftSoftKeyId = 10;
inline constexpr int kRightSoftKeyId = 11;

// The procedure of the dialog's text children ("CallDialogText"): each paints its own text in
// the look its id gives it.
LRESULT CALLBACK CallTextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// The procedure of the soft keys ("CallSoftKey"): a key paints itself as part of the menu bar and,
// when tapped, posts WM_COMMAND with its id to the window its GWL_USERDATA names.
LRESULT CALLBACK CallSoftKeyProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// Places the children in the dialog's client area as it is now (portrait or landscape).
void LayOutCallScreen(HWND dialog);

}  // namespace tovarin::emulator::phone
