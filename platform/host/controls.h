// The standard controls and property sheets as the console acts on them, as a user would: the
// controls' class names, the list a combo box drops down, and the tab strip and shown page of a
// sheet.
#pragma once

#include <windows.h>

namespace tovarin::gwes::controls {

inline constexpr wchar_t kButtonClass[] = L"Button";
inline constexpr wchar_t kStaticClass[] = L"Static";
inline constexpr wchar_t kEditClass[] = L"Edit";
inline constexpr wchar_t kComboBoxClass[] = L"ComboBox";
inline constexpr wchar_t kListBoxClass[] = L"ListBox";
// The list that a drop-down combo box opens over other windows.
inline constexpr wchar_t kComboListClass[] = L"ComboLBox";
inline constexpr wchar_t kListViewClass[] = L"SysListView32";
inline constexpr wchar_t kTrackbarClass[] = L"msctls_trackbar32";
inline constexpr wchar_t kTabClass[] = L"SysTabControl32";

// The ComboLBox list that a combo box drops down; null for any other window.
HWND ComboListOf(HWND combo);

}  // namespace tovarin::gwes::controls

namespace tovarin::gwes::sheets {

struct SheetView {
    HWND tabs = nullptr;  // the tab strip along the bottom
    int current = -1;     // the shown page
    int count = 0;
    HWND page = nullptr;  // the shown page's dialog
};

// True when `hwnd` is a property sheet's window; fills `view`.
bool ViewSheet(HWND hwnd, SheetView* view);

}  // namespace tovarin::gwes::sheets
