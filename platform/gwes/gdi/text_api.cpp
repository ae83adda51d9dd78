// Text: ExtTextOutW, GetTextExtentPoint32W, GetTextExtentExPointW, GetTextMetricsW and
// GetTextFaceW, in the font selected into the device context.
#include <string_view>

#include <cairo.h>

#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/text_layout.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace tovarin::gwes {

FontSpec SelectedFont(DrawScope& scope) {
    const Font* font = scope.Selected<Font>(GdiKind::Font);
    return font ? SpecOf(font->logfont) : FontSpec{};
}

BYTE SelectedCharset(DrawScope& scope) {
    const Font* font = scope.Selected<Font>(GdiKind::Font);
    return font ? font->logfont.lfCharSet : BYTE{DEFAULT_CHARSET};
}

}  // namespace tovarin::gwes

namespace {

// A count of -1 means up to the terminator, as the text calls take it.
std::wstring_view TextOf(LPCWSTR text, int count) {
    if (!text) {
        return {};
    }
    return count < 0 ? std::wstring_view(text)
                     : std::wstring_view(text, static_cast<size_t>(count));
}

}  // namespace

extern "C" {

BOOL WINAPI ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpString,
                        UINT cbCount, const int* lpDx) {
    if (cbCount > 0 && !lpString) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) {
        return FALSE;
    }
    cairo_t* cr = scope.cr();
    if (!cr) {
        return TRUE;
    }
    const std::wstring_view text(lpString ? lpString : L"", cbCount);
    const FontSpec font = SelectedFont(scope);
    const TEXTMETRICW metrics = MetricsOf(font, 0);
    DcAttributes& attributes = scope.dc().attributes;

    int width = 0;
    std::vector<int> ends;
    if (lpDx) {
        for (UINT i = 0; i < cbCount; ++i) {
            width += lpDx[i];
            ends.push_back(width);
        }
    } else {
        width = TextWidth(font, text);
    }
    // Where the text's cell starts, from the reference point and the alignment.
    const bool update_cp = (attributes.text_align & TA_UPDATECP) != 0;
    int x = update_cp ? attributes.position.x : X;
    int y = update_cp ? attributes.position.y : Y;
    const UINT horizontal = attributes.text_align & (TA_LEFT | TA_RIGHT | TA_CENTER);
    const UINT vertical = attributes.text_align & (TA_TOP | TA_BOTTOM | TA_BASELINE);
    if (horizontal == TA_RIGHT) {
        x -= width;
    } else if (horizontal == TA_CENTER) {
        x -= width / 2;
    }
    if (vertical == TA_BASELINE) {
        y -= metrics.tmAscent;
    } else if (vertical == TA_BOTTOM) {
        y -= metrics.tmHeight;
    }
    if (update_cp && horizontal != TA_CENTER) {
        attributes.position.x = horizontal == TA_RIGHT ? x : x + width;
    }

    cairo_save(cr);
    if (lprc && (fuOptions & ETO_OPAQUE)) {
        cairo_rectangle(cr, lprc->left, lprc->top, lprc->right - lprc->left,
                        lprc->bottom - lprc->top);
        SetSourceColor(cr, attributes.bk_color);
        cairo_fill(cr);
    }
    if (lprc && (fuOptions & ETO_CLIPPED)) {
        cairo_rectangle(cr, lprc->left, lprc->top, lprc->right - lprc->left,
                        lprc->bottom - lprc->top);
        cairo_clip(cr);
    }
    if (attributes.bk_mode == OPAQUE && !(fuOptions & ETO_OPAQUE)) {
        cairo_rectangle(cr, x, y, width, metrics.tmHeight);
        SetSourceColor(cr, attributes.bk_color);
        cairo_fill(cr);
    }
    SetSourceColor(cr, attributes.text_color);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    if (lpDx) {
        int start = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            ShowText(cr, font, text.substr(i, 1), x + start, y);
            start = ends[i];
        }
    } else {
        ShowText(cr, font, text, x, y);
    }
    cairo_restore(cr);
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE lpSize) {
    if (!lpSize || c < 0 || (c > 0 && !lpString)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return FALSE;
    }
    const FontSpec font = SelectedFont(scope);
    lpSize->cx = TextWidth(font, TextOf(lpString, c));
    lpSize->cy = MetricsOf(font, 0).tmHeight;
    return TRUE;
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszStr, int cchString, int nMaxExtent,
                                  LPINT lpnFit, LPINT alpDx, LPSIZE lpSize) {
    if (!lpSize || cchString < 0 || (cchString > 0 && !lpszStr)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return FALSE;
    }
    const FontSpec font = SelectedFont(scope);
    const std::vector<int> ends = CharacterEnds(font, TextOf(lpszStr, cchString));
    int fit = 0;
    for (size_t i = 0; i < ends.size(); ++i) {
        if (lpnFit && ends[i] > nMaxExtent) {
            break;
        }
        if (alpDx) {
            alpDx[i] = ends[i];
        }
        ++fit;
    }
    if (lpnFit) {
        *lpnFit = fit;
    }
    lpSize->cx = ends.empty() ? 0 : ends.back();
    lpSize->cy = MetricsOf(font, 0).tmHeight;
    return TRUE;
}

BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
    if (!lptm) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return FALSE;
    }
    *lptm = MetricsOf(SelectedFont(scope), SelectedCharset(scope));
    return TRUE;
}

int WINAPI GetTextFaceW(HDC hdc, int nCount, LPWSTR lpFaceName) {
    DrawScope scope(hdc, /*drawing=*/false);
    if (!scope) {
        return 0;
    }
    const std::wstring_view face = kFaceName;
    if (!lpFaceName) {
        return static_cast<int>(face.size()) + 1;
    }
    if (nCount <= 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t copied = std::min(face.size(), static_cast<size_t>(nCount - 1));
    face.copy(lpFaceName, copied);
    lpFaceName[copied] = 0;
    return static_cast<int>(copied);
}

}  // extern "C"
