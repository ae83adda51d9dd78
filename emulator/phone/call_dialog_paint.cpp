#include "phone/call_dialog_paint.h"

#include <cwchar>
#include <iterator>

namespace tovarin::emulator::phone {
namespace {

void PaintCallText(HWND hwnd) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    HWND dialog = GetParent(hwnd);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
    const bool number = GetDlgCtrlID(hwnd) == kCallerNumberId;
    LOGFONTW look{};
    look.lfHeight = number ? -44 : -30;
    look.lfWeight = FW_BOLD;
    wcscpy(look.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&look);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, number ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOWTEXT));
    wchar_t text[128] = {};
    GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    DrawTextW(dc, text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    SelectObject(dc, previous);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
    EndPaint(hwnd, &paint);
}

}  // namespace

LRESULT CALLBACK CallTextProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            PaintCallText(hwnd);
            return 0;
        case WM_SETTEXT: {
            const LRESULT result = DefWindowProcW(hwnd, message, wparam, lparam);
            InvalidateRect(hwnd, nullptr, FALSE);
            return result;
        }
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace tovarin::emulator::phone
