// Where the registry tells about its problems: the host's stderr and, while the device is up,
// the device trace (module "registry").
#pragma once

#include <string>

namespace tovarin::kernel::registry {

// A problem a person must see (a hive that could not be read or written).
void ReportProblem(const std::wstring& text);

// A note for the device trace only (a notification that had to be dropped).
void TraceNote(const std::wstring& text);

}  // namespace tovarin::kernel::registry
