// The line's look at a SIP request before anything acts on it: a request that is malformed in a
// way the stack lets through is answered with a 4xx and changes nothing.
#pragma once

#include <cstdint>
#include <string>

struct sip_msg;

namespace tovarin::emulator::sip {

struct RequestProblem {
    uint16_t code = 0;  // 0: the request may go on
    const char* reason = "";
    std::string detail;  // for the trace
};

// The methods the line takes (its Allow header); anything else gets 501.
inline constexpr const char* kLineMethods[] = {"INVITE", "ACK", "BYE", "CANCEL", "OPTIONS", "INFO"};

// A method the line takes; Call-ID, From, To and CSeq present, once each, and well-formed, a body
// as long as its Content-Length says, the CSeq's method that of the request, a
// sip: or sips: request URI, Max-Forwards not spent, and for an INVITE a session description
// that parses (Content-Type application/sdp).
RequestProblem CheckSipRequest(const sip_msg* msg);

}  // namespace tovarin::emulator::sip
