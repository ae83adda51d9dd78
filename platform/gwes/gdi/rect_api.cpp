// Rectangles with brushes and pens: FillRect, FrameRect, Rectangle, PatBlt and DrawFocusRect.
#include <windows.h>

#include <cairo.h>

#include "gwes/gdi/brushes.h"
#include "gwes/gdi/draw_scope.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;

namespace {

void AddRect(cairo_t* cr, const RECT& rect) {
    cairo_rectangle(cr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

extern "C" {

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (!lprc) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DrawScope scope(hDC);
    if (!scope) {
        return 0;
    }
    std::optional<COLORREF> color = BrushColor(scope.gdi(), hbr);
    if (!color) {
        tovarin::kernel::SetError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (scope.cr() && *color != kHollow) {
        AddRect(scope.cr(), *lprc);
        SetSourceColor(scope.cr(), *color);
        cairo_fill(scope.cr());
    }
    return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    if (!lprc) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DrawScope scope(hDC);
    if (!scope) {
        return 0;
    }
    std::optional<COLORREF> color = BrushColor(scope.gdi(), hbr);
    if (!color) {
        tovarin::kernel::SetError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const RECT& r = *lprc;
    if (scope.cr() && *color != kHollow && r.right > r.left && r.bottom > r.top) {
        cairo_t* cr = scope.cr();
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        AddRect(cr, r);
        if (r.right - r.left > 2 && r.bottom - r.top > 2) {
            AddRect(cr, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
        }
        SetSourceColor(cr, *color);
        cairo_fill(cr);
    }
    return 1;
}

BOOL WINAPI Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect) {
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    cairo_t* cr = scope.cr();
    if (!cr) {
        return TRUE;
    }
    const RECT r{std::min(nLeftRect, nRightRect), std::min(nTopRect, nBottomRect),
                 std::max(nLeftRect, nRightRect), std::max(nTopRect, nBottomRect)};
    auto* pen = scope.Selected<Pen>(GdiKind::Pen);
    const int width = pen && pen->style != PS_NULL ? pen->width : 0;
    // The interior is filled with the brush; the pen draws inside the rectangle's edge.
    if (auto* brush = scope.Selected<Brush>(GdiKind::Brush); brush && !brush->hollow) {
        AddRect(cr, RECT{r.left + width, r.top + width, r.right - width, r.bottom - width});
        SetSourceColor(cr, brush->color);
        cairo_fill(cr);
    }
    if (width > 0) {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        AddRect(cr, r);
        AddRect(cr, RECT{r.left + width, r.top + width, r.right - width, r.bottom - width});
        SetSourceColor(cr, pen->color);
        cairo_fill(cr);
    }
    return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    if (!lprc) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hDC);
    if (!scope) {
        return FALSE;
    }
    cairo_t* cr = scope.cr();
    const RECT& r = *lprc;
    if (!cr || r.right <= r.left || r.bottom <= r.top) {
        return TRUE;
    }
    // A dotted frame, every other pixel, drawn by inverting: drawing it twice takes it away.
    for (int x = r.left; x < r.right; ++x) {
        if ((x - r.left) % 2 == 0) {
            cairo_rectangle(cr, x, r.top, 1, 1);
            if (r.bottom - 1 > r.top) {
                cairo_rectangle(cr, x, r.bottom - 1, 1, 1);
            }
        }
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        if ((y - r.top) % 2 == 0) {
            cairo_rectangle(cr, r.left, y, 1, 1);
            if (r.right - 1 > r.left) {
                cairo_rectangle(cr, r.right - 1, y, 1, 1);
            }
        }
    }
    cairo_set_operator(cr, CAIRO_OPERATOR_DIFFERENCE);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    return TRUE;
}

}  // extern "C"
