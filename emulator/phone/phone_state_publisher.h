// The phone state in the registry: HKLM\System\State\Phone, which the radio keeps current.
#pragma once

#include "phone/call_model.h"

namespace tovarin::emulator::phone {

// Writes "Active Call Count" and "Incoming Caller Number" first and "Status" last, so that a
// reader woken by the change of "Status" finds the other two current. False when a value cannot
// be written.
bool PublishPhoneState(const PhoneState& state);

}  // namespace tovarin::emulator::phone
