// Text through pango in the device's one typeface, DejaVu Sans Condensed, at the size and style a
// LOGFONTW asks for. Line metrics follow the dialog base units (ascent and descent each rounded
// up), so that text fits the controls that dialog templates lay out; advances come from pango.
// Called with the drawing lock held.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

typedef struct _cairo cairo_t;

namespace tovarin::gwes {

struct FontSpec {
    int em = 21;  // pixels to the em
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
};

FontSpec SpecOf(const LOGFONTW& logfont);
TEXTMETRICW MetricsOf(const FontSpec& font, BYTE charset);

inline constexpr wchar_t kFaceName[] = L"DejaVu Sans Condensed";

// The width of the text in pixels.
int TextWidth(const FontSpec& font, std::wstring_view text);
// The x offset after each character (cumulative advances), as GetTextExtentExPointW gives them.
std::vector<int> CharacterEnds(const FontSpec& font, std::wstring_view text);

// Draws the text with its cell's top-left corner at (x, y) in the source colour set on `cr`;
// `underline_at` is the index of a character to underline (a mnemonic), or npos.
void ShowText(cairo_t* cr, const FontSpec& font, std::wstring_view text, double x, double y,
              size_t underline_at = std::wstring_view::npos);

class DrawScope;
// The font selected into the scope's device context, and its character set.
FontSpec SelectedFont(DrawScope& scope);
BYTE SelectedCharset(DrawScope& scope);

}  // namespace tovarin::gwes
