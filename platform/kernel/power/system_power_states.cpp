#include "kernel/power/system_power_states.h"

#include <array>

#include <pm.h>

#include "kernel/strings/text_case.h"

namespace tovarin::kernel::power {
namespace {

// "backlightoff" is the phone fully on with only the backlight dark, so it carries the flags of
// "on": code that asks whether the system is on gets yes while the backlight is merely off.
// "resuming" is the short step out of suspend, before the power manager has chosen where to go.
constexpr std::array kStates = {
    SystemPowerStateDefinition{L"on", POWER_STATE_ON},
    SystemPowerStateDefinition{L"useridle", POWER_STATE_USERIDLE},
    SystemPowerStateDefinition{L"backlightoff", POWER_STATE_ON},
    SystemPowerStateDefinition{L"unattended", POWER_STATE_UNATTENDED},
    SystemPowerStateDefinition{L"suspend", POWER_STATE_SUSPEND},
    SystemPowerStateDefinition{L"resuming", 0},
};

}  // namespace

std::optional<SystemPowerStateDefinition> FindSystemPowerState(std::wstring_view name) {
    for (const SystemPowerStateDefinition& state : kStates) {
        if (TextsEqualIgnoringCase(state.name, name)) {
            return state;
        }
    }
    return std::nullopt;
}

}  // namespace tovarin::kernel::power
