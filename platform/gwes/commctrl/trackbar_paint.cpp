// How a trackbar looks: a thin sunken groove along the channel, the ticks below it (above with
// TBS_TOP, on both sides with TBS_BOTH; none with TBS_NOTICKS), and a rectangular grey thumb in a
// dark frame over the groove where the position is.
#include <algorithm>

#include <commctrl.h>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"

namespace tovarin::gwes::controls {
namespace {

constexpr int kGroove = 4;
constexpr int kTickLength = 6;
constexpr int kTickRoom = kTickLength + 4;
constexpr int kLargestThumbDepth = 36;
// With TBS_AUTOTICKS every position gets a tick, as long as they stay this far apart.
constexpr int kSmallestTickGap = 6;

// Transposes a rectangle for a vertical trackbar, which lays out as a horizontal one turned.
RECT Turned(const RECT& rect, bool vertical) {
    return vertical ? RECT{rect.top, rect.left, rect.bottom, rect.right} : rect;
}

}  // namespace

void PaintTrackbar(HWND hwnd) {
    PaintScope paint(hwnd);
    HDC dc = paint.dc();
    const DWORD style = StyleOf(hwnd);
    const bool vertical = (style & TBS_VERT) != 0;
    HBRUSH background = ParentColors(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &paint.client(), background);

    // Laid out along x and across y, then turned for a vertical bar.
    const RECT client = Turned(paint.client(), vertical);
    RECT channel{};
    RECT thumb{};
    SendMessageW(hwnd, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    SendMessageW(hwnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    channel = Turned(channel, vertical);
    thumb = Turned(thumb, vertical);
    const bool ticks = !(style & TBS_NOTICKS);
    const bool ticks_before = ticks && (style & (TBS_TOP | TBS_BOTH));
    const bool ticks_after = ticks && (!(style & TBS_TOP) || (style & TBS_BOTH));
    const int across_top = client.top + (ticks_before ? kTickRoom : 0);
    const int across_bottom = client.bottom - (ticks_after ? kTickRoom : 0);
    const int depth = std::min(kLargestThumbDepth, across_bottom - across_top);
    const int middle = (across_top + across_bottom) / 2;

    const RECT groove{channel.left, middle - kGroove / 2, channel.right, middle + kGroove / 2};
    FillColor(dc, Turned(groove, vertical), GetSysColor(COLOR_BTNFACE));
    FrameColor(dc, Turned(groove, vertical), GetSysColor(COLOR_BTNSHADOW));

    const COLORREF tick_color = GetSysColor(IsEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    if (ticks) {
        const auto min = static_cast<LONG>(SendMessageW(hwnd, TBM_GETRANGEMIN, 0, 0));
        const auto max = static_cast<LONG>(SendMessageW(hwnd, TBM_GETRANGEMAX, 0, 0));
        const int length = channel.right - channel.left;
        const LONG span = std::max<LONG>(1, max - min);
        const bool every = (style & TBS_AUTOTICKS) && length / span >= kSmallestTickGap;
        const LONG step = every ? 1 : span;
        for (LONG value = 0; value <= span; value += step) {
            const int x =
                channel.left + static_cast<int>(static_cast<long long>(value) * length / span);
            if (ticks_after) {
                const int top = middle + depth / 2 + 2;
                FillColor(dc, Turned(RECT{x, top, x + 1, top + kTickLength}, vertical), tick_color);
            }
            if (ticks_before) {
                const int bottom = middle - depth / 2 - 2;
                FillColor(dc, Turned(RECT{x, bottom - kTickLength, x + 1, bottom}, vertical),
                          tick_color);
            }
        }
    }
    if (style & TBS_NOTHUMB) {
        return;
    }
    const RECT knob{thumb.left, middle - depth / 2, thumb.right, middle + depth / 2};
    FillColor(dc, Turned(knob, vertical), GetSysColor(COLOR_BTNFACE));
    FrameColor(dc, Turned(knob, vertical),
               GetSysColor(IsEnabled(hwnd) ? COLOR_WINDOWFRAME : COLOR_GRAYTEXT));
    if (GetFocus() == hwnd) {
        RECT focus = paint.client();
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace tovarin::gwes::controls
