// Property sheets, host side: what the console needs to act on the sheet in the
// foreground as a user would (its tab strip and its shown page).
#pragma once

#include <windows.h>

namespace tovarin::gwes::sheets {

struct SheetView {
    HWND tabs = nullptr;  // the tab strip along the bottom
    int current = -1;     // the shown page
    int count = 0;
    HWND page = nullptr;  // the shown page's dialog
};

// True when `hwnd` is a property sheet's window; fills `view`.
bool ViewSheet(HWND hwnd, SheetView* view);

// Heights of the sheet's strips on the VGA screen, in pixels: the title above
// the pages, the link text below them and the tabs at the bottom.
inline constexpr int kSheetTitleHeight = 46;
inline constexpr int kSheetLinkHeight = 46;
inline constexpr int kSheetTabHeight = 48;
// The tab strip's control id, and the ids of the title and link texts.
inline constexpr int kSheetTabsId = 0x3020;
inline constexpr int kSheetTitleId = 0x3021;
inline constexpr int kSheetLinkId = 0x3022;

}  // namespace tovarin::gwes::sheets
