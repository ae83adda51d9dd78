// What the page's controls panel shows of the phone: the call's state, the power, the storage
// card, the screen's orientation and the device's time. Read on the console's thread, between
// commands, as the page asks for it.
#pragma once

#include <nlohmann/json.hpp>

#include "console/session.h"

namespace tovarin::emulator::web {

// {"booted", "call": "idle" | "ringing" | "connected" | "connected, a call waiting",
//  "missed", "ac", "power", "card" (its name, or null), "orientation", "time"}.
nlohmann::json ReadPanelState(const console::Session& session);

}  // namespace tovarin::emulator::web
