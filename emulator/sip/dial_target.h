// Where the phone's outgoing SIP call goes: the address the user dials, `sip:USER@HOST[:PORT]`
// with HOST a numeric address (there is no registrar and no name lookup), read into the parts
// the INVITE needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sip/sip_address.h"

namespace tovarin::emulator::sip {

struct DialTarget {
    std::string user;    // the called user, as dialled
    SipAddress address;  // a numeric, specified host; port 5060 unless dialled
};

// nullopt with *error set when the text is not such an address.
std::optional<DialTarget> ParseDialTarget(std::string_view text, std::string* error);

// "sip:alice@127.0.0.1:5062", "sip:alice@[::1]:5062": what the INVITE is sent to.
std::string DialTargetUri(const DialTarget& target);

}  // namespace tovarin::emulator::sip
