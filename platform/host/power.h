// The device's power, host side: the emulator's console and tests change the supply and the
// system power state here, and the power manager broadcasts the change to the queues that asked
// for it with RequestPowerNotifications.
//
// A device boots on battery (AC offline, battery high at 100 %) in the system power state "on".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovarin::kernel::power {

// External power comes (true) or goes (false). A change of the AC line status broadcasts
// PBT_POWERSTATUSCHANGE; setting the status it already has broadcasts nothing.
void SetExternalPower(bool online);
bool ExternalPower();

// Enters a system power state by name: "on", "useridle", "backlightoff", "unattended",
// "suspend", "resuming" (case-insensitive). Entering a state, also the current one, broadcasts
// PBT_TRANSITION with the state's name and flags. Returns false, and changes nothing, for a name
// it does not know.
bool SetSystemPowerState(std::wstring_view name);

struct SystemPowerState {
    std::wstring name;
    uint32_t flags = 0;  // POWER_STATE_*
};
SystemPowerState CurrentSystemPowerState();

}  // namespace tovarin::kernel::power
