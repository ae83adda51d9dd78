#include "gwes/dialogs/dialog_units.h"

#include <cmath>
#include <cstdint>

namespace tovarin::gwes {
namespace {

// DejaVu Sans Condensed: font units per em, ascender and descender (hhea), and the advance
// widths of 'A'..'Z' then 'a'..'z'.
constexpr int kUnitsPerEm = 2048;
constexpr int kAscender = 1901;
constexpr int kDescender = 483;
constexpr int16_t kLetterAdvances[52] = {
    1260, 1264, 1287, 1419, 1164, 1060, 1428, 1386, 543,  543,  1208, 1026, 1590,
    1378, 1450, 1111, 1450, 1280, 1170, 1125, 1349, 1260, 1822, 1262, 1125, 1262,
    1129, 1170, 1013, 1170, 1134, 648,  1170, 1168, 512,  512,  1067, 512,  1795,
    1168, 1127, 1170, 1170, 757,  960,  722,  1168, 1090, 1507, 1090, 1090, 967};

int CeilDiv(int64_t value, int64_t by) {
    return static_cast<int>((value + by - 1) / by);
}

int RoundDiv(int64_t value, int64_t by) {
    return static_cast<int>((2 * value + by) / (2 * by));
}

// MulDiv: value * numerator / denominator rounded half away from zero.
int MulDivRounded(int value, int numerator, int denominator) {
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

int FontAscent(int em) {
    return CeilDiv(int64_t{em} * kAscender, kUnitsPerEm);
}

int FontDescent(int em) {
    return CeilDiv(int64_t{em} * kDescender, kUnitsPerEm);
}

int EmForPoints(int points) {
    return RoundDiv(static_cast<int64_t>(points) * kScreenDpi, 72);
}

BaseUnits BaseUnitsForPoints(int points) {
    if (points <= 0) {
        points = kSystemFontPoints;
    }
    return BaseUnitsForEm(EmForPoints(points));
}

BaseUnits BaseUnitsForEm(int em) {
    BaseUnits base;
    base.y = FontAscent(em) + FontDescent(em);
    int total = 0;
    for (int16_t advance : kLetterAdvances) {
        total += RoundDiv(int64_t{em} * advance, kUnitsPerEm);
    }
    base.x = (total + 26) / 52;
    return base;
}

BaseUnits SystemBaseUnits() {
    static const BaseUnits units = BaseUnitsForPoints(kSystemFontPoints);
    return units;
}

int DialogUnitsToPixelsX(int units, const BaseUnits& base) {
    return MulDivRounded(units, base.x, 4);
}

int DialogUnitsToPixelsY(int units, const BaseUnits& base) {
    return MulDivRounded(units, base.y, 8);
}

RECT DialogRectToPixels(const RECT& units, const BaseUnits& base) {
    return RECT{DialogUnitsToPixelsX(units.left, base), DialogUnitsToPixelsY(units.top, base),
                DialogUnitsToPixelsX(units.right, base), DialogUnitsToPixelsY(units.bottom, base)};
}

RECT PlacementToPixels(int x, int y, int cx, int cy, const BaseUnits& base) {
    const int left = DialogUnitsToPixelsX(x, base);
    const int top = DialogUnitsToPixelsY(y, base);
    return RECT{left, top, left + DialogUnitsToPixelsX(cx, base),
                top + DialogUnitsToPixelsY(cy, base)};
}

}  // namespace tovarin::gwes
