#include "gwes/painting/frame_paint.h"

#include <optional>

#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/scroll_thumb.h"

namespace tovarin::gwes {
namespace {

struct FrameLook {
    DWORD style = 0;
    DWORD ex_style = 0;
    int width = 0;
    int height = 0;
    RECT client{};                       // in the window
    std::optional<ThumbGeometry> thumb;  // moved into the window's coordinates
    RECT horizontal{};                   // the horizontal bar, in the window
};

std::optional<FrameLook> LookOf(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.windows().Find(hwnd);
    if (!window) {
        return std::nullopt;
    }
    FrameLook look;
    look.style = window->style;
    look.ex_style = window->ex_style;
    look.width = window->width;
    look.height = window->height;
    look.client = ClientRectInWindow(*window);
    look.thumb = ThumbOf(*window);
    if (look.thumb) {
        const RECT frame = WindowRectOnScreen(*window);
        OffsetRect(&look.thumb->bar, -frame.left, -frame.top);
        look.thumb->track_top -= frame.top;
        look.thumb->thumb_top -= frame.top;
    }
    if (window->style & WS_HSCROLL) {
        look.horizontal = RECT{look.client.left, look.client.bottom, look.client.right,
                               look.client.bottom + kScrollBarSize};
    }
    return look;
}

void Fill(HDC dc, const RECT& rect, int color) {
    FillRect(dc, &rect, GetSysColorBrush(color));
}

void Frame(HDC dc, const RECT& rect, int color) {
    FrameRect(dc, &rect, GetSysColorBrush(color));
}

// A solid triangle in `box` pointing up, down, left or right.
void Arrow(HDC dc, const RECT& box, int dx, int dy) {
    const int half = (box.right - box.left) / 4;
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    HBRUSH brush = GetSysColorBrush(COLOR_BTNTEXT);
    for (int step = 0; step <= half; ++step) {
        const int reach = dy > 0 || dx > 0 ? half - step : step;
        const int along = step - half / 2;
        RECT line = dy != 0 ? RECT{cx - reach, cy + along, cx + reach + 1, cy + along + 1}
                            : RECT{cx + along, cy - reach, cx + along + 1, cy + reach + 1};
        FillRect(dc, &line, brush);
    }
}

void ArrowButton(HDC dc, const RECT& box, int dx, int dy) {
    Fill(dc, box, COLOR_BTNFACE);
    Frame(dc, box, COLOR_BTNSHADOW);
    Arrow(dc, box, dx, dy);
}

void PaintVerticalBar(HDC dc, const ThumbGeometry& thumb) {
    const RECT& bar = thumb.bar;
    Fill(dc, bar, COLOR_SCROLLBAR);
    Frame(dc, bar, COLOR_BTNSHADOW);
    ArrowButton(dc, RECT{bar.left, bar.top, bar.right, bar.top + kScrollBarSize}, 0, -1);
    ArrowButton(dc, RECT{bar.left, bar.bottom - kScrollBarSize, bar.right, bar.bottom}, 0, 1);
    if (thumb.track_length > thumb.thumb_length) {
        RECT knob{bar.left + 2, thumb.thumb_top, bar.right - 2,
                  thumb.thumb_top + thumb.thumb_length};
        Fill(dc, knob, COLOR_BTNSHADOW);
        Frame(dc, knob, COLOR_WINDOWFRAME);
    }
}

void PaintHorizontalBar(HDC dc, const RECT& bar) {
    Fill(dc, bar, COLOR_SCROLLBAR);
    Frame(dc, bar, COLOR_BTNSHADOW);
    ArrowButton(dc, RECT{bar.left, bar.top, bar.left + kScrollBarSize, bar.bottom}, -1, 0);
    ArrowButton(dc, RECT{bar.right - kScrollBarSize, bar.top, bar.right, bar.bottom}, 1, 0);
}

}  // namespace

void PaintWindowFrame(HWND hwnd) {
    std::optional<FrameLook> look = LookOf(hwnd);
    if (!look) {
        return;
    }
    const bool border = (look->style & WS_CAPTION) == WS_BORDER;
    const bool edge = (look->ex_style & WS_EX_CLIENTEDGE) != 0;
    if (!border && !edge && !look->thumb && !(look->style & WS_HSCROLL)) {
        return;
    }
    HDC dc = GetWindowDC(hwnd);
    if (!dc) {
        return;
    }
    RECT outline{0, 0, look->width, look->height};
    if (border) {
        Frame(dc, outline, COLOR_WINDOWFRAME);
        InflateRect(&outline, -1, -1);
    }
    if (edge) {
        Frame(dc, outline, COLOR_BTNSHADOW);
        InflateRect(&outline, -1, -1);
        Frame(dc, outline, COLOR_WINDOWFRAME);
    }
    if (look->thumb) {
        PaintVerticalBar(dc, *look->thumb);
    }
    if (look->style & WS_HSCROLL) {
        PaintHorizontalBar(dc, look->horizontal);
    }
    if (look->thumb && (look->style & WS_HSCROLL)) {
        const RECT corner{look->client.right, look->client.bottom,
                          look->client.right + kScrollBarSize,
                          look->client.bottom + kScrollBarSize};
        Fill(dc, corner, COLOR_BTNFACE);
    }
    ReleaseDC(hwnd, dc);
}

}  // namespace tovarin::gwes
