// The calls of the soak: console scripts, each one call from its first ring to the idle phone,
// with the expectations that show the call took its course. The mix covers the ways a call goes
// on the phone: answered by the machine, answered by the user, missed, a listed caller with his
// own greeting, recorded with the record key, a second call during a call, and the listener's
// settings changing between calls.
#pragma once

#include <string_view>
#include <vector>

namespace tovarin::emulator::soak {

struct CallScript {
    std::string_view name;
    std::string_view text;
};

// Boots the phone and sets the services up for the mix.
extern const std::string_view kSetupScript;

// The calls, taken in turn.
const std::vector<CallScript>& CallMix();

}  // namespace tovarin::emulator::soak
