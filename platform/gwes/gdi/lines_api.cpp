// Lines with the selected pen: MoveToEx, LineTo and Polyline. A line covers the pixels from its
// first point up to, not including, its last, as on the phone.
#include <cstdlib>

#include <cairo.h>

#include "gwes/gdi/draw_scope.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;

namespace {

// Bresenham's line from (x0, y0) to (x1, y1), the last point left out; each point a square of
// the pen's width, dashes of 6 pixels on and 3 off.
void DrawLine(cairo_t* cr, const Pen& pen, int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    const int half = (pen.width - 1) / 2;
    for (int step = 0; x0 != x1 || y0 != y1; ++step) {
        if (pen.style != PS_DASH || step % 9 < 6) {
            cairo_rectangle(cr, x0 - half, y0 - half, pen.width, pen.width);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
    SetSourceColor(cr, pen.color);
    cairo_fill(cr);
}

}  // namespace

extern "C" {

BOOL WINAPI MoveToEx(HDC hdc, int X, int Y, LPPOINT lpPoint) {
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return FALSE;
    }
    if (lpPoint) {
        *lpPoint = scope.dc().attributes.position;
    }
    scope.dc().attributes.position = POINT{X, Y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int nXEnd, int nYEnd) {
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    POINT& position = scope.dc().attributes.position;
    const Pen* pen = scope.Selected<Pen>(GdiKind::Pen);
    if (scope.cr() && pen && pen->style != PS_NULL) {
        DrawLine(scope.cr(), *pen, position.x, position.y, nXEnd, nYEnd);
    }
    position = POINT{nXEnd, nYEnd};
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* lppt, int cPoints) {
    if (!lppt || cPoints < 2) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    const Pen* pen = scope.Selected<Pen>(GdiKind::Pen);
    if (scope.cr() && pen && pen->style != PS_NULL) {
        for (int i = 1; i < cPoints; ++i) {
            DrawLine(scope.cr(), *pen, lppt[i - 1].x, lppt[i - 1].y, lppt[i].x, lppt[i].y);
        }
    }
    return TRUE;
}

}  // extern "C"
