// What the standard controls share when they paint themselves: the paint cycle of one WM_PAINT,
// the font a control was given by WM_SETFONT, the colours its parent chooses through the
// WM_CTLCOLOR* messages, and the few shapes several controls draw (frames, the tick, arrows).
//
// Sizes are physical pixels of the 192 dpi screen: a control that a template made 12 dialog units
// high is about 26 pixels, one line of the dialog font about 24.
#pragma once

#include <windows.h>

namespace tovarin::gwes::controls {

struct ControlState;

// The width of a control's frame and the side of a check box, radio button and arrow button.
inline constexpr int kFrameWidth = 1;
inline constexpr int kMarkSide = 26;
inline constexpr int kTextPadding = 6;

// BeginPaint and EndPaint around one WM_PAINT; the client rectangle is ready for drawing.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd);
    ~PaintScope();
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

    HDC dc() const { return dc_; }
    const RECT& client() const { return client_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
    RECT client_{};
};

// A pen, brush, font or bitmap as the object calls take it.
template <typename Handle>
HGDIOBJ AsObject(Handle handle) {
    return reinterpret_cast<HGDIOBJ>(handle);
}
template <typename Handle>
void DeleteGdiObject(Handle handle) {
    DeleteObject(AsObject(handle));
}

// Selects an object into a device context for a scope and puts the previous one back.
class Selected {
  public:
    template <typename Handle>
    Selected(HDC dc, Handle object) : dc_(dc), previous_(SelectObject(dc, AsObject(object))) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// After a message that changes what a control shows (a check, a selection, its text, being
// enabled or focused), the control is invalidated so that its next WM_PAINT shows the change.
// Declared first in a control's procedure; messages that only ask, WM_PAINT among them, change
// nothing.
class RepaintAfter {
  public:
    RepaintAfter(HWND hwnd, UINT message);
    ~RepaintAfter();
    RepaintAfter(const RepaintAfter&) = delete;
    RepaintAfter& operator=(const RepaintAfter&) = delete;

  private:
    HWND hwnd_;
    bool changes_;
};

// WM_SETFONT (the control keeps the font, and repaints when lParam asks) and WM_GETFONT.
LRESULT FontMessage(HWND hwnd, ControlState& state, UINT message, WPARAM wparam, LPARAM lparam);
// The font the control was given, or the system font.
HFONT FontOf(HWND hwnd);

// Sends the WM_CTLCOLOR* message to the control's parent, as Windows does before a control
// paints: the parent sets the text and background colours in `dc` and answers with the brush of
// the background. A parent that answers nothing gets the default procedure's answer.
HBRUSH ParentColors(HWND control, HDC dc, UINT ctlcolor_message);

// The colour of a control's text: grey while the control (or a window it lies in) is disabled.
COLORREF TextColorOf(HWND control, HDC dc);

void FillColor(HDC dc, const RECT& rect, COLORREF color);
// A frame `width` pixels wide inside `rect`.
void FrameColor(HDC dc, const RECT& rect, COLORREF color, int width = kFrameWidth);
// A check mark (tick) filling most of `box`.
void DrawTick(HDC dc, const RECT& box, COLORREF color);
// A solid triangle pointing down (or up) centred in `rect`, `size` pixels across.
void DrawArrow(HDC dc, const RECT& rect, bool down, int size, COLORREF color);
// `text` in the control's font with the DT_* format.
void DrawControlText(HDC dc, HWND hwnd, const wchar_t* text, RECT rect, UINT format,
                     COLORREF color);

}  // namespace tovarin::gwes::controls
