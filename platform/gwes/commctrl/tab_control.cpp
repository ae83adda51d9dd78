// The tab control (SysTabControl32), as a property sheet shows its pages' titles along the bottom
// of the screen: tabs of equal width side by side. A tap on another tab asks the parent first
// (TCN_SELCHANGING; a TRUE answer keeps the current tab), then selects it and tells the parent
// (TCN_SELCHANGE). A program's TCM_SETCURSEL sends nothing.
#include <string>
#include <vector>

#include <commctrl.h>

#include "gwes/commctrl/control_classes.h"
#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/windows/text_copy.h"

namespace tovarin::gwes::controls {
namespace {

struct Tab {
    std::wstring text;
    LPARAM data = 0;
};

struct TabState : ControlState {
    std::vector<Tab> tabs;
    int current = -1;
};

bool Valid(const TabState& state, int index) {
    return index >= 0 && index < static_cast<int>(state.tabs.size());
}

RECT TabRect(HWND hwnd, const TabState& state, int index) {
    const SIZE size = ClientSize(hwnd);
    const int count = std::max<int>(1, static_cast<int>(state.tabs.size()));
    return RECT{size.cx * index / count, 0, size.cx * (index + 1) / count, size.cy};
}

void Tapped(HWND hwnd, TabState& state, POINT point) {
    if (!IsEnabled(hwnd) || state.tabs.empty() || !Inside(hwnd, point)) {
        return;
    }
    const SIZE size = ClientSize(hwnd);
    const int index = static_cast<int>(point.x * static_cast<long>(state.tabs.size()) /
                                       std::max<LONG>(1, size.cx));
    if (!Valid(state, index) || index == state.current) {
        return;
    }
    NMHDR header{};
    if (NotifyParentNm(hwnd, TCN_SELCHANGING, &header)) {
        return;
    }
    state.current = index;
    NotifyParentNm(hwnd, TCN_SELCHANGE, &header);
}

LRESULT CALLBACK TabProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<TabState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    const int index = static_cast<int>(static_cast<INT_PTR>(wparam));
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_LBUTTONDOWN:
            Tapped(hwnd, *state, PointOf(lparam));
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case TCM_INSERTITEMW: {
            const auto* item = reinterpret_cast<const TCITEMW*>(lparam);
            if (!item || index < 0) {
                return -1;
            }
            const int at = std::min(index, static_cast<int>(state->tabs.size()));
            Tab tab;
            tab.text = (item->mask & TCIF_TEXT) && item->pszText ? item->pszText : L"";
            tab.data = (item->mask & TCIF_PARAM) ? item->lParam : 0;
            state->tabs.insert(state->tabs.begin() + at, std::move(tab));
            if (state->current == -1) {
                state->current = 0;
            } else if (at <= state->current) {
                state->current++;
            }
            return at;
        }
        case TCM_SETITEMW:
        case TCM_GETITEMW: {
            auto* item = reinterpret_cast<TCITEMW*>(lparam);
            if (!item || !Valid(*state, index)) {
                return FALSE;
            }
            Tab& tab = state->tabs[static_cast<size_t>(index)];
            if (message == TCM_SETITEMW) {
                if (item->mask & TCIF_TEXT) {
                    tab.text = item->pszText ? item->pszText : L"";
                }
                if (item->mask & TCIF_PARAM) {
                    tab.data = item->lParam;
                }
                return TRUE;
            }
            if (item->mask & TCIF_TEXT) {
                CopyTextOut(tab.text, item->pszText, item->cchTextMax);
            }
            if (item->mask & TCIF_PARAM) {
                item->lParam = tab.data;
            }
            return TRUE;
        }
        case TCM_DELETEITEM:
            if (!Valid(*state, index)) {
                return FALSE;
            }
            state->tabs.erase(state->tabs.begin() + index);
            if (state->current >= static_cast<int>(state->tabs.size()) || state->current == index) {
                state->current = state->tabs.empty() ? -1 : 0;
            } else if (state->current > index) {
                state->current--;
            }
            return TRUE;
        case TCM_DELETEALLITEMS:
            state->tabs.clear();
            state->current = -1;
            return TRUE;
        case TCM_GETITEMCOUNT:
            return static_cast<LRESULT>(state->tabs.size());
        case TCM_GETCURSEL:
            return state->current;
        case TCM_SETCURSEL: {
            if (!Valid(*state, index)) {
                return -1;
            }
            const int previous = state->current;
            state->current = index;
            return previous;
        }
        case WM_PAINT:
            PaintTab(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        case TCM_GETITEMRECT:
            if (!Valid(*state, index) || !lparam) {
                return FALSE;
            }
            *reinterpret_cast<RECT*>(lparam) = TabRect(hwnd, *state, index);
            return TRUE;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC TabProcedure() {
    return &TabProc;
}

}  // namespace tovarin::gwes::controls
