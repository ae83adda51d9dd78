// DefDlgProcW, the procedure of the dialog class.
//
// The dialog procedure sees each message first. When it answers TRUE the message is handled: the
// result is the DWL_MSGRESULT slot, except for the messages whose result the procedure returns
// itself (WM_INITDIALOG, the WM_CTLCOLOR* family, WM_COMPAREITEM, WM_VKEYTOITEM,
// WM_CHARTOITEM, WM_QUERYDRAGICON). When it answers FALSE the dialog's default handling runs:
// WM_CLOSE clicks Cancel (unless a disabled Cancel control is there), the focus is kept per
// dialog across activation, WM_NEXTDLGCTL moves it, DM_GETDEFID/DM_SETDEFID keep the default
// button id, WM_ERASEBKGND fills the dialog with the brush its WM_CTLCOLORDLG answer gives;
// the rest (the default colours among it) is DefWindowProcW's.
#include <windows.h>

#include "gwes/dialogs/dialog_manager.h"
#include "gwes/painting/default_colors.h"
#include "gwes/window_manager.h"
#include "gwes/windows/procedure_handles.h"

using namespace tovarin::gwes;

namespace {

constexpr UINT kCompareItem = 0x0039;
constexpr UINT kVKeyToItem = 0x002E;
constexpr UINT kCharToItem = 0x002F;
constexpr UINT kQueryDragIcon = 0x0037;

bool ResultIsReturnValue(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case kCompareItem:
        case kVKeyToItem:
        case kCharToItem:
        case kQueryDragIcon:
            return true;
        default:
            return false;
    }
}

// The dialog procedure now in DWL_DLGPROC (SetWindowLongW may have changed it).
DLGPROC CurrentProcedure(HWND dialog, const DialogState& state) {
    WindowManager& wm = WindowManager::Current();
    LONG slot = 0;
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(dialog);
        if (!window || window->extra.size() <= DWL_DLGPROC / 4) {
            return state.proc;
        }
        slot = window->extra[DWL_DLGPROC / 4];
    }
    if (slot == state.proc_handle) {
        return state.proc;
    }
    // The module that made the dialog most likely set its new procedure.
    return reinterpret_cast<DLGPROC>(
        ProcedureOfLong(slot, reinterpret_cast<const void*>(state.proc)));
}

bool IsInside(HWND dialog, HWND window) {
    return window && (window == dialog || IsChild(dialog, window));
}

void RestoreFocus(HWND dialog, DialogState& state) {
    HWND target = state.saved_focus;
    if (!target || !IsWindow(target) || !IsChild(dialog, target)) {
        target = GetNextDlgTabItem(dialog, nullptr, FALSE);
    }
    if (target) {
        SetFocus(target);
    }
}

LRESULT DefaultDialogHandling(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam,
                              const std::shared_ptr<DialogState>& state) {
    switch (message) {
        case WM_INITDIALOG:
            return 0;
        case WM_CLOSE: {
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel && !IsWindowEnabled(cancel)) {
                return 0;
            }
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wparam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != dialog && IsInside(dialog, focus)) {
                    state->saved_focus = focus;
                }
            } else {
                RestoreFocus(dialog, *state);
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus(dialog, *state);
            return 0;
        case WM_KILLFOCUS:
            return 0;
        case WM_NEXTDLGCTL: {
            HWND target = nullptr;
            if (LOWORD(lparam)) {
                target = reinterpret_cast<HWND>(wparam);
            } else {
                target = GetNextDlgTabItem(dialog, GetFocus(), wparam != 0);
            }
            if (target && IsInside(dialog, target)) {
                SetFocus(target);
            }
            return 0;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(state->font);
        case DM_GETDEFID:
            return MAKELONG(state->default_id, DC_HASDEFID);
        case DM_SETDEFID:
            state->default_id = static_cast<UINT>(wparam);
            return TRUE;
        case WM_ERASEBKGND:
            return EraseDialog(dialog, reinterpret_cast<HDC>(wparam));
        default:
            return DefWindowProcW(dialog, message, wparam, lparam);
    }
}

}  // namespace

extern "C" {

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowManager& wm = WindowManager::Current();
    std::shared_ptr<DialogState> state;
    {
        auto lock = wm.Lock();
        state = DialogOf(wm, hDlg);
    }
    if (!state) {
        // A window of the dialog class made without the dialog manager.
        if (Msg == WM_ERASEBKGND) {
            return EraseDialog(hDlg, reinterpret_cast<HDC>(wParam));
        }
        return DefWindowProcW(hDlg, Msg, wParam, lParam);
    }
    if (DLGPROC proc = CurrentProcedure(hDlg, *state)) {
        INT_PTR handled = proc(hDlg, Msg, wParam, lParam);
        if (handled) {
            if (ResultIsReturnValue(Msg)) {
                return handled;
            }
            return IsWindow(hDlg) ? GetWindowLongW(hDlg, DWL_MSGRESULT) : 0;
        }
        if (!IsWindow(hDlg)) {
            return 0;
        }
    }
    return DefaultDialogHandling(hDlg, Msg, wParam, lParam, state);
}

}  // extern "C"
