#include "text_page.h"

#include <wchar.h>

namespace {

const int kMargin = 16;
const int kGap = 12;

HFONT PageFont(BOOL heading) {
    LOGFONTW look = {};
    look.lfHeight = heading ? -28 : -24;
    look.lfWeight = heading ? FW_BOLD : FW_NORMAL;
    wcscpy(look.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&look);
}

}  // namespace

int PaintTextPage(HDC dc, const RECT& area, const PageBlock* blocks, int count, int scroll) {
    FillRect(dc, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    int y = area.top + kGap - scroll;
    for (int i = 0; i < count; ++i) {
        HFONT font = PageFont(blocks[i].heading);
        HGDIOBJ previous = SelectObject(dc, font);
        RECT text = {area.left + kMargin, y, area.right - kMargin, y};
        DrawTextW(dc, blocks[i].text, -1, &text, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        text.right = area.right - kMargin;
        SetTextColor(dc, GetSysColor(blocks[i].heading ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
        DrawTextW(dc, blocks[i].text, -1, &text, DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, previous);
        DeleteObject(font);
        y = text.bottom;
        if (blocks[i].heading) {
            RECT line = {area.left + kMargin, y + 4, area.right - kMargin, y + 5};
            FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
            y += 5;
        }
        y += kGap;
    }
    return y + scroll - area.top;
}
