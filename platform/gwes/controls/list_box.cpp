// The LISTBOX class (and ComboLBox, the list a combo box drops down): items with item data, one
// selection or several (LBS_MULTIPLESEL), sorted lists (LBS_SORT), rows of a fixed height.
//
// A tap selects the row under the stylus; when the tap has changed the selection, a list with
// LBS_NOTIFY sends LBN_SELCHANGE to its parent as the stylus lifts. A program's LB_SETCURSEL,
// LB_SELECTSTRING or LB_SETSEL sends nothing. The up and down keys move the selection as a tap
// does. A combo box's list tells its combo box instead.
#include "gwes/controls/list_box.h"

#include <algorithm>
#include <cstring>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/list_box_scroll.h"

namespace tovarin::gwes::controls {
namespace {

bool MultipleSelection(HWND hwnd) {
    return (StyleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

int RowAt(const ListBoxState& state, POINT point) {
    if (point.y < 0) {
        return ItemList::kNone;
    }
    const int row = state.top + point.y / state.item_height;
    return state.items.Valid(row) ? row : ItemList::kNone;
}

void AfterInsert(ListBoxState& state, int index) {
    if (state.current != ItemList::kNone && index <= state.current) {
        state.current++;
    }
}

LRESULT Select(HWND hwnd, ListBoxState& state, int index) {
    if (MultipleSelection(hwnd)) {
        return LB_ERR;  // documented: multiple-selection lists use LB_SETSEL
    }
    if (!state.items.Valid(index)) {
        state.current = ItemList::kNone;
        return LB_ERR;
    }
    state.current = index;
    return index;
}

LRESULT Tap(HWND hwnd, ListBoxState& state, UINT message, POINT point) {
    if (!IsEnabled(hwnd)) {
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        if (!state.combo) {
            TakeFocus(hwnd);
        }
        state.pressed = RowAt(state, point);
        return 0;
    }
    const int row = state.pressed;
    state.pressed = ItemList::kNone;
    const bool on_row = row != ItemList::kNone && RowAt(state, point) == row;
    if (state.combo) {
        SendMessageW(state.combo, kComboListTapped, static_cast<WPARAM>(on_row ? row : -1), 0);
        return 0;
    }
    if (!on_row) {
        return 0;
    }
    bool changed = false;
    if (MultipleSelection(hwnd)) {
        state.items.at(row).selected = !state.items.at(row).selected;
        state.current = row;
        changed = true;
    } else if (state.current != row) {
        state.current = row;
        changed = true;
    }
    if (changed && (StyleOf(hwnd) & LBS_NOTIFY)) {
        NotifyParent(hwnd, LBN_SELCHANGE);
    }
    return 0;
}

// The up and down keys move a single selection by one row, as the user's choice.
LRESULT Key(HWND hwnd, ListBoxState& state, UINT vk) {
    if ((vk != VK_UP && vk != VK_DOWN) || !IsEnabled(hwnd) || MultipleSelection(hwnd) ||
        state.items.count() == 0) {
        return 0;
    }
    const int row =
        state.current == ItemList::kNone
            ? 0
            : std::clamp(state.current + (vk == VK_DOWN ? 1 : -1), 0, state.items.count() - 1);
    if (row == state.current) {
        return 0;
    }
    state.current = row;
    if (state.combo) {
        return 0;  // the combo box moves its own selection
    }
    if (StyleOf(hwnd) & LBS_NOTIFY) {
        NotifyParent(hwnd, LBN_SELCHANGE);
    }
    return 0;
}

LRESULT CopyText(const ListBoxState& state, int index, LPARAM buffer) {
    if (!state.items.Valid(index)) {
        return LB_ERR;
    }
    const std::wstring& text = state.items.at(index).text;
    if (auto* out = reinterpret_cast<LPWSTR>(buffer)) {
        // The caller sized the buffer with LB_GETTEXTLEN, as documented.
        std::memcpy(out, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    return static_cast<LRESULT>(text.size());
}

LRESULT CALLBACK ListBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<ListBoxState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    const int index = static_cast<int>(static_cast<INT_PTR>(wparam));
    const auto* text = reinterpret_cast<LPCWSTR>(lparam);
    RepaintAfter repaint(hwnd, message);
    ScrollBarAfter scroll_bar(hwnd, *state, message);
    switch (message) {
        case WM_CREATE: {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
            state->items.set_sorted((StyleOf(hwnd) & LBS_SORT) != 0);
            state->scroll_bar = (StyleOf(hwnd) & WS_VSCROLL) != 0;
            if (IsClass(hwnd, kComboListClass) && create) {
                state->combo = static_cast<HWND>(create->lpCreateParams);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return Tap(hwnd, *state, message, PointOf(lparam));
        case WM_PAINT:
            PaintListBox(hwnd);
            return 0;
        case WM_VSCROLL:
            ScrollList(hwnd, *state, wparam);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_KEYDOWN:
            return Key(hwnd, *state, static_cast<UINT>(wparam));
        case LB_ADDSTRING: {
            const int at = state->items.Add(text ? text : L"");
            AfterInsert(*state, at);
            return at;
        }
        case LB_INSERTSTRING: {
            const int at = state->items.Insert(index, text ? text : L"");
            if (at == ItemList::kNone) {
                return LB_ERR;
            }
            AfterInsert(*state, at);
            return at;
        }
        case LB_DELETESTRING: {
            const int left = state->items.Delete(index);
            if (left == ItemList::kNone) {
                return LB_ERR;
            }
            if (state->current == index) {
                state->current = ItemList::kNone;
            } else if (state->current > index) {
                state->current--;
            }
            state->top = std::min(state->top, std::max(0, left - 1));
            return left;
        }
        case LB_RESETCONTENT:
            state->items.Clear();
            state->current = ItemList::kNone;
            state->top = 0;
            return 0;
        case LB_GETCOUNT:
            return state->items.count();
        case LB_GETCURSEL:
            if (MultipleSelection(hwnd)) {
                return state->current;  // the caret item, as documented
            }
            return state->current == ItemList::kNone ? LB_ERR : state->current;
        case LB_SETCURSEL:
            return Select(hwnd, *state, index);
        case LB_GETTEXT:
            return CopyText(*state, index, lparam);
        case LB_GETTEXTLEN:
            return state->items.Valid(index)
                       ? static_cast<LRESULT>(state->items.at(index).text.size())
                       : LB_ERR;
        case LB_FINDSTRING: {
            const int found = state->items.FindPrefix(index, text ? text : L"");
            return found == ItemList::kNone ? LB_ERR : found;
        }
        case LB_FINDSTRINGEXACT: {
            const int found = state->items.FindExact(index, text ? text : L"");
            return found == ItemList::kNone ? LB_ERR : found;
        }
        case LB_SELECTSTRING: {
            const int found = state->items.FindPrefix(index, text ? text : L"");
            if (found == ItemList::kNone || MultipleSelection(hwnd)) {
                return LB_ERR;
            }
            state->current = found;
            return found;
        }
        case LB_GETITEMDATA:
            return state->items.Valid(index) ? static_cast<LRESULT>(state->items.at(index).data)
                                             : LB_ERR;
        case LB_SETITEMDATA:
            if (!state->items.Valid(index)) {
                return LB_ERR;
            }
            state->items.at(index).data = static_cast<ULONG_PTR>(lparam);
            return TRUE;
        case LB_SETSEL: {
            if (!MultipleSelection(hwnd)) {
                return LB_ERR;
            }
            const int item = static_cast<int>(lparam);
            if (item == -1) {
                for (int i = 0; i < state->items.count(); ++i) {
                    state->items.at(i).selected = wparam != 0;
                }
                return 0;
            }
            if (!state->items.Valid(item)) {
                return LB_ERR;
            }
            state->items.at(item).selected = wparam != 0;
            return 0;
        }
        case LB_GETSEL:
            if (!state->items.Valid(index)) {
                return LB_ERR;
            }
            return MultipleSelection(hwnd) ? (state->items.at(index).selected ? 1 : 0)
                                           : (state->current == index ? 1 : 0);
        case LB_GETSELCOUNT: {
            if (!MultipleSelection(hwnd)) {
                return LB_ERR;
            }
            int selected = 0;
            for (int i = 0; i < state->items.count(); ++i) {
                selected += state->items.at(i).selected ? 1 : 0;
            }
            return selected;
        }
        case LB_GETTOPINDEX:
            return state->top;
        case LB_SETTOPINDEX:
            if (!state->items.Valid(index) && !(index == 0 && state->items.count() == 0)) {
                return LB_ERR;
            }
            state->top = index;
            return 0;
        case LB_GETITEMHEIGHT:
            return state->item_height;
        case LB_SETITEMHEIGHT:
            if (LOWORD(lparam) == 0 || LOWORD(lparam) > 255) {
                return LB_ERR;
            }
            state->item_height = LOWORD(lparam);
            return 0;
        case LB_GETITEMRECT: {
            if (!state->items.Valid(index) && index != 0) {
                return LB_ERR;
            }
            if (auto* rect = reinterpret_cast<RECT*>(lparam)) {
                const LONG top = (index - state->top) * state->item_height;
                *rect = RECT{0, top, ClientSize(hwnd).cx, top + state->item_height};
            }
            return 1;
        }
        case LB_ITEMFROMPOINT: {
            const POINT point = PointOf(lparam);
            const int row = RowAt(*state, point);
            const bool outside = row == ItemList::kNone || !Inside(hwnd, point);
            const int nearest =
                row == ItemList::kNone ? std::max(0, state->items.count() - 1) : row;
            return MAKELONG(nearest, outside ? 1 : 0);
        }
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC ListBoxProcedure() {
    return &ListBoxProc;
}

}  // namespace tovarin::gwes::controls
