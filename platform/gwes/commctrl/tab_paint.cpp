// How a property sheet's tab row looks: a line along the top (the page's lower edge) and under it
// one tab per page, each with rounded lower corners and its title centred; the selected tab is
// white and open to the page above it, the others grey.
#include <iterator>
#include <commctrl.h>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

constexpr int kCorner = 3;
constexpr int kGap = 2;  // between neighbouring tabs

void PaintOneTab(HWND hwnd, HDC dc, RECT tab, const wchar_t* title, bool selected,
                 COLORREF text_color) {
    const COLORREF line = GetSysColor(COLOR_BTNSHADOW);
    tab.left += kGap / 2;
    tab.right -= kGap / 2;
    if (!selected) {
        tab.top += 1;
    }
    tab.bottom -= 2;
    FillColor(dc, RECT{tab.left, tab.top, tab.right, tab.bottom - kCorner},
              GetSysColor(selected ? COLOR_WINDOW : COLOR_BTNFACE));
    FillColor(dc, RECT{tab.left + kCorner, tab.bottom - kCorner, tab.right - kCorner, tab.bottom},
              GetSysColor(selected ? COLOR_WINDOW : COLOR_BTNFACE));
    for (int i = 1; i < kCorner; ++i) {
        const int y = tab.bottom - kCorner + i - 1;
        FillColor(dc, RECT{tab.left + 1, y, tab.right - 1 - i + 1, y + 1},
                  GetSysColor(selected ? COLOR_WINDOW : COLOR_BTNFACE));
        FillColor(dc, RECT{tab.left + i - 1, y, tab.left + i, y + 1}, line);
        FillColor(dc, RECT{tab.right - i, y, tab.right - i + 1, y + 1}, line);
    }
    FillColor(dc, RECT{tab.left, tab.top, tab.left + 1, tab.bottom - kCorner + 1}, line);
    FillColor(dc, RECT{tab.right - 1, tab.top, tab.right, tab.bottom - kCorner + 1}, line);
    FillColor(dc, RECT{tab.left + kCorner - 1, tab.bottom - 1, tab.right - kCorner + 1, tab.bottom},
              line);
    RECT text = tab;
    InflateRect(&text, -2, 0);
    DrawControlText(dc, hwnd, title, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
                    text_color);
}

}  // namespace

void PaintTab(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, background);
    const COLORREF text_color = TextColorOf(hwnd, dc);
    const auto count = static_cast<int>(SendMessageW(hwnd, TCM_GETITEMCOUNT, 0, 0));
    const auto current = static_cast<int>(SendMessageW(hwnd, TCM_GETCURSEL, 0, 0));
    FillColor(dc, RECT{client.left, client.top, client.right, client.top + 1},
              GetSysColor(COLOR_BTNSHADOW));
    for (int index = 0; index < count; ++index) {
        RECT tab{};
        if (!SendMessageW(hwnd, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(&tab))) {
            continue;
        }
        wchar_t title[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        item.cchTextMax = static_cast<int>(std::size(title));
        SendMessageW(hwnd, TCM_GETITEMW, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        PaintOneTab(hwnd, dc, tab, title, index == current, text_color);
    }
}

}  // namespace tovarin::gwes::controls
