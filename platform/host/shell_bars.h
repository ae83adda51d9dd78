// How the shell's two bars look: the taskbar across the top (the Start mark and the foreground
// window's title on the left; signal bars, battery, the clock and the caption's "ok" or "X"
// button on the right) and the menu bar across the bottom (soft-key bar; an empty one shows only
// the input-panel button in its middle), both white on the theme's dark blue gradient.
#pragma once

#include <string>

#include <windows.h>

namespace tovarin::shell {

// What the taskbar shows; the taskbar repaints when it changes.
struct TaskbarLook {
    std::wstring title;
    bool ok_button = false;     // the foreground window has the shell's OK button in its caption
    bool close_button = false;  // a plain window: an "X"
    WORD hour = 0;
    WORD minute = 0;

    bool operator==(const TaskbarLook&) const = default;
};

// What the taskbar shows now (the taskbar itself is never the window it names).
TaskbarLook TaskbarLookNow(HWND taskbar);
void PaintTaskbar(HWND taskbar, const TaskbarLook& look);
// The caption button's place on the taskbar, in its client coordinates.
RECT TaskbarCaptionButton(HWND taskbar);

void PaintMenuBar(HWND bar);

// A soft key that a full-screen program draws in its own menu-bar strip: the bar's background
// over the key's window and its text (the window text) in white, at the key's outer side.
void PaintSoftKey(HWND key, bool right_side);

}  // namespace tovarin::shell
