// The system colours of the phone's default theme (GetSysColor).
#pragma once

#include <optional>

#include <windows.h>

namespace tovarin::gwes {

// The table index of a COLOR_* value, with or without SYS_COLOR_INDEX_FLAG; none when out of
// range.
std::optional<int> SysColorIndex(int value);
COLORREF SysColor(int index);

// A class background given as COLOR_* + 1 instead of a brush: the colour's index.
std::optional<int> SysColorOfClassBrush(HBRUSH brush);

}  // namespace tovarin::gwes
