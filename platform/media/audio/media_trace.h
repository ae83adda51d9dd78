// The media framework's own lines in the device trace (what plays, a file it read only in part),
// written with no module name, as the platform's other parts write theirs.
#pragma once

#include <string>

namespace tovarin::media {

void TraceLine(std::wstring text);

}  // namespace tovarin::media
