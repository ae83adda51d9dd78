// DrawTextW: text laid out in a rectangle: alignment, word breaking, the end ellipsis,
// mnemonics (&), DT_CALCRECT.
#include <string>
#include <string_view>
#include <vector>

#include <cairo.h>

#include "gwes/gdi/draw_scope.h"
#include "gwes/gdi/text_layout.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;

namespace {

constexpr std::wstring_view kEllipsis = L"...";

struct Line {
    std::wstring text;
    size_t mnemonic = std::wstring::npos;  // index of the underlined character
};

// Takes out the '&' of mnemonics: "&&" is one '&', "&x" underlines x.
Line WithoutPrefixes(std::wstring_view text) {
    Line line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != L'&') {
                line.mnemonic = line.text.size();
            }
        }
        line.text.push_back(text[i]);
    }
    return line;
}

// The paragraphs of the text (split at line breaks, unless single-line).
std::vector<std::wstring> Paragraphs(std::wstring_view text, bool single_line) {
    std::vector<std::wstring> paragraphs(1);
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            if (single_line) {
                continue;
            }
            if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
                ++i;
            }
            paragraphs.emplace_back();
            continue;
        }
        paragraphs.back().push_back(c == L'\t' ? L' ' : c);
    }
    return paragraphs;
}

// Breaks a paragraph into lines no wider than `width` at spaces; a word wider than the line
// stays whole on its own line.
std::vector<std::wstring> WordBreak(const FontSpec& font, const std::wstring& paragraph,
                                    int width) {
    std::vector<std::wstring> lines;
    std::wstring current;
    size_t pos = 0;
    while (pos <= paragraph.size()) {
        size_t space = paragraph.find(L' ', pos);
        if (space == std::wstring::npos) {
            space = paragraph.size();
        }
        const std::wstring word = paragraph.substr(pos, space - pos);
        const std::wstring candidate = current.empty() ? word : current + L' ' + word;
        if (!current.empty() && TextWidth(font, candidate) > width) {
            lines.push_back(current);
            current = word;
        } else {
            current = candidate;
        }
        pos = space + 1;
    }
    lines.push_back(current);
    return lines;
}

// The line cut so that it and "..." fit the width.
std::wstring WithEllipsis(const FontSpec& font, const std::wstring& text, int width) {
    if (TextWidth(font, text) <= width) {
        return text;
    }
    std::wstring cut = text;
    while (!cut.empty() && TextWidth(font, cut + std::wstring(kEllipsis)) > width) {
        cut.pop_back();
    }
    return cut + std::wstring(kEllipsis);
}

}  // namespace

extern "C" {

int WINAPI DrawTextW(HDC hDC, LPCWSTR lpString, int nCount, LPRECT lpRect, UINT uFormat) {
    if (!lpRect || (!lpString && nCount != 0)) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DrawScope scope(hDC, /*drawing=*/!(uFormat & DT_CALCRECT));
    if (!scope) {
        return 0;
    }
    const std::wstring_view text = !lpString    ? std::wstring_view()
                                   : nCount < 0 ? std::wstring_view(lpString)
                                                : std::wstring_view(lpString, nCount);
    const FontSpec font = SelectedFont(scope);
    const int line_height = MetricsOf(font, 0).tmHeight;
    const bool single_line = (uFormat & DT_SINGLELINE) != 0;
    const int width = lpRect->right - lpRect->left;

    std::vector<Line> lines;
    for (const std::wstring& paragraph : Paragraphs(text, single_line)) {
        Line whole = (uFormat & DT_NOPREFIX) ? Line{paragraph} : WithoutPrefixes(paragraph);
        if ((uFormat & DT_WORDBREAK) && !single_line) {
            for (std::wstring& broken : WordBreak(font, whole.text, width)) {
                lines.push_back(Line{std::move(broken)});
            }
            if (whole.mnemonic != std::wstring::npos && lines.size() == 1) {
                lines[0].mnemonic = whole.mnemonic;
            }
        } else {
            lines.push_back(std::move(whole));
        }
    }
    if (uFormat & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        for (Line& line : lines) {
            std::wstring cut = WithEllipsis(font, line.text, width);
            if (cut != line.text) {
                line.text = std::move(cut);
                line.mnemonic = std::wstring::npos;
            }
        }
    }
    std::vector<int> widths;
    int widest = 0;
    for (const Line& line : lines) {
        widths.push_back(TextWidth(font, line.text));
        widest = std::max(widest, widths.back());
    }
    const int height = line_height * static_cast<int>(lines.size());
    if (uFormat & DT_CALCRECT) {
        lpRect->right = lpRect->left + widest;
        lpRect->bottom = lpRect->top + height;
        return height;
    }

    int top = lpRect->top;
    if (single_line && (uFormat & DT_VCENTER)) {
        top = lpRect->top + (lpRect->bottom - lpRect->top - line_height) / 2;
    } else if (single_line && (uFormat & DT_BOTTOM)) {
        top = lpRect->bottom - line_height;
    }
    cairo_t* cr = scope.cr();
    if (!cr) {
        return height;
    }
    const DcAttributes& attributes = scope.dc().attributes;
    cairo_save(cr);
    if (!(uFormat & DT_NOCLIP)) {
        cairo_rectangle(cr, lpRect->left, lpRect->top, width, lpRect->bottom - lpRect->top);
        cairo_clip(cr);
    }
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    for (size_t i = 0; i < lines.size(); ++i) {
        int x = lpRect->left;
        if (uFormat & DT_CENTER) {
            x = lpRect->left + (width - widths[i]) / 2;
        } else if (uFormat & DT_RIGHT) {
            x = lpRect->right - widths[i];
        }
        const int y = top + line_height * static_cast<int>(i);
        if (attributes.bk_mode == OPAQUE) {
            cairo_rectangle(cr, x, y, widths[i], line_height);
            SetSourceColor(cr, attributes.bk_color);
            cairo_fill(cr);
        }
        SetSourceColor(cr, attributes.text_color);
        ShowText(cr, font, lines[i].text, x, y, lines[i].mnemonic);
    }
    cairo_restore(cr);
    return (uFormat & (DT_VCENTER | DT_BOTTOM)) && single_line ? top - lpRect->top + height
                                                               : height;
}

}  // extern "C"
