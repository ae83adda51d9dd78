// The list view (SysListView32) in report view: columns with a header row (none with
// LVS_NOCOLUMNHEADER), items with sub-item texts, item data and the selected and focused states.
// On the phone it often serves as the framed area that other controls of a page lie in.
//
// Every change of an item's state sends LVN_ITEMCHANGED to the parent, whoever made it; a tap on
// a row selects it (a single-selection list clears the others first) and then sends NM_CLICK.
#include <algorithm>
#include <string>
#include <vector>

#include <commctrl.h>

#include "gwes/commctrl/control_classes.h"
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"
#include "gwes/controls/text_compare.h"
#include "gwes/windows/text_copy.h"

namespace tovarin::gwes::controls {
namespace {

struct Column {
    std::wstring text;
    int width = 0;
    int format = LVCFMT_LEFT;
};

struct Row {
    std::vector<std::wstring> texts;  // [0] the item, then its sub-items
    LPARAM data = 0;
    UINT state = 0;  // LVIS_*
};

struct ListViewState : ControlState {
    std::vector<Column> columns;
    std::vector<Row> rows;
    DWORD extended = 0;
};

bool ValidItem(const ListViewState& state, int item) {
    return item >= 0 && item < static_cast<int>(state.rows.size());
}

int HeaderHeight(HWND hwnd) {
    return (StyleOf(hwnd) & LVS_NOCOLUMNHEADER) ? 0 : kListItemHeight;
}

std::wstring& TextOf(Row& row, int sub_item) {
    if (row.texts.size() <= static_cast<size_t>(sub_item)) {
        row.texts.resize(static_cast<size_t>(sub_item) + 1);
    }
    return row.texts[static_cast<size_t>(sub_item)];
}

void ItemChanged(HWND hwnd, const Row& row, int item, UINT old_state) {
    NMLISTVIEW change{};
    change.iItem = item;
    change.uNewState = row.state;
    change.uOldState = old_state;
    change.uChanged = LVIF_STATE;
    change.lParam = row.data;
    NotifyParentNm(hwnd, LVN_ITEMCHANGED, &change);
}

void SetState(HWND hwnd, ListViewState& state, int item, UINT value, UINT mask) {
    Row& row = state.rows[static_cast<size_t>(item)];
    const UINT old_state = row.state;
    row.state = (row.state & ~mask) | (value & mask);
    if (row.state != old_state) {
        ItemChanged(hwnd, row, item, old_state);
    }
}

LRESULT SetItem(HWND hwnd, ListViewState& state, const LVITEMW& item) {
    if (!ValidItem(state, item.iItem) || item.iSubItem < 0) {
        return FALSE;
    }
    Row& row = state.rows[static_cast<size_t>(item.iItem)];
    if (item.mask & LVIF_TEXT) {
        TextOf(row, item.iSubItem) = item.pszText ? item.pszText : L"";
    }
    if (item.iSubItem == 0 && (item.mask & LVIF_PARAM)) {
        row.data = item.lParam;
    }
    if (item.iSubItem == 0 && (item.mask & LVIF_STATE)) {
        SetState(hwnd, state, item.iItem, item.state, item.stateMask);
    }
    return TRUE;
}

LRESULT GetItem(ListViewState& state, LVITEMW& item) {
    if (!ValidItem(state, item.iItem) || item.iSubItem < 0) {
        return FALSE;
    }
    Row& row = state.rows[static_cast<size_t>(item.iItem)];
    if (item.mask & LVIF_TEXT) {
        CopyTextOut(TextOf(row, item.iSubItem), item.pszText, item.cchTextMax);
    }
    if (item.mask & LVIF_PARAM) {
        item.lParam = row.data;
    }
    if (item.mask & LVIF_STATE) {
        item.state = row.state & item.stateMask;
    }
    return TRUE;
}

LRESULT InsertItem(ListViewState& state, const LVITEMW& item) {
    if (item.iSubItem != 0 || item.iItem < 0) {
        return -1;
    }
    const int at = std::min(item.iItem, static_cast<int>(state.rows.size()));
    Row row;
    row.texts.emplace_back((item.mask & LVIF_TEXT) && item.pszText ? item.pszText : L"");
    row.data = (item.mask & LVIF_PARAM) ? item.lParam : 0;
    row.state = (item.mask & LVIF_STATE) ? (item.state & item.stateMask) : 0;
    state.rows.insert(state.rows.begin() + at, std::move(row));
    return at;
}

int NextItem(const ListViewState& state, int start, UINT flags) {
    for (int item = start + 1; item < static_cast<int>(state.rows.size()); ++item) {
        const UINT wanted = flags & (LVNI_SELECTED | LVNI_FOCUSED);
        if ((state.rows[static_cast<size_t>(item)].state & wanted) == wanted) {
            return item;
        }
    }
    return -1;
}

void Tap(HWND hwnd, ListViewState& state, POINT point) {
    const int y = point.y - HeaderHeight(hwnd);
    const int item = y < 0 ? -1 : y / kListItemHeight;
    if (!ValidItem(state, item)) {
        return;
    }
    if (StyleOf(hwnd) & LVS_SINGLESEL) {
        for (int other = 0; other < static_cast<int>(state.rows.size()); ++other) {
            if (other != item) {
                SetState(hwnd, state, other, 0, LVIS_SELECTED | LVIS_FOCUSED);
            }
        }
    }
    SetState(hwnd, state, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    NMHDR click{};
    NotifyParentNm(hwnd, NM_CLICK, &click);
}

LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<ListViewState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    const int index = static_cast<int>(static_cast<INT_PTR>(wparam));
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_LBUTTONDOWN:
            if (IsEnabled(hwnd)) {
                TakeFocus(hwnd);
                Tap(hwnd, *state, PointOf(lparam));
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case LVM_INSERTCOLUMNW: {
            const auto* column = reinterpret_cast<const LVCOLUMNW*>(lparam);
            if (!column || index < 0) {
                return -1;
            }
            const int at = std::min(index, static_cast<int>(state->columns.size()));
            Column made;
            made.text = (column->mask & LVCF_TEXT) && column->pszText ? column->pszText : L"";
            made.width = (column->mask & LVCF_WIDTH) ? column->cx : 0;
            made.format = (column->mask & LVCF_FMT) ? column->fmt : LVCFMT_LEFT;
            state->columns.insert(state->columns.begin() + at, std::move(made));
            return at;
        }
        case LVM_SETCOLUMNW:
        case LVM_GETCOLUMNW: {
            auto* column = reinterpret_cast<LVCOLUMNW*>(lparam);
            if (!column || index < 0 || index >= static_cast<int>(state->columns.size())) {
                return FALSE;
            }
            Column& target = state->columns[static_cast<size_t>(index)];
            if (message == LVM_SETCOLUMNW) {
                if (column->mask & LVCF_TEXT) {
                    target.text = column->pszText ? column->pszText : L"";
                }
                if (column->mask & LVCF_WIDTH) {
                    target.width = column->cx;
                }
                if (column->mask & LVCF_FMT) {
                    target.format = column->fmt;
                }
                return TRUE;
            }
            if (column->mask & LVCF_TEXT) {
                CopyTextOut(target.text, column->pszText, column->cchTextMax);
            }
            if (column->mask & LVCF_WIDTH) {
                column->cx = target.width;
            }
            if (column->mask & LVCF_FMT) {
                column->fmt = target.format;
            }
            if (column->mask & LVCF_SUBITEM) {
                column->iSubItem = index;
            }
            return TRUE;
        }
        case LVM_DELETECOLUMN:
            if (index < 0 || index >= static_cast<int>(state->columns.size())) {
                return FALSE;
            }
            state->columns.erase(state->columns.begin() + index);
            return TRUE;
        case LVM_GETCOLUMNWIDTH:
            return index >= 0 && index < static_cast<int>(state->columns.size())
                       ? state->columns[static_cast<size_t>(index)].width
                       : 0;
        case LVM_SETCOLUMNWIDTH:
            if (index < 0 || index >= static_cast<int>(state->columns.size())) {
                return FALSE;
            }
            state->columns[static_cast<size_t>(index)].width = static_cast<SHORT>(LOWORD(lparam));
            return TRUE;
        case LVM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lparam);
            return item ? InsertItem(*state, *item) : -1;
        }
        case LVM_SETITEMW: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lparam);
            return item ? SetItem(hwnd, *state, *item) : FALSE;
        }
        case LVM_GETITEMW: {
            auto* item = reinterpret_cast<LVITEMW*>(lparam);
            return item ? GetItem(*state, *item) : FALSE;
        }
        case LVM_SETITEMTEXTW: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lparam);
            if (!item || !ValidItem(*state, index) || item->iSubItem < 0) {
                return FALSE;
            }
            TextOf(state->rows[static_cast<size_t>(index)], item->iSubItem) =
                item->pszText ? item->pszText : L"";
            return TRUE;
        }
        case LVM_GETITEMTEXTW: {
            auto* item = reinterpret_cast<LVITEMW*>(lparam);
            if (!item || !ValidItem(*state, index) || item->iSubItem < 0) {
                return 0;
            }
            return CopyTextOut(TextOf(state->rows[static_cast<size_t>(index)], item->iSubItem),
                               item->pszText, item->cchTextMax);
        }
        case LVM_GETITEMCOUNT:
            return static_cast<LRESULT>(state->rows.size());
        case LVM_DELETEITEM:
            if (!ValidItem(*state, index)) {
                return FALSE;
            }
            state->rows.erase(state->rows.begin() + index);
            return TRUE;
        case LVM_DELETEALLITEMS:
            state->rows.clear();
            return TRUE;
        case LVM_GETNEXTITEM:
            return NextItem(*state, index, static_cast<UINT>(lparam));
        case LVM_SETITEMSTATE: {
            const auto* item = reinterpret_cast<const LVITEMW*>(lparam);
            if (!item) {
                return FALSE;
            }
            if (index == -1) {
                for (int each = 0; each < static_cast<int>(state->rows.size()); ++each) {
                    SetState(hwnd, *state, each, item->state, item->stateMask);
                }
                return TRUE;
            }
            if (!ValidItem(*state, index)) {
                return FALSE;
            }
            SetState(hwnd, *state, index, item->state, item->stateMask);
            return TRUE;
        }
        case LVM_GETITEMSTATE:
            return ValidItem(*state, index)
                       ? static_cast<LRESULT>(state->rows[static_cast<size_t>(index)].state &
                                              static_cast<UINT>(lparam))
                       : 0;
        case LVM_GETSELECTEDCOUNT:
            return std::count_if(state->rows.begin(), state->rows.end(),
                                 [](const Row& row) { return (row.state & LVIS_SELECTED) != 0; });
        case LVM_GETITEMRECT: {
            auto* rect = reinterpret_cast<RECT*>(lparam);
            if (!rect || !ValidItem(*state, index)) {
                return FALSE;
            }
            const LONG top = HeaderHeight(hwnd) + index * kListItemHeight;
            *rect = RECT{0, top, ClientSize(hwnd).cx, top + kListItemHeight};
            return TRUE;
        }
        case LVM_FINDITEMW: {
            const auto* find = reinterpret_cast<const LVFINDINFOW*>(lparam);
            if (!find) {
                return -1;
            }
            for (int item = index + 1; item < static_cast<int>(state->rows.size()); ++item) {
                const Row& row = state->rows[static_cast<size_t>(item)];
                if ((find->flags & LVFI_PARAM) && row.data == find->lParam) {
                    return item;
                }
                if ((find->flags & LVFI_STRING) && find->psz) {
                    const std::wstring_view wanted = find->psz;
                    const bool match = (find->flags & LVFI_PARTIAL)
                                           ? StartsWithNoCase(row.texts[0], wanted)
                                           : CompareNoCase(row.texts[0], wanted) == 0;
                    if (match) {
                        return item;
                    }
                }
            }
            return -1;
        }
        case LVM_SETEXTENDEDLISTVIEWSTYLE: {
            const DWORD previous = state->extended;
            const DWORD mask = wparam ? static_cast<DWORD>(wparam) : ~DWORD{0};
            state->extended = (state->extended & ~mask) | (static_cast<DWORD>(lparam) & mask);
            return static_cast<LRESULT>(previous);
        }
        case LVM_GETEXTENDEDLISTVIEWSTYLE:
            return static_cast<LRESULT>(state->extended);
        case WM_PAINT:
            PaintListView(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC ListViewProcedure() {
    return &ListViewProc;
}

}  // namespace tovarin::gwes::controls
