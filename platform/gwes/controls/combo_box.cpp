// The COMBOBOX class, drop-down list (CBS_DROPDOWNLIST: the field shows the chosen item) and
// drop-down (CBS_DROPDOWN: the field is an edit the user may also type into).
//
// The items live in the combo box's list, a ComboLBox pop-up made with the combo box and hidden
// until the list drops: a tap on the combo box opens it over every other window (CBN_DROPDOWN
// first), a tap on an item chooses that item and closes it. The parent hears of a choice that
// changed the selection with CBN_SELCHANGE, then CBN_SELENDOK and CBN_CLOSEUP; a tap on the combo
// box while the list is open closes it with CBN_SELENDCANCEL and CBN_CLOSEUP. A program's
// CB_SETCURSEL or CB_SELECTSTRING changes the selection without any notification; the up and down
// keys choose the neighbouring item as the user's choice (CBN_SELCHANGE).
//
// The window's height in a template is the field and the dropped list together: the combo box
// keeps the field's height and drops a list as tall as the rest.
#include <algorithm>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/list_box.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"

namespace tovarin::gwes::controls {
namespace {

// The closed field: one list row and its frame.
constexpr int kFieldHeight = kComboFieldHeight;
constexpr int kEditId = 1001;  // the drop-down's edit, as programs expect to find it

struct ComboState : ControlState {
    HWND list = nullptr;
    HWND edit = nullptr;
    int dropped_height = 0;
    bool dropped = false;
    bool syncing = false;  // the combo box itself is setting the edit's text
};

bool HasEdit(HWND hwnd) {
    return (StyleOf(hwnd) & 0x3) == CBS_DROPDOWN;
}

LRESULT ToList(const ComboState& state, UINT message, WPARAM wparam, LPARAM lparam) {
    return SendMessageW(state.list, message, wparam, lparam);
}

std::wstring ItemText(const ComboState& state, int index) {
    const LRESULT length = ToList(state, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ToList(state, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The field shows the selected item (nothing when there is none).
void ShowSelection(HWND hwnd, ComboState& state) {
    const auto selected = static_cast<int>(ToList(state, LB_GETCURSEL, 0, 0));
    const std::wstring text = selected >= 0 ? ItemText(state, selected) : std::wstring();
    StoreText(hwnd, text);
    if (state.edit) {
        state.syncing = true;
        SetWindowTextW(state.edit, text.c_str());
        SendMessageW(state.edit, EM_SETSEL, 0, -1);
        state.syncing = false;
    }
}

void Window_SetGeometry(HWND hwnd, int x, int y, int width, int height, bool show, bool on_top) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    Window* window = wm.windows().Find(hwnd);
    if (!window) {
        return;
    }
    LayoutChange change(wm, *window);
    window->x = x;
    window->y = y;
    window->width = width;
    window->height = height;
    window->style = show ? window->style | WS_VISIBLE : window->style & ~WS_VISIBLE;
    if (on_top && !window->IsChild()) {
        wm.windows().BringToTop(*window);
    }
}

void OpenList(HWND hwnd, ComboState& state) {
    if (state.dropped) {
        return;
    }
    NotifyParent(hwnd, CBN_DROPDOWN);
    const POINT origin = ScreenOrigin(hwnd);
    const SIZE size = ClientSize(hwnd);
    const auto count = static_cast<int>(ToList(state, LB_GETCOUNT, 0, 0));
    const auto row = static_cast<int>(ToList(state, LB_GETITEMHEIGHT, 0, 0));
    const int height = std::max(row, std::min(state.dropped_height, std::max(1, count) * row));
    // The selected item is in view when the list opens.
    const auto selected = static_cast<int>(ToList(state, LB_GETCURSEL, 0, 0));
    const int rows = std::max(1, height / row);
    if (selected >= 0) {
        const auto top = static_cast<int>(ToList(state, LB_GETTOPINDEX, 0, 0));
        if (selected < top || selected >= top + rows) {
            ToList(state, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, selected - rows + 1)), 0);
        }
    }
    // Under the field, or above it when the screen has no room below.
    const int bottom_of_work = GetSystemMetrics(SM_CYSCREEN) - kMenuBarHeight;
    int list_top = origin.y + size.cy;
    if (list_top + height > bottom_of_work && origin.y - height >= kTaskbarHeight) {
        list_top = origin.y - height;
    }
    Window_SetGeometry(state.list, origin.x, list_top, size.cx, height, true, true);
    state.dropped = true;
    InvalidateRect(state.list, nullptr, FALSE);
}

void CloseList(HWND hwnd, ComboState& state, bool chosen) {
    if (!state.dropped) {
        return;
    }
    state.dropped = false;
    const POINT origin = ScreenOrigin(state.list);
    const SIZE size = ClientSize(state.list);
    Window_SetGeometry(state.list, origin.x, origin.y, size.cx, size.cy, false, false);
    NotifyParent(hwnd, chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    NotifyParent(hwnd, CBN_CLOSEUP);
}

void Chosen(HWND hwnd, ComboState& state, int row) {
    if (row < 0) {
        return;  // a tap beside the items keeps the list open
    }
    const auto before = static_cast<int>(ToList(state, LB_GETCURSEL, 0, 0));
    ToList(state, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    ShowSelection(hwnd, state);
    if (before != row) {
        NotifyParent(hwnd, CBN_SELCHANGE);
    }
    CloseList(hwnd, state, true);
}

void Create(HWND hwnd, ComboState& state, const CREATESTRUCTW& create) {
    // A template's WS_VSCROLL is meant for the list, not for the field.
    SetStyleBits(hwnd, WS_VSCROLL | WS_HSCROLL, false);
    const DWORD style = StyleOf(hwnd);
    state.dropped_height = std::max(kListItemHeight, create.cy - kFieldHeight);
    Window_SetGeometry(hwnd, create.x, create.y, create.cx, kFieldHeight, (style & WS_VISIBLE) != 0,
                       false);
    HWND top = hwnd;
    while (HWND parent = GetParent(top)) {
        top = parent;
    }
    const DWORD list_style =
        WS_POPUP | WS_BORDER | LBS_NOTIFY | ((style & CBS_SORT) ? LBS_SORT : 0);
    state.list =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, kComboListClass, L"", list_style, 0, 0,
                        create.cx, state.dropped_height, top, nullptr, create.hInstance, hwnd);
    if (HasEdit(hwnd)) {
        state.edit = CreateWindowExW(
            0, kEditClass, create.lpszName, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 1, 1,
            std::max(0, create.cx - kFieldHeight - 1), kFieldHeight - 2, hwnd,
            reinterpret_cast<HMENU>(static_cast<intptr_t>(kEditId)), create.hInstance, nullptr);
    }
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<ComboState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_CREATE:
            Create(hwnd, *state, *reinterpret_cast<const CREATESTRUCTW*>(lparam));
            return state->list ? 0 : -1;
        case WM_DESTROY:
            if (state->list) {
                DestroyWindow(state->list);
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (!IsEnabled(hwnd)) {
                return 0;
            }
            TakeFocus(state->edit ? state->edit : hwnd);
            if (state->dropped) {
                CloseList(hwnd, *state, false);
            } else {
                OpenList(hwnd, *state);
            }
            return 0;
        case WM_LBUTTONUP:
            return 0;
        case WM_SIZE:
            // A height given to a combo box (a relayout moving it as its template says) is the
            // height with the list dropped: the box itself keeps its field's height.
            if (HIWORD(lparam) != kFieldHeight) {
                state->dropped_height = std::max(kListItemHeight, HIWORD(lparam) - kFieldHeight);
                RECT frame{};
                GetWindowRect(hwnd, &frame);
                POINT corner{frame.left, frame.top};
                if (HWND parent = GetParent(hwnd)) {
                    ScreenToClient(parent, &corner);
                }
                Window_SetGeometry(hwnd, corner.x, corner.y, LOWORD(lparam), kFieldHeight,
                                   (StyleOf(hwnd) & WS_VISIBLE) != 0, false);
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_WANTARROWS;
        case WM_KEYDOWN: {
            // The up and down keys choose the item above or below, list open or not.
            if ((wparam != VK_UP && wparam != VK_DOWN) || !IsEnabled(hwnd)) {
                return 0;
            }
            const auto count = static_cast<int>(ToList(*state, LB_GETCOUNT, 0, 0));
            const auto before = static_cast<int>(ToList(*state, LB_GETCURSEL, 0, 0));
            if (count == 0) {
                return 0;
            }
            const int row =
                before < 0 ? 0 : std::clamp(before + (wparam == VK_DOWN ? 1 : -1), 0, count - 1);
            if (row != before) {
                ToList(*state, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
                ShowSelection(hwnd, *state);
                NotifyParent(hwnd, CBN_SELCHANGE);
            }
            return 0;
        }
        case kComboListTapped:
            Chosen(hwnd, *state, static_cast<int>(static_cast<INT_PTR>(wparam)));
            return 0;
        case WM_COMMAND:
            // The drop-down's edit: what the user types is the combo box's text.
            if (reinterpret_cast<HWND>(lparam) == state->edit && HIWORD(wparam) == EN_CHANGE &&
                !state->syncing) {
                StoreText(hwnd, StoredText(state->edit));
                NotifyParent(hwnd, CBN_EDITUPDATE);
                NotifyParent(hwnd, CBN_EDITCHANGE);
            }
            return 0;
        case WM_SETTEXT:
            if (state->edit) {
                state->syncing = true;
                SetWindowTextW(state->edit, reinterpret_cast<LPCWSTR>(lparam));
                state->syncing = false;
                return DefWindowProcW(hwnd, message, wparam, lparam);
            }
            return CB_ERR;  // a drop-down list shows only its items
        case WM_ENABLE:
            if (!wparam) {
                CloseList(hwnd, *state, false);
            }
            if (state->edit) {
                SetStyleBits(state->edit, WS_DISABLED, !wparam);
            }
            return 0;
        case CB_ADDSTRING:
        case CB_INSERTSTRING: {
            const LRESULT at = ToList(
                *state, message == CB_ADDSTRING ? LB_ADDSTRING : LB_INSERTSTRING, wparam, lparam);
            return at == LB_ERRSPACE ? CB_ERRSPACE : (at < 0 ? CB_ERR : at);
        }
        case CB_DELETESTRING:
        case CB_RESETCONTENT: {
            const LRESULT result = ToList(
                *state, message == CB_DELETESTRING ? LB_DELETESTRING : LB_RESETCONTENT, wparam, 0);
            if (!state->edit || message == CB_RESETCONTENT) {
                ShowSelection(hwnd, *state);
            }
            return result < 0 ? CB_ERR : result;
        }
        case CB_GETCOUNT:
            return ToList(*state, LB_GETCOUNT, 0, 0);
        case CB_GETCURSEL:
            return ToList(*state, LB_GETCURSEL, 0, 0);
        case CB_SETCURSEL: {
            const LRESULT result = ToList(*state, LB_SETCURSEL, wparam, 0);
            ShowSelection(hwnd, *state);
            return result < 0 ? CB_ERR : result;
        }
        case CB_SELECTSTRING: {
            const LRESULT found = ToList(*state, LB_SELECTSTRING, wparam, lparam);
            if (found >= 0) {
                ShowSelection(hwnd, *state);
            }
            return found < 0 ? CB_ERR : found;
        }
        case CB_GETLBTEXT:
            return ToList(*state, LB_GETTEXT, wparam, lparam);
        case CB_GETLBTEXTLEN:
            return ToList(*state, LB_GETTEXTLEN, wparam, 0);
        case CB_FINDSTRING:
            return ToList(*state, LB_FINDSTRING, wparam, lparam);
        case CB_FINDSTRINGEXACT:
            return ToList(*state, LB_FINDSTRINGEXACT, wparam, lparam);
        case CB_GETITEMDATA:
            return ToList(*state, LB_GETITEMDATA, wparam, 0);
        case CB_SETITEMDATA:
            return ToList(*state, LB_SETITEMDATA, wparam, lparam);
        case CB_GETITEMHEIGHT:
            return ToList(*state, LB_GETITEMHEIGHT, 0, 0);
        case CB_SETITEMHEIGHT:
            return ToList(*state, LB_SETITEMHEIGHT, 0, lparam);
        case CB_GETTOPINDEX:
            return ToList(*state, LB_GETTOPINDEX, 0, 0);
        case CB_SHOWDROPDOWN:
            if (wparam) {
                OpenList(hwnd, *state);
            } else {
                CloseList(hwnd, *state, false);
            }
            return TRUE;
        case WM_PAINT:
            PaintComboBox(hwnd);
            return 0;
        case WM_SETFONT:
            SendMessageW(state->list, WM_SETFONT, wparam, 0);
            if (state->edit) {
                SendMessageW(state->edit, WM_SETFONT, wparam, 0);
            }
            return FontMessage(hwnd, *state, message, wparam, lparam);
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        case CB_GETDROPPEDSTATE:
            return state->dropped ? TRUE : FALSE;
        case CB_GETDROPPEDCONTROLRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lparam)) {
                const POINT origin = ScreenOrigin(hwnd);
                const SIZE size = ClientSize(hwnd);
                *rect = RECT{origin.x, origin.y, origin.x + size.cx,
                             origin.y + size.cy + state->dropped_height};
            }
            return TRUE;
        case CB_LIMITTEXT:
            if (state->edit) {
                SendMessageW(state->edit, EM_LIMITTEXT, wparam, 0);
            }
            return TRUE;
        case CB_GETEDITSEL:
            return state->edit ? SendMessageW(state->edit, EM_GETSEL, wparam, lparam) : CB_ERR;
        case CB_SETEDITSEL:
            if (!state->edit) {
                return CB_ERR;
            }
            SendMessageW(state->edit, EM_SETSEL,
                         static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lparam))),
                         static_cast<SHORT>(HIWORD(lparam)));
            return TRUE;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC ComboBoxProcedure() {
    return &ComboProc;
}

// The list a combo box drops, for the console and tests: null for any other window.
HWND ComboListOf(HWND combo) {
    auto state = StateAs<ComboState>(combo);
    return state ? state->list : nullptr;
}

}  // namespace tovarin::gwes::controls
