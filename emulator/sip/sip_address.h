// Where the phone's SIP line listens: `--sip [ADDR:]PORT`, 127.0.0.1 unless told otherwise, so
// that only programs on the same machine can call the phone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sip/audio_address.h"

namespace tovarin::emulator::sip {

inline constexpr uint16_t kDefaultSipPort = 5060;
inline constexpr char kLoopbackAddress[] = "127.0.0.1";

struct SipAddress {
    std::string host = kLoopbackAddress;  // a numeric IPv4 or IPv6 address
    uint16_t port = kDefaultSipPort;      // 0: any free port
};

// "5060", "127.0.0.1:5060", "0.0.0.0:5062", "[::1]:5060"; nullopt with *error set otherwise.
std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string* error);

// The addresses a line asked to listen on host listens on: host itself, or for 0.0.0.0 (::) each
// address of this machine of that family, since the stack binds one address per transport. An
// IPv6 link-local address, which would need its interface named, is left out.
std::vector<IpAddress> ListeningAddresses(const IpAddress& host,
                                          const std::vector<IpAddress>& machine);

// "127.0.0.1:5060", "[::1]:5060".
std::string SipAddressText(const SipAddress& address);

}  // namespace tovarin::emulator::sip
