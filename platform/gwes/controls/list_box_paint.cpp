// How a list box looks (and the list a combo box drops): its rows from the top one shown, one
// line of text each, the selected rows in the highlight colours, and in a multiple-selection list
// that has the focus a dotted frame around the caret row. An owner-drawn list
// (LBS_OWNERDRAWFIXED) asks its parent to draw each row through WM_DRAWITEM.
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/list_box.h"

namespace tovarin::gwes::controls {
namespace {

bool RowSelected(HWND hwnd, const ListBoxState& state, int row) {
    if (StyleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        return state.items.at(row).selected;
    }
    return row == state.current;
}

void DrawOwnerRow(HWND hwnd, HDC dc, const ListBoxState& state, int row, const RECT& rect,
                  bool selected, bool focused) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_LISTBOX;
    draw.CtlID = static_cast<UINT>(ControlId(hwnd));
    draw.itemID = static_cast<UINT>(row);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = (selected ? ODS_SELECTED : 0u) | (focused ? ODS_FOCUS : 0u) |
                     (IsEnabled(hwnd) ? 0u : ODS_DISABLED);
    draw.hwndItem = hwnd;
    draw.hDC = dc;
    draw.rcItem = rect;
    draw.itemData = state.items.at(row).data;
    if (HWND parent = ParentOf(hwnd)) {
        SendMessageW(parent, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
    }
}

}  // namespace

void PaintListBox(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORLISTBOX);
    const COLORREF text_color = TextColorOf(hwnd, dc);
    FillRect(dc, &client, background);
    auto state = StateAs<ListBoxState>(hwnd);
    if (!state) {
        return;
    }
    const bool focused = GetFocus() == hwnd;
    const bool multiple = (StyleOf(hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    const bool owner_drawn = (StyleOf(hwnd) & LBS_OWNERDRAWFIXED) != 0 && !state->combo;
    for (int row = std::max(0, state->top); row < state->items.count(); ++row) {
        const int top = client.top + (row - state->top) * state->item_height;
        if (top >= client.bottom) {
            break;
        }
        const RECT rect{client.left, top, client.right, top + state->item_height};
        const bool selected = RowSelected(hwnd, *state, row);
        const bool caret = focused && multiple && row == state->current;
        if (owner_drawn) {
            DrawOwnerRow(hwnd, dc, *state, row, rect, selected, caret);
            continue;
        }
        COLORREF color = text_color;
        if (selected) {
            FillRect(dc, &rect, GetSysColorBrush(COLOR_HIGHLIGHT));
            color = GetSysColor(COLOR_HIGHLIGHTTEXT);
        }
        RECT text = rect;
        InflateRect(&text, -kTextPadding, 0);
        DrawControlText(dc, hwnd, state->items.at(row).text.c_str(), text,
                        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS,
                        color);
        if (caret) {
            DrawFocusRect(dc, &rect);
        }
    }
}

}  // namespace tovarin::gwes::controls
