#include "gwes/dialogs/message_box_paint.h"

#include <algorithm>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"

#ifndef MB_ICONMASK
#define MB_ICONMASK 0x000000F0L
#endif
#ifndef PRIMARYLANGID
#define PRIMARYLANGID(lgid) ((WORD)(lgid)&0x3FF)
#endif

namespace tovarin::gwes {
namespace {

constexpr int kSide = 16;     // the panel's distance from the screen's sides
constexpr int kPadding = 16;  // inside the panel
constexpr int kIconSide = 48;
constexpr int kButtonHeight = 52;
constexpr int kButtonWidth = 132;
constexpr int kButtonGap = 12;

const wchar_t* ButtonLabel(int id) {
    const bool russian = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_RUSSIAN;
    switch (id) {
        case IDOK:
            return russian ? L"ОК" : L"OK";
        case IDCANCEL:
            return russian ? L"Отмена" : L"Cancel";
        case IDYES:
            return russian ? L"Да" : L"Yes";
        case IDNO:
            return russian ? L"Нет" : L"No";
        case IDABORT:
            return russian ? L"Прервать" : L"Abort";
        case IDRETRY:
            return russian ? L"Повтор" : L"Retry";
        case IDIGNORE:
            return russian ? L"Пропустить" : L"Ignore";
        default:
            return L"";
    }
}

bool HasIcon(UINT type) {
    return (type & MB_ICONMASK) != 0;
}

int ScreenWidth() {
    return GetSystemMetrics(SM_CXSCREEN);
}

// The text's height when wrapped into the panel's text column.
int TextHeight(const MessageBoxLook& look, int width) {
    HDC dc = GetDC(nullptr);
    RECT rect{0, 0, width, 0};
    {
        controls::Selected font(dc, GetStockObject(SYSTEM_FONT));
        DrawTextW(dc, look.text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    }
    ReleaseDC(nullptr, dc);
    return rect.bottom - rect.top;
}

RECT TextRect(const MessageBoxLook& look, int panel_width) {
    const int left = kPadding + (HasIcon(look.type) ? kIconSide + kPadding : 0);
    return RECT{left, kPadding, panel_width - kPadding, kPadding};
}

std::vector<RECT> ButtonRects(const MessageBoxLook& look, const RECT& client) {
    const int count = static_cast<int>(look.buttons.size());
    const int room = client.right - client.left - 2 * kPadding;
    const int width =
        std::min(kButtonWidth, (room - (count - 1) * kButtonGap) / std::max(1, count));
    const int total = count * width + (count - 1) * kButtonGap;
    int left = client.left + (client.right - client.left - total) / 2;
    const int top = client.bottom - kPadding - kButtonHeight;
    std::vector<RECT> rects;
    for (int i = 0; i < count; ++i, left += width + kButtonGap) {
        rects.push_back(RECT{left, top, left + width, top + kButtonHeight});
    }
    return rects;
}

void PaintIcon(HDC dc, UINT type, const RECT& box) {
    COLORREF color = RGB(0x31, 0x6A, 0xC5);
    const wchar_t* glyph = L"i";
    switch (type & MB_ICONMASK) {
        case MB_ICONQUESTION:
            glyph = L"?";
            break;
        case MB_ICONEXCLAMATION:
            color = RGB(0xE8, 0xA8, 0x00);
            glyph = L"!";
            break;
        case MB_ICONHAND:
            color = RGB(0xC8, 0x20, 0x20);
            glyph = L"\u00D7";
            break;
        default:
            break;
    }
    controls::FillCircle(dc, box, color);
    LOGFONTW bold{};
    bold.lfHeight = -(kIconSide * 2 / 3);
    bold.lfWeight = FW_BOLD;
    wcscpy(bold.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&bold);
    {
        controls::Selected selected(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
        RECT rect = box;
        DrawTextW(dc, glyph, -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    controls::DeleteGdiObject(font);
}

}  // namespace

RECT MessageBoxFrame(const MessageBoxLook& look) {
    const int width = ScreenWidth() - 2 * kSide;
    const RECT text = TextRect(look, width);
    const int text_height = TextHeight(look, text.right - text.left);
    const int body = std::max(text_height, HasIcon(look.type) ? kIconSide : 0);
    const int height = kPadding + body + kPadding + kButtonHeight + kPadding + 2;
    const int screen_height = GetSystemMetrics(SM_CYSCREEN);
    const int work_top = kTaskbarHeight;
    const int work_bottom = screen_height - kMenuBarHeight;
    const int top = std::max(work_top, (work_top + work_bottom - height) / 2);
    return RECT{kSide, top, kSide + width, std::min(top + height, work_bottom)};
}

void PaintMessageBox(HWND box, const MessageBoxLook& look) {
    controls::PaintScope paint(box);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    HBRUSH background = reinterpret_cast<HBRUSH>(SendMessageW(
        box, WM_CTLCOLORMSGBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(box)));
    FillRect(dc, &client, background ? background : GetSysColorBrush(COLOR_WINDOW));
    controls::FrameColor(dc, client, GetSysColor(COLOR_WINDOWFRAME));
    controls::FillColor(dc, RECT{client.left, client.top, client.right, client.top + 4},
                        GetSysColor(COLOR_HIGHLIGHT));
    if (HasIcon(look.type)) {
        PaintIcon(dc, look.type,
                  RECT{kPadding, kPadding, kPadding + kIconSide, kPadding + kIconSide});
    }
    RECT text = TextRect(look, client.right - client.left);
    text.bottom = client.bottom - 2 * kPadding - kButtonHeight;
    controls::Selected font(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, look.text.c_str(), -1, &text, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    const std::vector<RECT> buttons = ButtonRects(look, client);
    for (size_t i = 0; i < buttons.size(); ++i) {
        const RECT& rect = buttons[i];
        controls::FillColor(dc, rect, GetSysColor(COLOR_BTNFACE));
        controls::FrameColor(dc, rect, GetSysColor(COLOR_WINDOWFRAME),
                             look.buttons[i] == look.default_button ? 2 : 1);
        RECT label = rect;
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, ButtonLabel(look.buttons[i]), -1, &label,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

int MessageBoxButtonAt(HWND box, const MessageBoxLook& look, POINT point) {
    RECT client{};
    GetClientRect(box, &client);
    const std::vector<RECT> buttons = ButtonRects(look, client);
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (PtInRect(&buttons[i], point)) {
            return look.buttons[i];
        }
    }
    return 0;
}

}  // namespace tovarin::gwes
