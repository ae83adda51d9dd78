// The system power states the device knows, each with its POWER_STATE_* flags.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovarin::kernel::power {

struct SystemPowerStateDefinition {
    std::wstring_view name;  // as GetSystemPowerState reports it, lower case
    uint32_t flags;
};

// The state called name (compared without regard to case), or nullopt.
std::optional<SystemPowerStateDefinition> FindSystemPowerState(std::wstring_view name);

}  // namespace tovarin::kernel::power
