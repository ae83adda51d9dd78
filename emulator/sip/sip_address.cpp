#include "sip/sip_address.h"

#include <arpa/inet.h>

#include <algorithm>

namespace tovarin::emulator::sip {
namespace {

std::optional<uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const unsigned long port = std::stoul(std::string(text));
    if (port > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(port);
}

bool IsNumericAddress(const std::string& host) {
    unsigned char bytes[16];
    return inet_pton(AF_INET, host.c_str(), bytes) == 1 ||
           inet_pton(AF_INET6, host.c_str(), bytes) == 1;
}

}  // namespace

std::optional<SipAddress> ParseSipAddress(std::string_view text, std::string* error) {
    SipAddress address;
    std::string_view port_text = text;
    if (!text.empty() && text.front() == '[') {
        const size_t close = text.find("]:");
        if (close == std::string_view::npos) {
            *error = "--sip takes [ADDR:]PORT; an IPv6 address is written [ADDR]:PORT";
            return std::nullopt;
        }
        address.host = std::string(text.substr(1, close - 1));
        port_text = text.substr(close + 2);
    } else if (const size_t colon = text.rfind(':'); colon != std::string_view::npos) {
        address.host = std::string(text.substr(0, colon));
        port_text = text.substr(colon + 1);
    }
    const std::optional<uint16_t> port = ParsePort(port_text);
    if (!port) {
        *error = "--sip takes [ADDR:]PORT with a port up to 65535, not '" + std::string(text) + "'";
        return std::nullopt;
    }
    if (!IsNumericAddress(address.host)) {
        *error = "--sip needs a numeric address to listen on (127.0.0.1, 0.0.0.0, [::1]), not '" +
                 address.host + "'";
        return std::nullopt;
    }
    address.port = *port;
    return address;
}

std::vector<IpAddress> ListeningAddresses(const IpAddress& host,
                                          const std::vector<IpAddress>& machine) {
    if (!host.IsUnspecified()) {
        return {host};
    }
    std::vector<IpAddress> addresses;
    for (const IpAddress& address : machine) {
        const bool link_local =
            address.ipv6 && address.bytes[0] == 0xFE && (address.bytes[1] & 0xC0) == 0x80;
        if (address.ipv6 == host.ipv6 && !link_local && !address.IsUnspecified() &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(address);
        }
    }
    return addresses;
}

std::string SipAddressText(const SipAddress& address) {
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace tovarin::emulator::sip
