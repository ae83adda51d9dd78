// Where the phone may send a caller's audio. The phone never lets a request aim its RTP at a third
// party: a caller from elsewhere gets audio only at the host its request came from; a caller on
// this machine (its request came over loopback) may name any address of this machine, since a
// softphone offers its own interface's address, not the loopback address it sent from. An
// unspecified address (0.0.0.0, ::) is no place for audio: it holds the call.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovarin::emulator::sip {

// A numeric IPv4 or IPv6 address; an IPv4-mapped IPv6 address (::ffff:127.0.0.1) is read as the
// IPv4 address it carries, so that both forms compare equal.
struct IpAddress {
    bool ipv6 = false;
    std::array<uint8_t, 16> bytes{};  // 4 used for IPv4

    bool operator==(const IpAddress&) const = default;
    bool IsLoopback() const;
    bool IsUnspecified() const;
};

std::optional<IpAddress> ParseIpAddress(std::string_view text);
std::string IpAddressText(const IpAddress& address);

// The addresses of this machine's interfaces (getifaddrs), the loopback ones included.
std::vector<IpAddress> MachineAddresses();

enum class AudioPlace {
    Caller,   // the address may have the phone's audio
    Hold,     // unspecified: no audio goes anywhere
    Refused,  // not the caller's: the offer is refused
};

struct AudioDecision {
    AudioPlace place = AudioPlace::Refused;
    std::string reason;  // for Refused, printable
};

// The decision for an offer's connection address, given the address the request came from and
// the machine's own addresses.
AudioDecision DecideAudioPlace(std::string_view offered, const IpAddress& request_source,
                               const std::vector<IpAddress>& machine);

}  // namespace tovarin::emulator::sip
