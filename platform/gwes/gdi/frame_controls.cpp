// DrawEdge and DrawFrameControl: the three-dimensional edges and the frames of push buttons,
// check boxes, radio buttons, scroll arrows and caption buttons, in the phone's flat style:
// push buttons have a light grey face and a one-pixel dark border, darker when pushed.
#include <cmath>

#include <cairo.h>

#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/sys_colors.h"
#include "gwes/gdi/text_layout.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;

namespace {

COLORREF Sys(int color) {
    return SysColor(color & ~SYS_COLOR_INDEX_FLAG);
}

constexpr COLORREF kPushedFace = RGB(0xB8, 0xB8, 0xB8);

void Fill(cairo_t* cr, const RECT& r, COLORREF color) {
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    SetSourceColor(cr, color);
    cairo_fill(cr);
}

// A one-pixel frame: top and left in one colour, bottom and right in another.
void Frame(cairo_t* cr, const RECT& r, COLORREF top_left, COLORREF bottom_right, UINT sides) {
    if (sides & BF_TOP) {
        Fill(cr, RECT{r.left, r.top, r.right, r.top + 1}, top_left);
    }
    if (sides & BF_LEFT) {
        Fill(cr, RECT{r.left, r.top, r.left + 1, r.bottom}, top_left);
    }
    if (sides & BF_BOTTOM) {
        Fill(cr, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottom_right);
    }
    if (sides & BF_RIGHT) {
        Fill(cr, RECT{r.right - 1, r.top, r.right, r.bottom}, bottom_right);
    }
}

void Shrink(RECT& r, UINT sides) {
    r.left += (sides & BF_LEFT) ? 1 : 0;
    r.top += (sides & BF_TOP) ? 1 : 0;
    r.right -= (sides & BF_RIGHT) ? 1 : 0;
    r.bottom -= (sides & BF_BOTTOM) ? 1 : 0;
}

// A filled triangle pointing up, down, left or right in the middle of the rectangle.
void Arrow(cairo_t* cr, const RECT& r, int direction, COLORREF color) {
    const double cx = (r.left + r.right) / 2.0;
    const double cy = (r.top + r.bottom) / 2.0;
    const double size = std::max(2.0, std::min(r.right - r.left, r.bottom - r.top) / 4.0);
    switch (direction) {
        case DFCS_SCROLLUP:
            cairo_move_to(cr, cx - size, cy + size / 2);
            cairo_line_to(cr, cx + size, cy + size / 2);
            cairo_line_to(cr, cx, cy - size / 2);
            break;
        case DFCS_SCROLLLEFT:
            cairo_move_to(cr, cx + size / 2, cy - size);
            cairo_line_to(cr, cx + size / 2, cy + size);
            cairo_line_to(cr, cx - size / 2, cy);
            break;
        case DFCS_SCROLLRIGHT:
            cairo_move_to(cr, cx - size / 2, cy - size);
            cairo_line_to(cr, cx - size / 2, cy + size);
            cairo_line_to(cr, cx + size / 2, cy);
            break;
        default:  // down, and the combo box's arrow
            cairo_move_to(cr, cx - size, cy - size / 2);
            cairo_line_to(cr, cx + size, cy - size / 2);
            cairo_line_to(cr, cx, cy + size / 2);
            break;
    }
    cairo_close_path(cr);
    SetSourceColor(cr, color);
    cairo_fill(cr);
}

void PushFrame(cairo_t* cr, RECT r, UINT state) {
    const bool pushed = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
    const COLORREF border = (state & DFCS_INACTIVE) ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_WINDOWFRAME);
    Frame(cr, r, border, border, BF_RECT);
    Shrink(r, BF_RECT);
    Fill(cr, r, pushed ? kPushedFace : Sys(COLOR_BTNFACE));
}

void CheckBox(cairo_t* cr, const RECT& area, UINT state) {
    const int side = std::min(area.right - area.left, area.bottom - area.top);
    RECT box{area.left, area.top + (area.bottom - area.top - side) / 2, area.left + side,
             area.top + (area.bottom - area.top - side) / 2 + side};
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const COLORREF border = inactive ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_WINDOWFRAME);
    const bool radio = (state & DFCS_BUTTONRADIO) != 0;
    const COLORREF face =
        inactive || (state & DFCS_PUSHED) ? Sys(COLOR_BTNFACE) : Sys(COLOR_WINDOW);
    const COLORREF mark =
        inactive || (state & DFCS_BUTTON3STATE) ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_WINDOWTEXT);
    if (radio) {
        const double cx = (box.left + box.right) / 2.0;
        const double cy = (box.top + box.bottom) / 2.0;
        const double radius = side / 2.0;
        cairo_save(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        cairo_arc(cr, cx, cy, radius - 0.5, 0, 2 * M_PI);
        SetSourceColor(cr, face);
        cairo_fill_preserve(cr);
        SetSourceColor(cr, border);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        if (state & DFCS_CHECKED) {
            cairo_arc(cr, cx, cy, radius / 2.5, 0, 2 * M_PI);
            SetSourceColor(cr, mark);
            cairo_fill(cr);
        }
        cairo_restore(cr);
        return;
    }
    Frame(cr, box, border, border, BF_RECT);
    RECT inside = box;
    Shrink(inside, BF_RECT);
    Fill(cr, inside, face);
    if (state & DFCS_CHECKED) {
        cairo_save(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        const double w = inside.right - inside.left;
        const double h = inside.bottom - inside.top;
        cairo_move_to(cr, inside.left + w * 0.2, inside.top + h * 0.5);
        cairo_line_to(cr, inside.left + w * 0.42, inside.top + h * 0.75);
        cairo_line_to(cr, inside.left + w * 0.8, inside.top + h * 0.25);
        cairo_set_line_width(cr, std::max(2.0, side / 9.0));
        SetSourceColor(cr, mark);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

void CaptionButton(cairo_t* cr, const RECT& r, UINT state) {
    PushFrame(cr, r, state);
    const COLORREF ink = (state & DFCS_INACTIVE) ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_BTNTEXT);
    if ((state & 0xFF) == DFCS_CAPTIONOKBTN) {
        FontSpec font;
        font.em = std::max(8, (r.bottom - r.top) / 2);
        font.bold = true;
        const int width = TextWidth(font, L"ok");
        SetSourceColor(cr, ink);
        cairo_save(cr);
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
        const int height = MetricsOf(font, 0).tmHeight;
        ShowText(cr, font, L"ok", (r.left + r.right - width) / 2.0,
                 (r.top + r.bottom) / 2.0 - height / 2.0);
        cairo_restore(cr);
        return;
    }
    // Close: an X.
    const double inset = std::min(r.right - r.left, r.bottom - r.top) / 4.0;
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    cairo_move_to(cr, r.left + inset, r.top + inset);
    cairo_line_to(cr, r.right - inset, r.bottom - inset);
    cairo_move_to(cr, r.right - inset, r.top + inset);
    cairo_line_to(cr, r.left + inset, r.bottom - inset);
    cairo_set_line_width(cr, 2);
    SetSourceColor(cr, ink);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

extern "C" {

BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    if (!qrc) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    cairo_t* cr = scope.cr();
    RECT r = *qrc;
    const UINT sides = grfFlags & BF_RECT;
    // Outer, then inner border: each one pixel, in the colours of its kind.
    struct Layer {
        UINT raised;
        UINT sunken;
        COLORREF raised_tl, raised_br, sunken_tl, sunken_br;
    };
    const Layer layers[2] = {
        {BDR_RAISEDOUTER, BDR_SUNKENOUTER, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW),
         Sys(COLOR_3DSHADOW), Sys(COLOR_3DHIGHLIGHT)},
        {BDR_RAISEDINNER, BDR_SUNKENINNER, Sys(COLOR_3DHIGHLIGHT), Sys(COLOR_3DSHADOW),
         Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)},
    };
    for (int i = 0; i < 2; ++i) {
        const Layer& layer = layers[i];
        if (!(edge & (layer.raised | layer.sunken))) {
            continue;
        }
        COLORREF tl = (edge & layer.raised) ? layer.raised_tl : layer.sunken_tl;
        COLORREF br = (edge & layer.raised) ? layer.raised_br : layer.sunken_br;
        if (grfFlags & BF_MONO) {
            tl = br = i == 0 ? Sys(COLOR_WINDOWFRAME) : Sys(COLOR_WINDOW);
        } else if (grfFlags & BF_FLAT) {
            tl = br = i == 0 ? Sys(COLOR_3DSHADOW) : Sys(COLOR_3DFACE);
        }
        if (cr) {
            Frame(cr, r, tl, br, sides);
        }
        Shrink(r, sides);
    }
    if ((grfFlags & BF_MIDDLE) && cr) {
        Fill(cr, r, (grfFlags & BF_MONO) ? Sys(COLOR_WINDOW) : Sys(COLOR_3DFACE));
    }
    if (grfFlags & BF_ADJUST) {
        *qrc = r;
    }
    return TRUE;
}

BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
    if (!lprc) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    cairo_t* cr = scope.cr();
    const RECT r = *lprc;
    if (cr) {
        switch (uType) {
            case DFC_BUTTON:
                if (uState & DFCS_BUTTONPUSH) {
                    PushFrame(cr, r, uState);
                } else {
                    CheckBox(cr, r, uState);
                }
                break;
            case DFC_SCROLL:
                PushFrame(cr, r, uState & ~DFCS_CHECKED);
                Arrow(cr, r, uState & 0xFF,
                      (uState & DFCS_INACTIVE) ? Sys(COLOR_GRAYTEXT) : Sys(COLOR_BTNTEXT));
                break;
            case DFC_CAPTION:
                CaptionButton(cr, r, uState);
                break;
            case DFC_MENU:
            case DFC_POPUPMENU:
                Arrow(cr, r, DFCS_SCROLLRIGHT, Sys(COLOR_MENUTEXT));
                break;
            default:
                tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
                return FALSE;
        }
    }
    if ((uState & DFCS_ADJUSTRECT) && uType == DFC_BUTTON && (uState & DFCS_BUTTONPUSH)) {
        InflateRect(lprc, -1, -1);
    }
    return TRUE;
}

}  // extern "C"
