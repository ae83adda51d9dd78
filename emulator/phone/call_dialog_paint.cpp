#include "phone/call_dialog_paint.h"

#include <cwchar>
#include <iterator>

#include "host/screen.h"
#include "host/shell_bars.h"

namespace tovarin::emulator::phone {
namespace {

// The look of one text child.
struct TextLook {
    int height;  // pixels of the font's em
    bool bold;
    int colour;  // a system colour index
};

TextLook LookOf(int id) {
    switch (id) {
        case kCallerNumberId:
            return {44, true, COLOR_HIGHLIGHT};
        case kCallerNameId:
            return {40, true, COLOR_WINDOWTEXT};
        case kCallTimerId:
            return {36, false, COLOR_WINDOWTEXT};
        case kSecondHeadingId:
            return {24, false, COLOR_GRAYTEXT};
        case kSecondCallerId:
            return {30, true, COLOR_HIGHLIGHT};
        default:  // the state lines
            return {30, true, COLOR_WINDOWTEXT};
    }
}

void PaintCallText(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    HWND dialog = GetParent(hwnd);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    const int id = GetDlgCtrlID(hwnd);
    if (id == kSecondHeadingId) {
        // The line that parts the waiting call from the call on the line.
        RECT line{client.left, client.top, client.right, client.top + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
    }
    const TextLook look = LookOf(id);
    LOGFONTW font_look{};
    font_look.lfHeight = -look.height;
    font_look.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
    wcscpy(font_look.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&font_look);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(look.colour));
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    DrawTextW(dc, text, -1, &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, previous);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
    EndPaint(hwnd, &paint);
}

// What the screen's children leave to the default: a new text repaints the child.
LRESULT ChildDefaultProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_SETTEXT) {
        InvalidateRect(hwnd, nullptr, FALSE);
    }
    return result;
}

void Place(HWND dialog, int id, int left, int top, int right, int bottom) {
    SetWindowPos(GetDlgItem(dialog, id), nullptr, left, top, right - left, bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

LRESULT CALLBACK CallTextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT) {
        PaintCallText(hwnd);
        return 0;
    }
    return ChildDefaultProc(hwnd, message, wparam, lparam);
}

LRESULT CALLBACK CallSoftKeyProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            shell::PaintSoftKey(hwnd, GetDlgCtrlID(hwnd) == kRightSoftKeyId);
            return 0;
        case WM_LBUTTONUP: {
            const auto target =
                reinterpret_cast<HWND>(static_cast<intptr_t>(GetWindowLongW(hwnd, GWL_USERDATA)));
            PostMessageW(target, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        }
        default:
            return ChildDefaultProc(hwnd, message, wparam, lparam);
    }
}

void LayOutCallScreen(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    const int left = client.left + 16;
    const int right = client.right - 16;
    // The rows, top down; they fit the landscape screen's shorter client area as well.
    Place(dialog, kCallTextId, left, 16, right, 64);
    Place(dialog, kCallStateId, left, 16, right, 64);
    Place(dialog, kCallerNameId, left, 80, right, 132);
    Place(dialog, kCallerNumberId, left, 132, right, 192);
    Place(dialog, kCallTimerId, left, 200, right, 244);
    Place(dialog, kSecondHeadingId, left, 260, right, 296);
    Place(dialog, kSecondCallerId, left, 296, right, 340);
    // The soft keys share the menu-bar strip at the bottom, half each.
    const RECT bar = gwes::MenuBarArea();
    const int bar_height = bar.bottom - bar.top;
    const int middle = (client.left + client.right) / 2;
    Place(dialog, kLeftSoftKeyId, client.left, client.bottom - bar_height, middle, client.bottom);
    Place(dialog, kRightSoftKeyId, middle, client.bottom - bar_height, client.right, client.bottom);
}

}  // namespace tovarin::emulator::phone
