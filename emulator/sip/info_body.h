// The body of a SIP INFO that carries a key press (application/dtmf-relay):
//   Signal=5
//   Duration=160
// Only the key is read; the phone traces it as it traces an RTP telephone event.
#pragma once

#include <optional>
#include <string_view>

namespace tovarin::emulator::sip {

// The key of the body's Signal line: 0-9, *, #, A-D (a-d read as A-D), with blanks around the
// name, the '=' and the value allowed. Nothing when the body has no such line or the value is no
// single key ("Signal=" with blanks only, "Signal=10", a control character).
std::optional<char> KeyOfInfoBody(std::string_view body);

}  // namespace tovarin::emulator::sip
