// The BUTTON class: push buttons, check boxes (two- and three-state, automatic or not), radio
// buttons (an automatic one checks itself and clears the other automatic radio buttons of its
// group), group boxes and owner-drawn buttons, which ask their parent to draw them through
// WM_DRAWITEM whenever what a user sees of them changes.
//
// A tap is WM_LBUTTONDOWN (the button shows pushed) and WM_LBUTTONUP: released over the button it
// clicks (the check changes, then BN_CLICKED goes to the parent); released elsewhere it does not.
// A disabled button takes no tap. BM_CLICK is a tap from a program; the space key pressed and
// released on the focused button clicks it too.
#include "gwes/controls/standard_controls.h"

#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

struct ButtonState : ControlState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
};

DWORD TypeOf(HWND hwnd) {
    return StyleOf(hwnd) & BS_TYPEMASK;
}

// The highest check state a button of the type can take.
UINT MaxCheck(DWORD type) {
    switch (type) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return BST_CHECKED;
        case BS_3STATE:
        case BS_AUTO3STATE:
            return BST_INDETERMINATE;
        default:
            return BST_UNCHECKED;
    }
}

void DrawItem(HWND hwnd, const ButtonState& state, UINT action) {
    if (TypeOf(hwnd) != BS_OWNERDRAW) {
        return;
    }
    const SIZE size = ClientSize(hwnd);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = static_cast<UINT>(ControlId(hwnd));
    draw.itemID = 0;
    draw.itemAction = action;
    draw.itemState = (state.pushed ? ODS_SELECTED : 0u) | (state.focused ? ODS_FOCUS : 0u) |
                     (IsEnabled(hwnd) ? 0u : ODS_DISABLED);
    draw.hwndItem = hwnd;
    draw.hDC = GetDC(hwnd);
    draw.rcItem = RECT{0, 0, size.cx, size.cy};
    if (HWND parent = ParentOf(hwnd)) {
        SendMessageW(parent, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    }
    ReleaseDC(hwnd, draw.hDC);
}

// The automatic radio buttons of the group around `hwnd`: from the sibling that starts the group
// (WS_GROUP) up to the next one that starts another.
void ClearGroupRadios(HWND hwnd) {
    HWND first = hwnd;
    while (!(StyleOf(first) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous) {
            break;
        }
        first = previous;
    }
    for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling != first && (StyleOf(sibling) & WS_GROUP)) {
            break;
        }
        if (sibling != hwnd && IsClass(sibling, kButtonClass) &&
            TypeOf(sibling) == BS_AUTORADIOBUTTON) {
            SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

void SetPushed(HWND hwnd, ButtonState& state, bool pushed) {
    if (state.pushed != pushed) {
        state.pushed = pushed;
        DrawItem(hwnd, state, ODA_SELECT);
    }
}

void Click(HWND hwnd, ButtonState& state) {
    switch (TypeOf(hwnd)) {
        case BS_AUTOCHECKBOX:
            state.check = state.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
            break;
        case BS_AUTO3STATE:
            state.check = (state.check + 1) % 3;  // unchecked, checked, indeterminate
            break;
        case BS_AUTORADIOBUTTON:
            state.check = BST_CHECKED;
            ClearGroupRadios(hwnd);
            break;
        default:
            break;
    }
    NotifyParent(hwnd, BN_CLICKED);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<ButtonState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    switch (message) {
        case WM_LBUTTONDOWN:
            if (IsEnabled(hwnd) && TypeOf(hwnd) != BS_GROUPBOX) {
                TakeFocus(hwnd);
                SetPushed(hwnd, *state, true);
            }
            return 0;
        case WM_GETDLGCODE:
            switch (TypeOf(hwnd)) {
                case BS_DEFPUSHBUTTON:
                    return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
                case BS_PUSHBUTTON:
                case BS_OWNERDRAW:
                    return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
                case BS_RADIOBUTTON:
                case BS_AUTORADIOBUTTON:
                    return DLGC_BUTTON | DLGC_RADIOBUTTON;
                case BS_GROUPBOX:
                    return DLGC_STATIC;
                default:
                    return DLGC_BUTTON;
            }
        case WM_LBUTTONUP: {
            if (!state->pushed) {
                return 0;
            }
            SetPushed(hwnd, *state, false);
            if (IsEnabled(hwnd) && Inside(hwnd, PointOf(lparam))) {
                Click(hwnd, *state);
            }
            return 0;
        }
        case WM_KEYDOWN:
            // The action key (space) pushes the focused button as the stylus does.
            if (wparam == VK_SPACE && IsEnabled(hwnd) && TypeOf(hwnd) != BS_GROUPBOX) {
                SetPushed(hwnd, *state, true);
            }
            return 0;
        case WM_KEYUP:
            if (wparam == VK_SPACE && state->pushed) {
                SetPushed(hwnd, *state, false);
                Click(hwnd, *state);
            }
            return 0;
        case BM_CLICK:
            SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        case BM_GETCHECK:
            return static_cast<LRESULT>(state->check);
        case BM_SETCHECK:
            state->check = std::min(static_cast<UINT>(wparam), MaxCheck(TypeOf(hwnd)));
            return 0;
        case BM_GETSTATE:
            return static_cast<LRESULT>(state->check | (state->pushed ? BST_PUSHED : 0u) |
                                        (state->focused ? BST_FOCUS : 0u));
        case BM_SETSTATE:
            SetPushed(hwnd, *state, wparam != 0);
            return 0;
        case BM_SETSTYLE:
            SetStyleBits(hwnd, BS_TYPEMASK, false);
            SetStyleBits(hwnd, static_cast<DWORD>(wparam) & BS_TYPEMASK, true);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            state->focused = message == WM_SETFOCUS;
            DrawItem(hwnd, *state, ODA_FOCUS);
            return 0;
        case WM_ENABLE:
            if (!wparam) {
                state->pushed = false;
            }
            DrawItem(hwnd, *state, ODA_DRAWENTIRE);
            return 0;
        case WM_PAINT:
            ValidateRect(hwnd, nullptr);  // the whole button is drawn again
            DrawItem(hwnd, *state, ODA_DRAWENTIRE);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC ButtonProcedure() {
    return &ButtonProc;
}

}  // namespace tovarin::gwes::controls
