// The device's named events as the host sees them (the console's "expect event").
#pragma once

#include <optional>
#include <string>

namespace tovarin::kernel {

// The state of a named event: set or clear, nullopt when no event has that name. Reading it
// takes nothing, also from an auto-reset event.
std::optional<bool> NamedEventState(const std::wstring& name);

}  // namespace tovarin::kernel
