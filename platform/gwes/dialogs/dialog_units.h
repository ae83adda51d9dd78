// Dialog base units and the conversion of dialog units to pixels.
//
// The phone's dialog font is Tahoma; this device draws its text in DejaVu Sans Condensed, a free
// font with Cyrillic letters whose widths are close to Tahoma's. The base units follow from that
// font's metrics exactly as the phone derives them from Tahoma: at the screen's 192 dpi a font of
// P points is round(P * 192 / 72) pixels to the em; the vertical unit is the font's cell height
// (ascent and descent, each rounded up) and the horizontal unit the average advance of the 52
// letters A-Z and a-z, each rounded to pixels, rounded to the nearest pixel. The defaults (the
// system font, 8 points) give 12 x 25; a 9-point dialog font gives 13 x 29.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

struct BaseUnits {
    int x = 0;  // pixels per 4 horizontal dialog units
    int y = 0;  // pixels per 8 vertical dialog units
};

inline constexpr int kScreenDpi = 192;
inline constexpr int kSystemFontPoints = 8;

// The base units of the device's dialog font at this size (any typeface: the device has one).
BaseUnits BaseUnitsForPoints(int points);
// The same for a font of `em` pixels to the em.
BaseUnits BaseUnitsForEm(int em);
// The font's cell above and below the baseline, each rounded up, for `em` pixels to the em.
int FontAscent(int em);
int FontDescent(int em);
// The pixels to the em of a font of `points` points on this screen.
int EmForPoints(int points);
// The system font's (GetDialogBaseUnits).
BaseUnits SystemBaseUnits();

// Dialog units to pixels with these base units (MulDiv rounding, as MapDialogRect does).
int DialogUnitsToPixelsX(int units, const BaseUnits& base);
int DialogUnitsToPixelsY(int units, const BaseUnits& base);
RECT DialogRectToPixels(const RECT& units, const BaseUnits& base);
// A template's placement (position and size in dialog units) in pixels: the position and the
// size are converted each on its own, as the phone places dialogs and controls.
RECT PlacementToPixels(int x, int y, int cx, int cy, const BaseUnits& base);

}  // namespace tovarin::gwes
