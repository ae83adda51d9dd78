// Where the registry tells about its problems: the host's stderr and, while the device is up,
// the device trace (module "registry"). Texts come without a "registry: " prefix: the stderr line
// and the trace's module name give it once.
#pragma once

#include <string>

namespace tovarin::kernel::registry {

// A problem a person must see (a hive that could not be read or written).
void ReportProblem(const std::wstring& text);
// The same on stderr only: for the problems of loading, which LoadMessages() gives whoever
// traces them.
void PrintProblem(const std::wstring& text);

// A note for the device trace only (a notification that had to be dropped).
void TraceNote(const std::wstring& text);

}  // namespace tovarin::kernel::registry
