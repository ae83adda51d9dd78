#include "sip/dial_target.h"

#include <charconv>

namespace tovarin::emulator::sip {
namespace {

constexpr char kForm[] = "a SIP address is sip:USER@HOST[:PORT] with a numeric HOST";

// The characters of a SIP URI's user part that need no escaping (RFC 3261's unreserved and
// user-unreserved, without the ones that would start parameters or headers).
bool IsUserCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-_.!~*'()+&=$,").find(c) != std::string_view::npos;
}

std::optional<uint16_t> PortOf(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > 65535) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<DialTarget> ParseDialTarget(std::string_view text, std::string* error) {
    auto refuse = [&](const std::string& why) {
        *error = why;
        return std::nullopt;
    };
    if (!text.starts_with("sip:") && !text.starts_with("SIP:")) {
        return refuse(kForm);
    }
    text.remove_prefix(4);
    const size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0) {
        return refuse(std::string(kForm) + ": the user part is missing");
    }
    DialTarget target;
    target.user = std::string(text.substr(0, at));
    for (char c : target.user) {
        if (!IsUserCharacter(c)) {
            return refuse(
                "the user part of a SIP address takes letters, digits and -_.!~*'()+&=$,");
        }
    }
    std::string_view host = text.substr(at + 1);
    std::string_view port;
    if (host.starts_with('[')) {
        const size_t close = host.find(']');
        if (close == std::string_view::npos) {
            return refuse(std::string(kForm) + ": an IPv6 host is written [ADDR]");
        }
        const std::string_view after = host.substr(close + 1);
        if (!after.empty() && !after.starts_with(':')) {
            return refuse(kForm);
        }
        port = after.empty() ? after : after.substr(1);
        host = host.substr(1, close - 1);
    } else if (const size_t colon = host.find(':'); colon != std::string_view::npos) {
        port = host.substr(colon + 1);
        host = host.substr(0, colon);
    }
    const std::optional<IpAddress> address = ParseIpAddress(host);
    if (!address || address->IsUnspecified()) {
        return refuse(std::string(kForm) + ", not '" + std::string(host) + "'");
    }
    target.address.host = IpAddressText(*address);
    target.address.port = kDefaultSipPort;
    if (!port.empty() || text.back() == ':') {
        const std::optional<uint16_t> number = PortOf(port);
        if (!number) {
            return refuse("the port of a SIP address is a number from 1 to 65535");
        }
        target.address.port = *number;
    }
    return target;
}

std::string DialTargetUri(const DialTarget& target) {
    return "sip:" + target.user + "@" + SipAddressText(target.address);
}

}  // namespace tovarin::emulator::sip
