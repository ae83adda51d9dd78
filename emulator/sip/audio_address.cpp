#include "sip/audio_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>

#include "sip/network_text.h"

namespace tovarin::emulator::sip {
namespace {

// ::ffff:a.b.c.d
bool IsV4Mapped(const in6_addr& address) {
    static constexpr uint8_t kPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    return std::memcmp(address.s6_addr, kPrefix, sizeof kPrefix) == 0;
}

IpAddress FromV4(const in_addr& address) {
    IpAddress ip;
    std::memcpy(ip.bytes.data(), &address, 4);
    return ip;
}

IpAddress FromV6(const in6_addr& address) {
    IpAddress ip;
    if (IsV4Mapped(address)) {
        std::memcpy(ip.bytes.data(), address.s6_addr + 12, 4);
        return ip;
    }
    ip.ipv6 = true;
    std::memcpy(ip.bytes.data(), address.s6_addr, 16);
    return ip;
}

}  // namespace

bool IpAddress::IsLoopback() const {
    if (!ipv6) {
        return bytes[0] == 127;
    }
    static constexpr std::array<uint8_t, 16> kLoopback = {0, 0, 0, 0, 0, 0, 0, 0,
                                                          0, 0, 0, 0, 0, 0, 0, 1};
    return bytes == kLoopback;
}

bool IpAddress::IsUnspecified() const {
    return std::all_of(bytes.begin(), bytes.begin() + (ipv6 ? 16 : 4),
                       [](uint8_t byte) { return byte == 0; });
}

std::optional<IpAddress> ParseIpAddress(std::string_view text) {
    // A scope (fe80::1%eth0) names an interface of the caller's, not an address of the phone's.
    if (text.empty() || text.size() > INET6_ADDRSTRLEN ||
        text.find('%') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::string copy(text);
    in_addr v4{};
    if (inet_pton(AF_INET, copy.c_str(), &v4) == 1) {
        return FromV4(v4);
    }
    in6_addr v6{};
    if (inet_pton(AF_INET6, copy.c_str(), &v6) == 1) {
        return FromV6(v6);
    }
    return std::nullopt;
}

std::string IpAddressText(const IpAddress& address) {
    char text[INET6_ADDRSTRLEN] = {};
    inet_ntop(address.ipv6 ? AF_INET6 : AF_INET, address.bytes.data(), text, sizeof text);
    return text;
}

std::vector<IpAddress> MachineAddresses() {
    std::vector<IpAddress> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (entry->ifa_addr == nullptr) {
                continue;
            }
            if (entry->ifa_addr->sa_family == AF_INET) {
                addresses.push_back(
                    FromV4(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr));
            } else if (entry->ifa_addr->sa_family == AF_INET6) {
                addresses.push_back(
                    FromV6(reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr)->sin6_addr));
            }
        }
        freeifaddrs(list);
    }
    return addresses;
}

AudioDecision DecideAudioPlace(std::string_view offered, const IpAddress& request_source,
                               const std::vector<IpAddress>& machine) {
    const std::optional<IpAddress> address = ParseIpAddress(offered);
    if (!address) {
        return {AudioPlace::Refused, "the audio is to go to '" + PrintableText(offered) +
                                         "', which is no numeric address"};
    }
    if (address->IsUnspecified()) {
        return {AudioPlace::Hold, {}};
    }
    if (request_source.IsLoopback()) {
        const bool own = address->IsLoopback() ||
                         std::find(machine.begin(), machine.end(), *address) != machine.end();
        if (own) {
            return {AudioPlace::Caller, {}};
        }
        return {AudioPlace::Refused, "the audio is to go to " + IpAddressText(*address) +
                                         ", which is not an address of this machine"};
    }
    if (*address == request_source) {
        return {AudioPlace::Caller, {}};
    }
    return {AudioPlace::Refused,
            "the audio is to go to " + IpAddressText(*address) + ", not to the caller's host"};
}

}  // namespace tovarin::emulator::sip
