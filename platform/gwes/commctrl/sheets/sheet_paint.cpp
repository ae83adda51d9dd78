#include "gwes/commctrl/sheets/sheet_paint.h"

#include <cwchar>

namespace tovarin::gwes::sheets {

HFONT MakeHeadingFont() {
    LOGFONTW heading{};
    heading.lfHeight = -24;
    heading.lfWeight = FW_BOLD;
    wcscpy(heading.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&heading);
}

INT_PTR StripColors(HDC dc, HWND strip, HWND title, HWND link) {
    if (!strip || (strip != title && strip != link)) {
        return 0;
    }
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

}  // namespace tovarin::gwes::sheets
