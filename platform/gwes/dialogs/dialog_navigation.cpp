// Keyboard navigation in dialogs: IsDialogMessageW, GetNextDlgTabItem, GetNextDlgGroupItem.
//
// IsDialogMessageW takes every message meant for the dialog or one of its controls: Tab and
// Shift+Tab move the focus among WS_TABSTOP controls, the arrow keys within the focus control's
// group (a radio button taken this way is clicked), Enter clicks the focused push button or the
// default button (WM_COMMAND with its id), Escape clicks Cancel. A control that asks for the key
// (WM_GETDLGCODE) gets it instead. Everything else it translates and dispatches itself.
#include <vector>

#include <windows.h>

#include "gwes/window_manager.h"

using namespace tovarin::gwes;

namespace {

struct Control {
    HWND hwnd;
    DWORD style;
    bool usable;  // shown and enabled
};

// Kernel lock held: the controls of a window for navigation. A child that is a control parent
// (WS_EX_CONTROLPARENT, as every DS_CONTROL dialog is) gives its own controls in its place, so
// that Tab walks into a page of a sheet as into one dialog.
void CollectControls(const Window& parent, bool parent_usable, std::vector<Control>& out) {
    for (const Window* child : parent.children) {
        const bool usable = parent_usable && child->Visible() && !(child->style & WS_DISABLED);
        if (child->ex_style & WS_EX_CONTROLPARENT) {
            CollectControls(*child, usable, out);
            continue;
        }
        out.push_back({child->handle, child->style, usable});
    }
}

std::vector<Control> ControlsOf(HWND dialog) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::vector<Control> controls;
    if (const Window* window = wm.windows().Find(dialog)) {
        CollectControls(*window, true, controls);
    }
    return controls;
}

// The control of the navigation list that holds `window` (or the window itself).
HWND ControlHolding(HWND dialog, HWND window) {
    std::vector<Control> controls = ControlsOf(dialog);
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    for (const Window* each = wm.windows().Find(window); each; each = each->parent) {
        for (const Control& control : controls) {
            if (control.hwnd == each->handle) {
                return control.hwnd;
            }
        }
        if (each->handle == dialog) {
            break;
        }
    }
    return nullptr;
}

bool IsInDialog(HWND dialog, HWND window) {
    return window == dialog || IsChild(dialog, window);
}

void SendCommand(HWND dialog, int id, HWND control) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

bool ShiftHeld() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.ShiftHeld();
}

// The key message taken as navigation; false when the focus control wants it.
bool Navigate(HWND dialog, const MSG& message) {
    HWND focus = GetFocus();
    LRESULT code = 0;
    if (focus && IsInDialog(dialog, focus) && focus != dialog) {
        code =
            SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&message));
    }
    if (code & DLGC_WANTMESSAGE) {
        return false;
    }
    switch (message.wParam) {
        case VK_TAB: {
            if (code & DLGC_WANTTAB) {
                return false;
            }
            if (HWND next = GetNextDlgTabItem(dialog, focus, ShiftHeld() ? TRUE : FALSE)) {
                SetFocus(next);
            }
            return true;
        }
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS) {
                return false;
            }
            const BOOL previous = message.wParam == VK_LEFT || message.wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(dialog, focus, previous);
            if (next && next != focus) {
                SetFocus(next);
                if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
                    SendMessageW(next, BM_CLICK, 0, 0);
                }
            }
            return true;
        }
        case VK_RETURN: {
            if (code & DLGC_DEFPUSHBUTTON || code & DLGC_UNDEFPUSHBUTTON) {
                SendCommand(dialog, GetDlgCtrlID(focus), focus);
                return true;
            }
            LRESULT default_id = SendMessageW(dialog, DM_GETDEFID, 0, 0);
            int id = HIWORD(default_id) == DC_HASDEFID ? LOWORD(default_id) : IDOK;
            HWND button = GetDlgItem(dialog, id);
            if (button && !IsWindowEnabled(button)) {
                return true;  // a disabled default button cannot be pressed
            }
            SendCommand(dialog, id, button);
            return true;
        }
        case VK_ESCAPE: {
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                return true;
            }
            SendCommand(dialog, IDCANCEL, cancel);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace

extern "C" {

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    std::vector<Control> controls = ControlsOf(hDlg);
    if (controls.empty()) {
        return nullptr;
    }
    HWND current = hCtl ? ControlHolding(hDlg, hCtl) : nullptr;
    const size_t count = controls.size();
    size_t start = 0;
    if (current) {
        for (size_t index = 0; index < count; ++index) {
            if (controls[index].hwnd == current) {
                start = index;
            }
        }
    }
    // From the control (or the first position without one), the next usable tab stop, wrapping.
    for (size_t step = current ? 1 : 0; step <= count; ++step) {
        size_t index = bPrevious ? (start + count * 2 - step) % count : (start + step) % count;
        if (!current && bPrevious) {
            index = (count * 2 - 1 - step) % count;
        }
        const Control& control = controls[index];
        if (control.usable && (control.style & WS_TABSTOP)) {
            return control.hwnd;
        }
    }
    return current;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    std::vector<Control> controls = ControlsOf(hDlg);
    HWND current = hCtl ? ControlHolding(hDlg, hCtl) : nullptr;
    size_t at = controls.size();
    for (size_t index = 0; index < controls.size(); ++index) {
        if (controls[index].hwnd == current) {
            at = index;
        }
    }
    if (at == controls.size()) {
        return controls.empty() ? nullptr : controls.front().hwnd;
    }
    // The group: from the nearest WS_GROUP control at or before `at` to the next WS_GROUP.
    size_t first = at;
    while (first > 0 && !(controls[first].style & WS_GROUP)) {
        --first;
    }
    size_t last = at + 1;
    while (last < controls.size() && !(controls[last].style & WS_GROUP)) {
        ++last;
    }
    const size_t size = last - first;
    for (size_t step = 1; step < size; ++step) {
        size_t offset = at - first;
        size_t index =
            first + (bPrevious ? (offset + size * 2 - step) % size : (offset + step) % size);
        if (controls[index].usable) {
            return controls[index].hwnd;
        }
    }
    return current;
}

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
    if (!lpMsg || !hDlg || !IsWindow(hDlg) || !lpMsg->hwnd || !IsInDialog(hDlg, lpMsg->hwnd)) {
        return FALSE;
    }
    if (lpMsg->message == WM_KEYDOWN && Navigate(hDlg, *lpMsg)) {
        return TRUE;
    }
    if (lpMsg->message == WM_CHAR &&
        (lpMsg->wParam == L'\t' || lpMsg->wParam == L'\r' || lpMsg->wParam == 0x1B)) {
        HWND focus = GetFocus();
        if (!focus ||
            !(SendMessageW(focus, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg)) &
              (DLGC_WANTCHARS | DLGC_WANTMESSAGE | DLGC_WANTTAB))) {
            return TRUE;  // the key's navigation has been done on its WM_KEYDOWN
        }
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}

}  // extern "C"
