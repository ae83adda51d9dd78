// The screen, host side: its size as it is turned now, and the shell's part in a turn.
//
// The screen is 480 x 640 (VGA, 192 dpi) in portrait; it turns to landscape (640 x 480) or to a
// square (480 x 480). The shell's taskbar takes the top 52 pixels and the menu-bar area the bottom
// 52 in every orientation; a full-screen window has what is between (the work area), or down to
// the bottom without the menu bar.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

enum class Orientation { Portrait, Landscape, Square };

// Turns the screen. Every window the shell keeps full-screen is moved and sized to the new work
// area (WM_SIZE reaches it through WM_WINDOWPOSCHANGED on its own thread), and the menu bars to
// the new bottom strip. Without the lock.
void TurnScreen(Orientation orientation);
Orientation CurrentOrientation();

// The shell keeps the window over the work area (or, without the menu bar, down to the bottom
// of the screen) now and whenever the screen turns. Without the lock.
void KeepFullScreen(HWND hwnd, bool cover_menu_bar);

// The rectangle of the menu-bar area on the screen now.
RECT MenuBarArea();

// The class of the shell's menu bars (SHCreateMenuBar).
inline constexpr wchar_t kMenuBarClassName[] = L"menu_worker";

}  // namespace tovarin::gwes
