// The page a stand-in's window shows: headings and paragraphs laid out top down in the phone's
// look (a heading in bold blue over a thin grey line, paragraphs in black), words wrapped to the
// window's width.
#pragma once

#include <windows.h>

struct PageBlock {
    LPCWSTR text;
    BOOL heading;
};

// Paints the blocks into `area`, the page moved up by `scroll` pixels, and returns the height
// of the whole page.
int PaintTextPage(HDC dc, const RECT& area, const PageBlock* blocks, int count, int scroll);
