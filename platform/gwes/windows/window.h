// A window: the record behind an HWND. Every field is guarded by the kernel lock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "gwes/gdi/region.h"

namespace tovarin::gwes {

struct WindowClass;
struct DialogState;

// One of a window's own scroll bars (SB_HORZ, SB_VERT).
struct ScrollBarState {
    int min = 0;
    int max = 0;
    UINT page = 0;
    int pos = 0;
    int track_pos = 0;
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> window_class;
    std::wstring title;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    LONG id = 0;  // GWL_ID: the control identifier of a child window
    LONG user_data = 0;
    HINSTANCE instance = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<LONG> extra;  // the class's extra window bytes, as 32-bit slots

    Window* parent = nullptr;       // set for child windows only
    std::vector<Window*> children;  // z-order: the first is the top child (GW_CHILD)
    HWND owner = nullptr;           // top-level windows only
    uint32_t thread_id = 0;         // the thread that created the window and receives its messages
    uint32_t process_id = 0;

    std::shared_ptr<DialogState> dialog;  // set for windows that the dialog manager made
    ScrollBarState scroll[2];             // SB_HORZ, SB_VERT
    HWND last_active_popup = nullptr;     // top-level windows: the owned pop-up last active
    bool full_screen = false;      // the shell keeps it over the work area when the screen turns
    bool covers_menu_bar = false;  // full-screen down to the bottom of the screen

    // Painting: what needs drawing, in window coordinates (from the window's top-left corner),
    // and whether BeginPaint sends WM_ERASEBKGND first.
    Region update;
    bool erase_pending = false;

    bool destroying = false;  // WM_DESTROY has been sent
    bool alive = true;        // false once removed from the window table

    bool IsChild() const { return parent != nullptr; }
    bool Visible() const { return (style & WS_VISIBLE) != 0; }
};

}  // namespace tovarin::gwes
