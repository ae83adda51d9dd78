// Icons, host side: what a painter needs to place one.
#pragma once

#include <windows.h>

#include <optional>

namespace tovarin::gwes {

// The size an icon is drawn at (DrawIconEx draws an icon at its own size only); nothing for a
// handle that is no loaded icon.
std::optional<SIZE> IconSize(HICON icon);

}  // namespace tovarin::gwes
