// File name patterns of FindFirstFileW.
#pragma once

#include <string_view>

namespace tovarin::kernel {

// Whether a file name matches a pattern: * stands for any run of characters (none included),
// ? for exactly one, and "*.*" for every name, with or without a dot. Letters compare without
// regard to case, as device names do.
bool MatchesPattern(std::wstring_view pattern, std::wstring_view name);

bool HasWildcard(std::wstring_view text);

}  // namespace tovarin::kernel
