// Case folding of the device's names: registry keys and values, file names, window classes,
// power states. They compare without regard to case, as on the phone, for Latin, Greek and
// Cyrillic letters alike. The fold is our own small table: the C library's towlower depends on
// the host's locale, and the device's names must not.
#pragma once

#include <string>
#include <string_view>

namespace tovarin::kernel {

// The lower-case partner of an upper-case letter; any other character unchanged.
wchar_t FoldChar(wchar_t c);

std::wstring FoldName(std::wstring_view name);

bool NamesEqual(std::wstring_view a, std::wstring_view b);

}  // namespace tovarin::kernel
