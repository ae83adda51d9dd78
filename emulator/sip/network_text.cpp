#include "sip/network_text.h"

namespace tovarin::emulator::sip {

std::string PrintableText(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string printable;
    printable.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            printable += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7F) {
            printable += c;
        } else {
            printable += "\\x";
            printable += kHex[byte >> 4];
            printable += kHex[byte & 0x0F];
        }
    }
    return printable;
}

}  // namespace tovarin::emulator::sip
