// Trace lines of the emulator's own parts (the phone, the service host), written to the device
// trace under the part's name so that they are printed and can be expected like any other.
#pragma once

#include <string>

namespace tovarin::emulator {

// Writes one line ("\r\n" is added) under the module name `part`. Nothing when no device is up.
void HostTrace(const wchar_t* part, const std::wstring& text);

}  // namespace tovarin::emulator
