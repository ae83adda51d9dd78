#include "gwes/controls/control_paint.h"

#include <algorithm>

#include <commctrl.h>

#include "gwes/controls/control_state.h"
#include "gwes/painting/frame_paint.h"

namespace tovarin::gwes::controls {
namespace {

bool ChangesLook(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_MOUSEMOVE:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SETTEXT:
        case WM_ENABLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_SIZE:
        case WM_VSCROLL:
        case BM_SETCHECK:
        case BM_SETSTATE:
        case BM_SETSTYLE:
        case BM_CLICK:
        case STM_SETIMAGE:
        case EM_SETSEL:
        case EM_REPLACESEL:
        case EM_SETREADONLY:
        case EM_SETPASSWORDCHAR:
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETCURSEL:
        case LB_SELECTSTRING:
        case LB_SETSEL:
        case LB_SETTOPINDEX:
        case LB_SETITEMHEIGHT:
        case CB_ADDSTRING:
        case CB_INSERTSTRING:
        case CB_DELETESTRING:
        case CB_RESETCONTENT:
        case CB_SETCURSEL:
        case CB_SELECTSTRING:
        case CB_SHOWDROPDOWN:
        case LVM_INSERTCOLUMNW:
        case LVM_SETCOLUMNW:
        case LVM_DELETECOLUMN:
        case LVM_SETCOLUMNWIDTH:
        case LVM_INSERTITEMW:
        case LVM_SETITEMW:
        case LVM_SETITEMTEXTW:
        case LVM_DELETEITEM:
        case LVM_DELETEALLITEMS:
        case LVM_SETITEMSTATE:
        case LVM_SETEXTENDEDLISTVIEWSTYLE:
        case TBM_SETPOS:
        case TBM_SETRANGE:
        case TBM_SETRANGEMIN:
        case TBM_SETRANGEMAX:
        case TCM_INSERTITEMW:
        case TCM_SETITEMW:
        case TCM_DELETEITEM:
        case TCM_DELETEALLITEMS:
        case TCM_SETCURSEL:
            return true;
        default:
            return false;
    }
}

}  // namespace

PaintScope::PaintScope(HWND hwnd) : hwnd_(hwnd) {
    dc_ = BeginPaint(hwnd, &paint_);
    GetClientRect(hwnd, &client_);
}

PaintScope::~PaintScope() {
    EndPaint(hwnd_, &paint_);
    PaintWindowFrame(hwnd_);  // the border and scroll bars around the client area
}

RepaintAfter::RepaintAfter(HWND hwnd, UINT message) : hwnd_(hwnd), changes_(ChangesLook(message)) {}

RepaintAfter::~RepaintAfter() {
    if (changes_ && IsWindow(hwnd_)) {
        InvalidateRect(hwnd_, nullptr, FALSE);
    }
}

LRESULT FontMessage(HWND hwnd, ControlState& state, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_GETFONT) {
        return reinterpret_cast<LRESULT>(state.font);
    }
    state.font = reinterpret_cast<HFONT>(wparam);
    if (LOWORD(lparam)) {
        InvalidateRect(hwnd, nullptr, TRUE);
    }
    return 0;
}

HFONT FontOf(HWND hwnd) {
    std::shared_ptr<ControlState> state = StateOf(hwnd);
    if (state && state->font) {
        return state->font;
    }
    return reinterpret_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

HBRUSH ParentColors(HWND control, HDC dc, UINT ctlcolor_message) {
    HWND parent = ParentOf(control);
    if (!parent) {
        parent = control;  // a top-level list (a combo box's) answers for itself
    }
    const auto wparam = reinterpret_cast<WPARAM>(dc);
    const auto lparam = reinterpret_cast<LPARAM>(control);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(parent, ctlcolor_message, wparam, lparam));
    if (!brush) {
        brush = reinterpret_cast<HBRUSH>(DefWindowProcW(parent, ctlcolor_message, wparam, lparam));
    }
    return brush;
}

COLORREF TextColorOf(HWND control, HDC dc) {
    for (HWND each = control; each; each = GetParent(each)) {
        if (!IsWindowEnabled(each)) {
            return GetSysColor(COLOR_GRAYTEXT);
        }
        if (!(GetWindowLongW(each, GWL_STYLE) & WS_CHILD)) {
            break;
        }
    }
    return GetTextColor(dc);
}

void FillColor(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteGdiObject(brush);
}

void FrameColor(HDC dc, const RECT& rect, COLORREF color, int width) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT each = rect;
    for (int i = 0; i < width && each.right > each.left && each.bottom > each.top; ++i) {
        FrameRect(dc, &each, brush);
        InflateRect(&each, -1, -1);
    }
    DeleteGdiObject(brush);
}

void DrawTick(HDC dc, const RECT& box, COLORREF color) {
    const int side = std::min(box.right - box.left, box.bottom - box.top);
    const int thickness = std::max(2, side / 8);
    // Two strokes, the short one down to the right and the long one up to the right, each a run
    // of squares `thickness` pixels wide.
    const POINT from{box.left + side / 5, box.top + side / 2};
    const POINT middle{box.left + side * 2 / 5, box.bottom - side / 4 - thickness};
    const POINT to{box.right - side / 5 - thickness, box.top + side / 5};
    HBRUSH brush = CreateSolidBrush(color);
    auto stroke = [&](POINT a, POINT b) {
        for (int x = a.x; x <= b.x; ++x) {
            const int y = a.y + (b.y - a.y) * (x - a.x) / std::max<LONG>(1, b.x - a.x);
            const RECT square{x, y, x + thickness, y + thickness};
            FillRect(dc, &square, brush);
        }
    };
    stroke(from, middle);
    stroke(middle, to);
    DeleteGdiObject(brush);
}

void DrawArrow(HDC dc, const RECT& rect, bool down, int size, COLORREF color) {
    const int half = size / 2;
    const int centre_x = (rect.left + rect.right) / 2;
    const int top = (rect.top + rect.bottom) / 2 - half / 2;
    HBRUSH brush = CreateSolidBrush(color);
    for (int row = 0; row <= half; ++row) {
        const int width = down ? half - row : row;
        RECT line{centre_x - width, top + row, centre_x + width + 1, top + row + 1};
        FillRect(dc, &line, brush);
    }
    DeleteGdiObject(brush);
}

void DrawControlText(HDC dc, HWND hwnd, const wchar_t* text, RECT rect, UINT format,
                     COLORREF color) {
    Selected font(dc, FontOf(hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextW(dc, text, -1, &rect, format);
}

}  // namespace tovarin::gwes::controls
