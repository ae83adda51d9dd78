// The default answer to the WM_CTLCOLOR* messages: the colours of the phone's theme through the
// system colours. Edits and lists are the window colours, statics and dialogs the static colours
// (both white with black text on the phone), push buttons the button face, and a read-only or
// disabled edit, which asks as a static does, grey.
#include "gwes/painting/default_colors.h"

#include <string>

namespace tovarin::gwes {
namespace {

bool IsEditClass(HWND hwnd) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return std::wstring_view(name) == L"Edit";
}

}  // namespace

LRESULT DefaultControlColors(UINT message, HDC dc, HWND control) {
    int background = COLOR_WINDOW;
    int text = COLOR_WINDOWTEXT;
    switch (message) {
        case WM_CTLCOLORBTN:
            background = COLOR_BTNFACE;
            text = COLOR_BTNTEXT;
            break;
        case WM_CTLCOLORSCROLLBAR:
            background = COLOR_SCROLLBAR;
            break;
        case WM_CTLCOLORSTATIC:
            if (control && IsEditClass(control)) {
                background = COLOR_BTNFACE;
                break;
            }
            background = COLOR_STATIC;
            text = COLOR_STATICTEXT;
            break;
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORMSGBOX:
            background = COLOR_STATIC;
            text = COLOR_STATICTEXT;
            break;
        default:
            break;
    }
    if (dc) {
        SetTextColor(dc, GetSysColor(text));
        SetBkColor(dc, GetSysColor(background));
    }
    return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
}

}  // namespace tovarin::gwes

namespace tovarin::gwes {

LRESULT EraseDialog(HWND dialog, HDC dc) {
    if (!dc) {
        return FALSE;
    }
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        dialog, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dialog)));
    if (!brush) {
        brush = GetSysColorBrush(COLOR_WINDOW);
    }
    RECT client{};
    GetClientRect(dialog, &client);
    FillRect(dc, &client, brush);
    return TRUE;
}

}  // namespace tovarin::gwes
