// How a button looks on the phone: a push button is a light grey face in a dark one-pixel frame
// (two pixels for the default button), darker and with its text one pixel lower while pushed; a
// check box is a white square with a black frame and a tick, a radio button a ring with a dot,
// each with its label beside it; a group box is a grey frame with its title in the top edge.
#include <cmath>
#include <string>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

constexpr int kLabelGap = 8;

COLORREF Darker(COLORREF color, int percent) {
    auto part = [percent](int value) { return value * (100 - percent) / 100; };
    return RGB(part(GetRValue(color)), part(GetGValue(color)), part(GetBValue(color)));
}

void FocusFrame(HDC dc, RECT rect) {
    InflateRect(&rect, -3, -3);
    DrawFocusRect(dc, &rect);
}

void PaintPush(HWND hwnd, HDC dc, const RECT& client, UINT state, DWORD type) {
    ParentColors(hwnd, dc, WM_CTLCOLORBTN);  // push buttons keep the system face
    const bool pushed = (state & BST_PUSHED) != 0;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    FillColor(dc, client, pushed ? Darker(face, 18) : face);
    FrameColor(dc, client, GetSysColor(COLOR_WINDOWFRAME), type == BS_DEFPUSHBUTTON ? 2 : 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    RECT text = client;
    InflateRect(&text, -kTextPadding, 0);
    if (pushed) {
        OffsetRect(&text, 1, 1);
    }
    const UINT format =
        DT_CENTER | ((StyleOf(hwnd) & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    const std::wstring label = StoredText(hwnd);
    DrawControlText(dc, hwnd, label.c_str(), text, format, TextColorOf(hwnd, dc));
    if (state & BST_FOCUS) {
        FocusFrame(dc, client);
    }
}

void PaintMarked(HWND hwnd, HDC dc, const RECT& client, UINT state, DWORD type) {
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, background);
    const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    const bool box_right = (StyleOf(hwnd) & BS_LEFTTEXT) != 0;
    const int top = (client.top + client.bottom - kMarkSide) / 2;
    const int left = box_right ? client.right - kMarkSide : client.left;
    const RECT box{left, top, left + kMarkSide, top + kMarkSide};
    const bool enabled = IsEnabled(hwnd);
    const COLORREF frame = enabled ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT);
    const COLORREF inside =
        (state & BST_PUSHED) ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
    const UINT check = state & (BST_CHECKED | BST_INDETERMINATE);
    if (radio) {
        FillCircle(dc, box, inside);
        FrameCircle(dc, box, frame);
        if (check == BST_CHECKED) {
            RECT dot = box;
            InflateRect(&dot, -7, -7);
            FillCircle(dc, dot, frame);
        }
    } else {
        FillColor(dc, box, inside);
        FrameColor(dc, box, frame);
        if (check == BST_CHECKED) {
            DrawTick(dc, box, frame);
        } else if (check == BST_INDETERMINATE) {
            RECT part = box;
            InflateRect(&part, -6, -6);
            FillColor(dc, part, GetSysColor(COLOR_GRAYTEXT));
        }
    }
    RECT text = client;
    if (box_right) {
        text.right = box.left - kLabelGap;
    } else {
        text.left = box.right + kLabelGap;
    }
    const UINT format =
        DT_LEFT | ((StyleOf(hwnd) & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER);
    const std::wstring label = StoredText(hwnd);
    DrawControlText(dc, hwnd, label.c_str(), text, format, TextColorOf(hwnd, dc));
    if (state & BST_FOCUS) {
        RECT around = text;
        around.left -= 2;
        DrawFocusRect(dc, &around);
    }
}

void PaintGroup(HWND hwnd, HDC dc, const RECT& client) {
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORSTATIC);
    const COLORREF text_color = TextColorOf(hwnd, dc);
    // The parent does not paint under its children: the box shows the parent's background inside
    // its frame (its siblings, the buttons it frames, lie above it), not what the screen held.
    FillRect(dc, &client, background);
    Selected font(dc, FontOf(hwnd));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const std::wstring title = StoredText(hwnd);
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    FrameColor(dc, frame, GetSysColor(COLOR_BTNSHADOW));
    if (title.empty()) {
        return;
    }
    SIZE extent{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
    RECT label{client.left + kLabelGap, client.top,
               std::min(client.right, client.left + kLabelGap + extent.cx + 2 * kFrameWidth + 4),
               client.top + metrics.tmHeight};
    FillRect(dc, &label, background);
    label.left += 2;
    DrawControlText(dc, hwnd, title.c_str(), label, DT_LEFT | DT_SINGLELINE | DT_TOP, text_color);
}

}  // namespace

void FillCircle(HDC dc, const RECT& box, COLORREF color) {
    const double radius = (box.right - box.left) / 2.0;
    const double centre_x = box.left + radius;
    const double centre_y = box.top + radius;
    HBRUSH brush = CreateSolidBrush(color);
    for (int y = box.top; y < box.top + (box.right - box.left); ++y) {
        const double dy = y + 0.5 - centre_y;
        const double half = radius * radius - dy * dy;
        if (half <= 0) {
            continue;
        }
        const double dx = std::sqrt(half);
        RECT row{static_cast<int>(std::lround(centre_x - dx)), y,
                 static_cast<int>(std::lround(centre_x + dx)), y + 1};
        FillRect(dc, &row, brush);
    }
    DeleteGdiObject(brush);
}

void FrameCircle(HDC dc, const RECT& box, COLORREF color) {
    // The ring is the circle less the circle one pixel smaller: each row's two ends.
    const double outer = (box.right - box.left) / 2.0;
    const double inner = outer - 1.5;
    const double centre_x = box.left + outer;
    const double centre_y = box.top + outer;
    HBRUSH brush = CreateSolidBrush(color);
    for (int y = box.top; y < box.top + (box.right - box.left); ++y) {
        const double dy = y + 0.5 - centre_y;
        const double out_sq = outer * outer - dy * dy;
        if (out_sq <= 0) {
            continue;
        }
        const double out = std::sqrt(out_sq);
        const double in_sq = inner * inner - dy * dy;
        const double in = in_sq > 0 ? std::sqrt(in_sq) : 0;
        const int out_left = static_cast<int>(std::lround(centre_x - out));
        const int out_right = static_cast<int>(std::lround(centre_x + out));
        const int in_left = in_sq > 0 ? static_cast<int>(std::lround(centre_x - in)) : out_right;
        const int in_right = in_sq > 0 ? static_cast<int>(std::lround(centre_x + in)) : out_right;
        RECT left_part{out_left, y, std::max(in_left, out_left + 1), y + 1};
        RECT right_part{std::min(in_right, out_right - 1), y, out_right, y + 1};
        FillRect(dc, &left_part, brush);
        FillRect(dc, &right_part, brush);
    }
    DeleteGdiObject(brush);
}

void PaintButton(HWND hwnd) {
    PaintScope paint(hwnd);
    const auto state = static_cast<UINT>(SendMessageW(hwnd, BM_GETSTATE, 0, 0));
    const DWORD type = StyleOf(hwnd) & BS_TYPEMASK;
    switch (type) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            PaintPush(hwnd, paint.dc(), paint.client(), state, type);
            break;
        case BS_GROUPBOX:
            PaintGroup(hwnd, paint.dc(), paint.client());
            break;
        default:
            PaintMarked(hwnd, paint.dc(), paint.client(), state, type);
            break;
    }
}

}  // namespace tovarin::gwes::controls
