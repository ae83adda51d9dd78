// How lists compare their items' texts: without regard to case, Cyrillic included ("ГРОМКО" and
// "громко" are one text), as the phone's lists search and sort. All of the lists' comparisons go
// through these two functions.
#pragma once

#include <string_view>

namespace tovarin::gwes::controls {

// < 0, 0 or > 0 as `a` sorts before, with or after `b`.
int CompareNoCase(std::wstring_view a, std::wstring_view b);
bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix);

}  // namespace tovarin::gwes::controls
