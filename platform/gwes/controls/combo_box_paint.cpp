// How a combo box looks: a white field in a one-pixel frame with the chosen item's text (a
// drop-down combo box's own edit shows it instead) and, at the right, a square button with a
// downward arrow. While the box has the focus, the text of a drop-down list is highlighted.
// The opened list is a ComboLBox list box and paints itself.
#include <algorithm>
#include <string>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"

namespace tovarin::gwes::controls {

void PaintComboBox(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const bool enabled = IsEnabled(hwnd);
    HBRUSH background = ParentColors(hwnd, dc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
    const COLORREF text_color = TextColorOf(hwnd, dc);
    // A box that a layout made taller than its field shows the field at its top.
    const RECT& whole = paint.client();
    FillRect(dc, &whole,
             reinterpret_cast<HBRUSH>(
                 DefWindowProcW(hwnd, WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(hwnd))));
    const RECT client{whole.left, whole.top, whole.right,
                      std::min<LONG>(whole.bottom, whole.top + kComboFieldHeight)};
    FillRect(dc, &client, background);
    const COLORREF frame = GetSysColor(enabled ? COLOR_WINDOWFRAME : COLOR_GRAYTEXT);
    FrameColor(dc, client, frame);

    const int side = client.bottom - client.top;
    RECT button{client.right - side, client.top, client.right, client.bottom};
    const bool dropped = SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
    const COLORREF face = GetSysColor(dropped ? COLOR_BTNSHADOW : COLOR_BTNFACE);
    FillColor(dc, button, face);
    FrameColor(dc, button, frame);
    DrawArrow(dc, button, /*down=*/true, side / 2,
              GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));

    if ((StyleOf(hwnd) & 0x3) == CBS_DROPDOWN) {
        return;  // the edit inside shows the text
    }
    RECT text{client.left + 2, client.top + 2, button.left - 1, client.bottom - 2};
    const std::wstring shown = StoredText(hwnd);
    COLORREF color = text_color;
    if (GetFocus() == hwnd && enabled && !dropped) {
        FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
        color = GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    text.left += kTextPadding / 2;
    DrawControlText(dc, hwnd, shown.c_str(), text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS, color);
}

}  // namespace tovarin::gwes::controls
