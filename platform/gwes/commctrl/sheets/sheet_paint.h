// How a sheet's own strips look: the title above the pages is a heading in bold blue letters, the
// link text below them is blue as links are.
#pragma once

#include <windows.h>

namespace tovarin::gwes::sheets {

// The bold font of the title strip; the sheet deletes it when it goes.
HFONT MakeHeadingFont();

// The sheet's answer to a strip's WM_CTLCOLORSTATIC: the text colour set in `dc` and the
// background brush; 0 for a window that is none of its strips.
INT_PTR StripColors(HDC dc, HWND strip, HWND title, HWND link);

}  // namespace tovarin::gwes::sheets
