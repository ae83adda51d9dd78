// What a brush handle paints with: a brush object, a system colour's brush, or a class background
// given as COLOR_* + 1.
#pragma once

#include <optional>

#include <windows.h>

#include "gwes/gdi/gdi_objects.h"

namespace tovarin::gwes {

// A colour no brush has: a hollow brush paints nothing.
inline constexpr COLORREF kHollow = 0xFF000000;

// Drawing lock held. None when the handle is no brush.
std::optional<COLORREF> BrushColor(Gdi& gdi, HBRUSH brush);

}  // namespace tovarin::gwes
