// The LISTBOX class's record, shared with the combo box, whose drop-down list is a list box of
// the ComboLBox class: the combo box keeps its items there and hears of the user's choice.
#pragma once

#include "gwes/controls/control_state.h"
#include "gwes/controls/item_list.h"
#include "gwes/controls/standard_controls.h"

namespace tovarin::gwes::controls {

// Sent by a combo box's list to the combo box when the user taps an item (wParam: the item) or
// taps the list outside any item (wParam: -1). A value of the system's range no program uses.
inline constexpr UINT kComboListTapped = 0x03F0;

struct ListBoxState : ControlState {
    ItemList items;
    int current = ItemList::kNone;  // the selection of a single-selection list; the caret of others
    int top = 0;                    // the first row shown
    int item_height = kListItemHeight;
    int pressed = ItemList::kNone;  // the row under the stylus between down and up
    HWND combo = nullptr;           // the combo box that owns this list (ComboLBox only)
    bool scroll_bar = false;        // made with WS_VSCROLL: the bar shows while rows are hidden
};

}  // namespace tovarin::gwes::controls
