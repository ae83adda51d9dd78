// A list box's own vertical scroll bar (WS_VSCROLL): kept in step after each message that moves
// the rows, and worked by WM_VSCROLL.
#pragma once

#include "gwes/controls/list_box.h"

namespace tovarin::gwes::controls {

// Declared first in the list's procedure: once the message is handled, the bar shows the rows.
class ScrollBarAfter {
  public:
    ScrollBarAfter(HWND hwnd, ListBoxState& state, UINT message);
    ~ScrollBarAfter();
    ScrollBarAfter(const ScrollBarAfter&) = delete;
    ScrollBarAfter& operator=(const ScrollBarAfter&) = delete;

  private:
    HWND hwnd_;
    ListBoxState& state_;
    bool moves_;
};

// WM_VSCROLL: moves the top row as the bar's part asks.
void ScrollList(HWND hwnd, ListBoxState& state, WPARAM request);

}  // namespace tovarin::gwes::controls
