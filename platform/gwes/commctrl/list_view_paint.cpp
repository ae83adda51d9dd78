// How the report list view looks: a header row of grey column buttons with their titles (none with
// LVS_NOCOLUMNHEADER), then one row per item with the item's and its sub-items' texts in their
// columns, selected rows in the highlight colours (grey when the list has no focus and shows its
// selection always), and with LVS_EX_CHECKBOXES a check box before each item.
#include <iterator>
#include <string>
#include <vector>

#include <commctrl.h>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"

#ifndef LVS_EX_CHECKBOXES
#define LVS_EX_CHECKBOXES 0x00000004
#endif
#ifndef LVCFMT_JUSTIFYMASK
#define LVCFMT_JUSTIFYMASK 0x0003
#endif
#ifndef LVIS_STATEIMAGEMASK
#define LVIS_STATEIMAGEMASK 0xF000
#endif

namespace tovarin::gwes::controls {
namespace {

constexpr int kListCheckSide = 22;

struct ColumnLook {
    std::wstring title;
    int width = 0;
    int format = LVCFMT_LEFT;
};

std::vector<ColumnLook> Columns(HWND hwnd) {
    std::vector<ColumnLook> columns;
    for (int index = 0;; ++index) {
        wchar_t title[128] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = static_cast<int>(std::size(title));
        if (!SendMessageW(hwnd, LVM_GETCOLUMNW, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&column))) {
            break;
        }
        columns.push_back({title, column.cx, column.fmt});
    }
    return columns;
}

std::wstring ItemText(HWND hwnd, int item, int sub_item) {
    wchar_t text[260] = {};
    LVITEMW request{};
    request.iSubItem = sub_item;
    request.pszText = text;
    request.cchTextMax = static_cast<int>(std::size(text));
    SendMessageW(hwnd, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&request));
    return text;
}

UINT AlignmentOf(int format) {
    switch (format & LVCFMT_JUSTIFYMASK) {
        case LVCFMT_RIGHT:
            return DT_RIGHT;
        case LVCFMT_CENTER:
            return DT_CENTER;
        default:
            return DT_LEFT;
    }
}

void PaintHeader(HWND hwnd, HDC dc, const RECT& client, const std::vector<ColumnLook>& columns) {
    const RECT header{client.left, client.top, client.right, client.top + kListItemHeight};
    FillColor(dc, header, GetSysColor(COLOR_BTNFACE));
    int left = client.left;
    for (const ColumnLook& column : columns) {
        RECT cell{left, header.top, left + column.width, header.bottom};
        FrameColor(dc, cell, GetSysColor(COLOR_BTNSHADOW));
        InflateRect(&cell, -kTextPadding, 0);
        DrawControlText(dc, hwnd, column.title.c_str(), cell,
                        AlignmentOf(column.format) | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
                        GetSysColor(COLOR_BTNTEXT));
        left += column.width;
    }
    const RECT line{client.left, header.bottom - 1, client.right, header.bottom};
    FillColor(dc, line, GetSysColor(COLOR_BTNSHADOW));
}

}  // namespace

void PaintListView(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    FillColor(dc, client, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const COLORREF text_color = TextColorOf(hwnd, dc);
    const std::vector<ColumnLook> columns = Columns(hwnd);
    const DWORD style = StyleOf(hwnd);
    int top = client.top;
    if (!(style & LVS_NOCOLUMNHEADER) && !columns.empty()) {
        PaintHeader(hwnd, dc, client, columns);
        top += kListItemHeight;
    }
    const bool focused = GetFocus() == hwnd;
    const bool checks =
        (SendMessageW(hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
    const auto count = static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0));
    for (int item = 0; item < count && top < client.bottom; ++item, top += kListItemHeight) {
        const RECT row{client.left, top, client.right, top + kListItemHeight};
        const auto state =
            static_cast<UINT>(SendMessageW(hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(item),
                                           LVIS_SELECTED | LVIS_FOCUSED | LVIS_STATEIMAGEMASK));
        COLORREF color = text_color;
        if ((state & LVIS_SELECTED) && (focused || (style & LVS_SHOWSELALWAYS))) {
            FillColor(dc, row, GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
            color = focused ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text_color;
        }
        int left = client.left;
        if (checks) {
            const int box_top = top + (kListItemHeight - kListCheckSide) / 2;
            const RECT box{left + 4, box_top, left + 4 + kListCheckSide, box_top + kListCheckSide};
            FillColor(dc, box, GetSysColor(COLOR_WINDOW));
            FrameColor(dc, box, GetSysColor(COLOR_WINDOWTEXT));
            if (((state & LVIS_STATEIMAGEMASK) >> 12) == 2) {
                DrawTick(dc, box, GetSysColor(COLOR_WINDOWTEXT));
            }
            left = box.right + 4;
        }
        const size_t shown = columns.empty() ? 1 : columns.size();
        for (size_t column = 0; column < shown; ++column) {
            const int width = columns.empty() ? client.right - left
                              : column == 0   ? columns[0].width - (left - client.left)
                                              : columns[column].width;
            RECT cell{left, top, left + width, top + kListItemHeight};
            InflateRect(&cell, -kTextPadding, 0);
            const std::wstring text = ItemText(hwnd, item, static_cast<int>(column));
            const int format = columns.empty() ? LVCFMT_LEFT : columns[column].format;
            DrawControlText(
                dc, hwnd, text.c_str(), cell,
                AlignmentOf(format) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS,
                color);
            left += width;
        }
        if (focused && (state & LVIS_FOCUSED)) {
            DrawFocusRect(dc, &row);
        }
    }
}

}  // namespace tovarin::gwes::controls
