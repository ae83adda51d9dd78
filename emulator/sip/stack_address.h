// The SIP stack's socket addresses for the line's own decisions: as an IpAddress, and the address
// of this machine the line answers with.
#pragma once

#include <optional>
#include <string>

#include "sip/audio_address.h"
#include "sip/re_stack.h"

namespace tovarin::emulator::sip {

std::optional<IpAddress> IpAddressOf(const sa& address);

// The address the line answers a request with: the one of this machine it came in on (arrived_on,
// the address of the transport that took it), else the listening host. An unspecified address in
// an answer would read as a hold to the caller.
std::string AnswerHost(const std::string& listening_host, const sa& arrived_on);

}  // namespace tovarin::emulator::sip
