#include "host/shell_bars.h"

#include <iterator>
#include <algorithm>
#include <cstdio>

#include <aygshell.h>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"

namespace tovarin::shell {
namespace {

using gwes::controls::FillColor;
using gwes::controls::FrameColor;
using gwes::controls::Selected;

constexpr int kMargin = 8;
constexpr int kIconGap = 10;
constexpr int kCaptionButton = 40;

COLORREF Mixed(COLORREF from, COLORREF to, int step, int steps) {
    auto part = [&](int a, int b) { return a + (b - a) * step / std::max(1, steps); };
    return RGB(part(GetRValue(from), GetRValue(to)), part(GetGValue(from), GetGValue(to)),
               part(GetBValue(from), GetBValue(to)));
}

// The bars' vertical gradient between the caption's two colours.
void PaintBarBackground(HDC dc, const RECT& rect) {
    const COLORREF top = GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF bottom = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    const int height = rect.bottom - rect.top;
    constexpr int kBand = 2;
    for (int y = 0; y < height; y += kBand) {
        FillColor(
            dc,
            RECT{rect.left, rect.top + y, rect.right, std::min(rect.bottom, rect.top + y + kBand)},
            Mixed(top, bottom, y, height));
    }
}

HFONT BarFont(bool bold) {
    LOGFONTW font{};
    font.lfHeight = -22;
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    wcscpy(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

void BarText(HDC dc, const wchar_t* text, RECT rect, UINT format, bool bold) {
    HFONT font = BarFont(bold);
    {
        Selected selected(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        DrawTextW(dc, text, -1, &rect, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    gwes::controls::DeleteGdiObject(font);
}

// The Start mark: four white squares.
void PaintStartMark(HDC dc, int left, int middle) {
    constexpr int kSquare = 11;
    constexpr int kSpace = 3;
    const COLORREF white = GetSysColor(COLOR_CAPTIONTEXT);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const int x = left + column * (kSquare + kSpace);
            const int y = middle - kSquare - kSpace / 2 + row * (kSquare + kSpace);
            FillColor(dc, RECT{x, y, x + kSquare, y + kSquare}, white);
        }
    }
}

// Signal bars rising to the right; returns their left edge.
int PaintSignal(HDC dc, int right, int bottom) {
    constexpr int kBars = 5;
    constexpr int kWidth = 4;
    constexpr int kSpace = 2;
    const int left = right - kBars * (kWidth + kSpace);
    for (int bar = 0; bar < kBars; ++bar) {
        const int x = left + bar * (kWidth + kSpace);
        const int height = 6 + bar * 5;
        FillColor(dc, RECT{x, bottom - height, x + kWidth, bottom}, GetSysColor(COLOR_CAPTIONTEXT));
    }
    return left;
}

int PaintBattery(HDC dc, int right, int middle) {
    constexpr int kWidth = 28;
    constexpr int kHeight = 14;
    const RECT body{right - kWidth, middle - kHeight / 2, right - 3, middle + kHeight / 2};
    const COLORREF white = GetSysColor(COLOR_CAPTIONTEXT);
    FrameColor(dc, body, white, 2);
    FillColor(dc, RECT{body.right, middle - 3, right, middle + 3}, white);
    FillColor(dc, RECT{body.left + 4, body.top + 4, body.right - 4, body.bottom - 4}, white);
    return body.left;
}

void PaintCaptionButton(HDC dc, const RECT& box, bool ok) {
    const COLORREF white = GetSysColor(COLOR_CAPTIONTEXT);
    gwes::controls::FillCircle(dc, box, white);
    RECT inner = box;
    InflateRect(&inner, -2, -2);
    gwes::controls::FillCircle(dc, inner, GetSysColor(COLOR_ACTIVECAPTION));
    BarText(dc, ok ? L"ok" : L"X", box, DT_CENTER, /*bold=*/true);
}

}  // namespace

TaskbarLook TaskbarLookNow(HWND taskbar) {
    TaskbarLook look;
    HWND foreground = GetForegroundWindow();
    if (foreground && foreground != taskbar && IsWindowVisible(foreground)) {
        wchar_t title[128] = {};
        GetWindowTextW(foreground, title, static_cast<int>(std::size(title)));
        look.title = title;
        look.ok_button = (GetWindowLongW(foreground, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0;
        look.close_button = !look.ok_button;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    look.hour = now.wHour;
    look.minute = now.wMinute;
    return look;
}

RECT TaskbarCaptionButton(HWND taskbar) {
    RECT client{};
    GetClientRect(taskbar, &client);
    const int right = std::min<int>(client.right, GetSystemMetrics(SM_CXSCREEN)) - kMargin;
    const int middle = (client.top + client.bottom) / 2;
    return RECT{right - kCaptionButton, middle - kCaptionButton / 2, right,
                middle + kCaptionButton / 2};
}

void PaintTaskbar(HWND taskbar, const TaskbarLook& look) {
    gwes::controls::PaintScope paint(taskbar);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    PaintBarBackground(dc, client);
    const int middle = (client.top + client.bottom) / 2;
    PaintStartMark(dc, client.left + kMargin + 4, middle);

    int right = std::min<int>(client.right, GetSystemMetrics(SM_CXSCREEN)) - kMargin;
    if (look.ok_button || look.close_button) {
        const RECT button = TaskbarCaptionButton(taskbar);
        PaintCaptionButton(dc, button, look.ok_button);
        right = button.left - kIconGap;
    }
    wchar_t clock[8] = {};
    std::swprintf(clock, std::size(clock), L"%u:%02u", static_cast<unsigned>(look.hour),
                  static_cast<unsigned>(look.minute));
    constexpr int kClockWidth = 58;
    BarText(dc, clock, RECT{right - kClockWidth, client.top, right, client.bottom}, DT_RIGHT,
            /*bold=*/false);
    right -= kClockWidth + kIconGap;
    right = PaintBattery(dc, right, middle) - kIconGap;
    right = PaintSignal(dc, right, middle + 13) - kIconGap;

    const int title_left = client.left + kMargin + 4 + 2 * 14 + kIconGap + 4;
    BarText(dc, look.title.c_str(), RECT{title_left, client.top, right, client.bottom},
            DT_LEFT | DT_END_ELLIPSIS, /*bold=*/true);
}

void PaintMenuBar(HWND bar) {
    gwes::controls::PaintScope paint(bar);
    HDC dc = paint.dc();
    const RECT& client = paint.client();
    PaintBarBackground(dc, client);
    // The input-panel button: a small keyboard in the middle.
    const int centre = (client.left + client.right) / 2;
    const int middle = (client.top + client.bottom) / 2;
    const RECT keyboard{centre - 22, middle - 12, centre + 22, middle + 12};
    const COLORREF white = GetSysColor(COLOR_CAPTIONTEXT);
    FrameColor(dc, keyboard, white, 2);
    for (int row = 0; row < 3; ++row) {
        const int y = keyboard.top + 5 + row * 6;
        const int keys = row == 2 ? 1 : 5;
        for (int key = 0; key < keys; ++key) {
            const int x = row == 2 ? centre - 10 : keyboard.left + 5 + key * 7;
            const int width = row == 2 ? 20 : 4;
            FillColor(dc, RECT{x, y, x + width, y + 3}, white);
        }
    }
}

void PaintSoftKey(HWND key, bool right_side) {
    gwes::controls::PaintScope paint(key);
    PaintBarBackground(paint.dc(), paint.client());
    wchar_t label[64] = {};
    GetWindowTextW(key, label, static_cast<int>(std::size(label)));
    RECT text = paint.client();
    InflateRect(&text, -2 * kMargin, 0);
    BarText(paint.dc(), label, text, right_side ? DT_RIGHT : DT_LEFT, /*bold=*/false);
}

}  // namespace tovarin::shell
