#include "sip/stack_address.h"

namespace tovarin::emulator::sip {

std::optional<IpAddress> IpAddressOf(const sa& address) {
    char text[64] = {};
    if (sa_ntop(&address, text, sizeof text) != 0) {
        return std::nullopt;
    }
    return ParseIpAddress(text);
}

std::string AnswerHost(const std::string& listening_host, const sa& arrived_on) {
    const std::optional<IpAddress> address = IpAddressOf(arrived_on);
    return address && !address->IsUnspecified() ? IpAddressText(*address) : listening_host;
}

}  // namespace tovarin::emulator::sip
