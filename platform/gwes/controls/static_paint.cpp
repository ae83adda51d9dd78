// How a static control looks: its text on its parent's background (left, centred or right, word
// wrapped unless SS_LEFTNOWORDWRAP), or its icon or bitmap at the top left (centred with
// SS_CENTERIMAGE).
#include <string>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

UINT TextFormat(DWORD style) {
    UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    switch (style & SS_TYPEMASK) {
        case SS_CENTER:
            return format | DT_CENTER | DT_WORDBREAK;
        case SS_RIGHT:
            return format | DT_RIGHT | DT_WORDBREAK;
        case SS_LEFTNOWORDWRAP:
            return format | DT_LEFT | DT_SINGLELINE;
        default:
            return format | DT_LEFT | DT_WORDBREAK;
    }
}

void PaintImage(HDC dc, const RECT& client, DWORD style, HANDLE image) {
    if (!image) {
        return;
    }
    if ((style & SS_TYPEMASK) == SS_ICON) {
        return;  // icons wait for the drawing layer's DrawIcon
    }
    BITMAP bitmap{};
    if (!GetObjectW(AsObject(image), sizeof bitmap, &bitmap)) {
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    {
        Selected selected(source, image);
        int x = client.left;
        int y = client.top;
        if (style & SS_CENTERIMAGE) {
            x = (client.left + client.right - bitmap.bmWidth) / 2;
            y = (client.top + client.bottom - bitmap.bmHeight) / 2;
        }
        BitBlt(dc, x, y, bitmap.bmWidth, bitmap.bmHeight, source, 0, 0, SRCCOPY);
    }
    DeleteDC(source);
}

}  // namespace

void PaintStatic(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &paint.client(), background);
    const DWORD style = StyleOf(hwnd);
    const DWORD type = style & SS_TYPEMASK;
    if (type == SS_ICON || type == SS_BITMAP) {
        auto image = reinterpret_cast<HANDLE>(
            SendMessageW(hwnd, STM_GETIMAGE, type == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP, 0));
        PaintImage(dc, paint.client(), style, image);
        return;
    }
    const std::wstring text = StoredText(hwnd);
    DrawControlText(dc, hwnd, text.c_str(), paint.client(), TextFormat(style),
                    TextColorOf(hwnd, dc));
}

}  // namespace tovarin::gwes::controls
