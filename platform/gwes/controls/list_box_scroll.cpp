// A list box made with WS_VSCROLL keeps its own scroll bar in step with its rows: the range is
// the items, the page the rows that fit, the position the top row; the bar shows only while the
// items do not all fit. The bar's arrows, track and thumb move the top row.
#include <algorithm>

#include "gwes/controls/list_box.h"
#include "gwes/controls/list_box_scroll.h"

namespace tovarin::gwes::controls {
namespace {

int RowsShown(HWND hwnd, const ListBoxState& state) {
    return std::max(1, static_cast<int>(ClientSize(hwnd).cy) / std::max(1, state.item_height));
}

bool Moves(UINT message) {
    switch (message) {
        case WM_CREATE:
        case WM_SIZE:
        case WM_KEYDOWN:
        case WM_VSCROLL:
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETCURSEL:
        case LB_SELECTSTRING:
        case LB_SETTOPINDEX:
        case LB_SETITEMHEIGHT:
            return true;
        default:
            return false;
    }
}

}  // namespace

ScrollBarAfter::ScrollBarAfter(HWND hwnd, ListBoxState& state, UINT message)
    : hwnd_(hwnd), state_(state), moves_(state.scroll_bar && Moves(message)) {}

ScrollBarAfter::~ScrollBarAfter() {
    if (!moves_ || !IsWindow(hwnd_)) {
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = std::max(0, state_.items.count() - 1);
    info.nPage = static_cast<UINT>(RowsShown(hwnd_, state_));
    info.nPos = state_.top;
    SetScrollInfo(hwnd_, SB_VERT, &info, TRUE);
}

void ScrollList(HWND hwnd, ListBoxState& state, WPARAM request) {
    const int rows = RowsShown(hwnd, state);
    const int last_top = std::max(0, state.items.count() - rows);
    int top = state.top;
    switch (LOWORD(request)) {
        case SB_LINEUP:
            top -= 1;
            break;
        case SB_LINEDOWN:
            top += 1;
            break;
        case SB_PAGEUP:
            top -= rows;
            break;
        case SB_PAGEDOWN:
            top += rows;
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            top = static_cast<SHORT>(HIWORD(request));
            break;
        case SB_TOP:
            top = 0;
            break;
        case SB_BOTTOM:
            top = last_top;
            break;
        default:
            return;
    }
    state.top = std::clamp(top, 0, last_top);
}

}  // namespace tovarin::gwes::controls
