// How an edit control looks: its text (or the password character for each letter) on a white
// field, grey when read-only; while it has the focus, the selection in the highlight colours and
// the caret, a bar two pixels wide where the selection ends. A one-line field scrolls
// sideways so that the caret stays in view.
#include <algorithm>
#include <string>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

constexpr int kCaretWidth = 2;

int Extent(HDC dc, const std::wstring& text, size_t length) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(std::min(length, text.size())), &size);
    return size.cx;
}

std::wstring ShownText(HWND hwnd) {
    std::wstring text = StoredText(hwnd);
    const auto mask = static_cast<wchar_t>(SendMessageW(hwnd, EM_GETPASSWORDCHAR, 0, 0));
    if ((StyleOf(hwnd) & ES_PASSWORD) && mask) {
        text.assign(text.size(), mask);
    }
    return text;
}

}  // namespace

void PaintEdit(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const DWORD style = StyleOf(hwnd);
    const bool enabled = IsEnabled(hwnd);
    const bool read_only = (style & ES_READONLY) != 0;
    HBRUSH background =
        ParentColors(hwnd, dc, read_only || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
    FillRect(dc, &paint.client(), background);
    const COLORREF text_color = TextColorOf(hwnd, dc);

    Selected font(dc, FontOf(hwnd));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = ShownText(hwnd);
    RECT area = paint.client();
    InflateRect(&area, -kTextPadding / 2, 0);
    if (style & ES_MULTILINE) {
        SetTextColor(dc, text_color);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
        return;
    }

    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool focused = GetFocus() == hwnd;
    const int width = area.right - area.left;
    const int text_width = Extent(dc, text, text.size());
    const int caret_x = Extent(dc, text, end);
    int origin = area.left;
    if (style & ES_CENTER) {
        origin += std::max(0, (width - text_width) / 2);
    } else if (style & ES_RIGHT) {
        origin += std::max(0, width - text_width);
    } else if (caret_x + kCaretWidth > width) {
        origin -= caret_x + kCaretWidth - width;  // scrolled so that the caret shows
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int top = (area.top + area.bottom - metrics.tmHeight) / 2;
    const RECT line{area.left, top, area.right, top + metrics.tmHeight};
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SetTextColor(dc, text_color);
    ExtTextOutW(dc, origin, top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if ((focused || (style & ES_NOHIDESEL)) && start < end && end <= text.size()) {
        const RECT selection{origin + Extent(dc, text, start), line.top, origin + caret_x,
                             line.bottom};
        FillRect(dc, &selection, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        const std::wstring part = text.substr(start, end - start);
        ExtTextOutW(dc, selection.left, top, 0, nullptr, part.c_str(),
                    static_cast<UINT>(part.size()), nullptr);
    }
    if (focused && enabled) {
        const RECT caret{origin + caret_x, line.top, origin + caret_x + kCaretWidth, line.bottom};
        FillColor(dc, caret, GetSysColor(COLOR_WINDOWTEXT));
    }
    RestoreDC(dc, saved);
}

}  // namespace tovarin::gwes::controls
