// What the console reads of a list box or a combo box, through the control's own messages, and
// how it quotes a device text in what it prints.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tovarin::emulator::console {

// A device text as the console prints it: UTF-8 in double quotes.
std::string Quoted(const std::wstring& text);

// The messages that read a list control's items: a combo box's CB_ or a list box's LB_ ones.
struct ListMessages {
    UINT count, cursel, text, text_length;
};

inline constexpr ListMessages kListBoxMessages{LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXT,
                                               LB_GETTEXTLEN};
inline constexpr ListMessages kComboBoxMessages{CB_GETCOUNT, CB_GETCURSEL, CB_GETLBTEXT,
                                                CB_GETLBTEXTLEN};

// The text of item `index`; "" when the control has no such item.
std::wstring ItemText(HWND hwnd, const ListMessages& list, LRESULT index);
// Every item, in the control's order.
std::vector<std::wstring> ItemsOf(HWND hwnd, const ListMessages& list);
// Every item of a list box, quoted: what a failure lists when a wanted item is not there.
std::vector<std::string> QuotedItemsOf(HWND list_box);

}  // namespace tovarin::emulator::console
