// SHCreateMenuBar: the shell's menu bar (soft-key bar) of a window.
//
// The bar is a top-level window of class "menu_worker" owned by the window it serves, over the
// menu-bar area at the bottom of the screen; SHCMBF_HIDDEN makes it hidden. An empty bar
// (SHCMBF_EMPTYBAR) has no labels; a bar with labels names its resource with nToolBarId in
// hInstRes (a menu with SHCMBF_HMENU, otherwise the bar's RCDATA), which must exist. The bar's
// window is written to hwndMB; DestroyWindow removes it. A tap on the input-panel button in its
// middle shows or hides the input panel's keyboard (input_panel_keyboard.h).
#include <cstdlib>
#include <mutex>

#include <aygshell.h>
#include <windows.h>

#include "gwes/window_manager.h"
#include "host/screen.h"
#include "host/shell_bars.h"
#include "kernel/handles.h"
#include "kernel/resources/module_resources.h"
#include "shell/input_panel_keyboard.h"

using tovarin::kernel::SetError;

namespace {

// The input-panel button's share of the bar, either side of its middle.
constexpr int kInputPanelButtonHalfWidth = 40;

LRESULT CALLBACK MenuBarProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        tovarin::shell::PaintMenuBar(hwnd);
        return 0;
    }
    if (message == WM_LBUTTONUP) {
        RECT client{};
        GetClientRect(hwnd, &client);
        const int x = static_cast<SHORT>(LOWORD(lparam));
        if (std::abs(x - (client.left + client.right) / 2) <= kInputPanelButtonHalfWidth) {
            tovarin::shell::ToggleKeyboard();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool EnsureClass() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &MenuBarProc;
    window_class.lpszClassName = tovarin::gwes::kMenuBarClassName;
    if (RegisterClassW(&window_class)) {
        return true;
    }
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;  // registered on this device before
}

}  // namespace

extern "C" {

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi) {
    if (!pmbi || pmbi->cbSize < sizeof(SHMENUBARINFO)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!tovarin::gwes::IsWindowOrFail(pmbi->hwndParent)) {
        return FALSE;
    }
    if (!(pmbi->dwFlags & SHCMBF_EMPTYBAR)) {
        LPCWSTR type = (pmbi->dwFlags & SHCMBF_HMENU) ? RT_MENU : RT_RCDATA;
        HMODULE module = tovarin::kernel::resources::ModuleOfInstance(pmbi->hInstRes);
        if (!tovarin::kernel::resources::FindModuleResource(module, type,
                                                            MAKEINTRESOURCEW(pmbi->nToolBarId))) {
            return FALSE;  // the last error says what is missing
        }
    }
    if (!EnsureClass()) {
        return FALSE;
    }
    const RECT area = tovarin::gwes::MenuBarArea();
    // A tap on the bar leaves its window in the foreground.
    const DWORD style = WS_POPUP | ((pmbi->dwFlags & SHCMBF_HIDDEN) ? 0 : WS_VISIBLE);
    HWND bar = CreateWindowExW(WS_EX_NOACTIVATE, tovarin::gwes::kMenuBarClassName, L"", style,
                               area.left, area.top, area.right - area.left, area.bottom - area.top,
                               pmbi->hwndParent, nullptr, pmbi->hInstRes, nullptr);
    if (!bar) {
        return FALSE;
    }
    pmbi->hwndMB = bar;
    return TRUE;
}

}  // extern "C"
