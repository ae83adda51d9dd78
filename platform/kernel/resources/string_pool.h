// Read-only copies of resource strings, for callers that take a pointer to a string resource
// itself (LoadStringW with a zero-sized buffer).
//
// The compiled resources hold UTF-16 text, which a host wide string cannot point into, so the
// pointer goes to a converted copy laid out as the device lays out the resource: the
// character before the text holds its length. The copy ends with a zero as well. Copies are
// shared by equal texts and live as long as the host process, so a pointer stays valid after
// its module is unloaded, which no caller can tell from the device's behaviour.
#pragma once

#include <string_view>

namespace tovarin::kernel::resources {

const wchar_t* ReadOnlyCopy(std::wstring_view text);

}  // namespace tovarin::kernel::resources
