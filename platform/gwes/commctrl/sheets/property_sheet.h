// Property sheets: the strips of a sheet and the ids of its parts. What the console needs to act
// on a sheet as a user would (its tab strip and its shown page) is host/controls.h.
#pragma once

#include <windows.h>

#include "host/controls.h"

namespace tovarin::gwes::sheets {

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
