#include "gwes/gdi/text_layout.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include <pango/pangocairo.h>

#include "gwes/dialogs/dialog_units.h"
#include "kernel/strings/utf16.h"
#include "host/text.h"

namespace tovarin::gwes {
namespace {

// One pango context for the process: fonts are the same on every device. Its own lock, as
// devices of tests may draw at once.
struct TextEngine {
    std::mutex mutex;
    PangoFontMap* font_map = nullptr;
    PangoContext* context = nullptr;

    TextEngine() {
        font_map = pango_cairo_font_map_new();
        context = pango_font_map_create_context(font_map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
        pango_cairo_context_set_font_options(context, options);
        cairo_font_options_destroy(options);
    }
};

TextEngine& Engine() {
    static TextEngine* engine = new TextEngine();  // lives until the process ends
    return *engine;
}

struct LayoutDeleter {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

// UTF-8 text and, for each UTF-16 unit, the byte offset where its character starts.
struct Utf8Text {
    std::string bytes;
    std::vector<int> offsets;  // one per UTF-16 unit, plus the end
};

// A character that pango cannot show (a lone surrogate, a zero) is drawn as U+FFFD.
Utf8Text ToUtf8(std::wstring_view text) {
    using kernel::IsHighSurrogate;
    using kernel::IsLowSurrogate;
    Utf8Text out;
    out.offsets.reserve(text.size() + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        out.offsets.push_back(static_cast<int>(out.bytes.size()));
        auto code = static_cast<char32_t>(text[i]);
        if (IsHighSurrogate(code) && i + 1 < text.size() &&
            IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
            code = kernel::JoinSurrogates(code, static_cast<char32_t>(text[++i]));
            out.offsets.push_back(out.offsets.back());
        } else if (code == 0) {
            code = kernel::kReplacementCharacter;
        }
        kernel::AppendUtf8(out.bytes, code);
    }
    out.offsets.push_back(static_cast<int>(out.bytes.size()));
    return out;
}

LayoutPtr MakeLayout(const FontSpec& font, const Utf8Text& text,
                     size_t underline_at = std::wstring_view::npos) {
    LayoutPtr layout(pango_layout_new(Engine().context));
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, "DejaVu Sans Condensed");
    pango_font_description_set_absolute_size(description, font.em * PANGO_SCALE);
    pango_font_description_set_weight(description,
                                      font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(description,
                                     font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_font_description_set_stretch(description, PANGO_STRETCH_SEMI_CONDENSED);
    pango_layout_set_font_description(layout.get(), description);
    pango_font_description_free(description);
    pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
    pango_layout_set_text(layout.get(), text.bytes.data(), static_cast<int>(text.bytes.size()));
    PangoAttrList* attributes = pango_attr_list_new();
    if (font.underline) {
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if (font.strike_out) {
        pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    }
    if (underline_at != std::wstring_view::npos && underline_at + 1 < text.offsets.size()) {
        PangoAttribute* mnemonic = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
        mnemonic->start_index = static_cast<guint>(text.offsets[underline_at]);
        mnemonic->end_index = static_cast<guint>(text.offsets[underline_at + 1]);
        pango_attr_list_insert(attributes, mnemonic);
    }
    pango_layout_set_attributes(layout.get(), attributes);
    pango_attr_list_unref(attributes);
    return layout;
}

}  // namespace

FontSpec SpecOf(const LOGFONTW& logfont) {
    FontSpec spec;
    if (logfont.lfHeight < 0) {
        spec.em = -logfont.lfHeight;
    } else if (logfont.lfHeight > 0) {
        // A cell height: the em that gives that cell.
        spec.em = std::max(1, (logfont.lfHeight * 2048 + 1192) / (1901 + 483));
    } else {
        spec.em = EmForPoints(kSystemFontPoints);
    }
    spec.em = std::min(spec.em, 1000);
    spec.bold = logfont.lfWeight >= FW_SEMIBOLD;
    spec.italic = logfont.lfItalic != 0;
    spec.underline = logfont.lfUnderline != 0;
    spec.strike_out = logfont.lfStrikeOut != 0;
    return spec;
}

TEXTMETRICW MetricsOf(const FontSpec& font, BYTE charset) {
    TEXTMETRICW metrics{};
    metrics.tmAscent = FontAscent(font.em);
    metrics.tmDescent = FontDescent(font.em);
    metrics.tmHeight = metrics.tmAscent + metrics.tmDescent;
    metrics.tmInternalLeading = metrics.tmHeight - font.em;
    metrics.tmExternalLeading = 0;
    metrics.tmAveCharWidth = BaseUnitsForEm(font.em).x;
    metrics.tmMaxCharWidth = TextWidth(font, L"Ш");
    metrics.tmWeight = font.bold ? FW_BOLD : FW_NORMAL;
    metrics.tmDigitizedAspectX = kScreenDpi;
    metrics.tmDigitizedAspectY = kScreenDpi;
    metrics.tmFirstChar = 0x20;
    metrics.tmLastChar = 0xFFFC;
    metrics.tmDefaultChar = L'?';
    metrics.tmBreakChar = L' ';
    metrics.tmItalic = font.italic ? 1 : 0;
    metrics.tmUnderlined = font.underline ? 1 : 0;
    metrics.tmStruckOut = font.strike_out ? 1 : 0;
    metrics.tmPitchAndFamily = 0x02 /* variable pitch */ | 0x04 /* vector */ | FF_SWISS;
    metrics.tmCharSet = charset;
    return metrics;
}

int TextWidth(const FontSpec& font, std::wstring_view text) {
    if (text.empty()) {
        return 0;
    }
    std::lock_guard guard(Engine().mutex);
    LayoutPtr layout = MakeLayout(font, ToUtf8(text));
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
    return logical.width;
}

std::vector<int> CharacterEnds(const FontSpec& font, std::wstring_view text) {
    std::vector<int> ends;
    if (text.empty()) {
        return ends;
    }
    std::lock_guard guard(Engine().mutex);
    const Utf8Text utf8 = ToUtf8(text);
    LayoutPtr layout = MakeLayout(font, utf8);
    ends.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const int next = utf8.offsets[i + 1];
        if (next >= static_cast<int>(utf8.bytes.size())) {
            PangoRectangle logical;
            pango_layout_get_pixel_extents(layout.get(), nullptr, &logical);
            ends.push_back(logical.width);
        } else {
            PangoRectangle position;
            pango_layout_index_to_pos(layout.get(), next, &position);
            ends.push_back(PANGO_PIXELS(position.x));
        }
    }
    return ends;
}

void ShowText(cairo_t* cr, const FontSpec& font, std::wstring_view text, double x, double y,
              size_t underline_at) {
    if (text.empty()) {
        return;
    }
    std::lock_guard guard(Engine().mutex);
    LayoutPtr layout = MakeLayout(font, ToUtf8(text), underline_at);
    pango_cairo_update_layout(cr, layout.get());
    const double baseline = pango_layout_get_baseline(layout.get()) / double{PANGO_SCALE};
    cairo_move_to(cr, x, y + FontAscent(font.em) - baseline);
    pango_cairo_show_layout(cr, layout.get());
}

}  // namespace tovarin::gwes
