// The key of a SIP INFO's dtmf-relay body: none, or one of the sixteen keys, read only from the
// body's own bytes.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz_check.h"
#include "sip/info_body.h"

using namespace tovarin::emulator::sip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    const std::optional<char> key = KeyOfInfoBody(body);
    if (key) {
        FUZZ_CHECK(std::strchr("0123456789*#ABCD", *key) != nullptr && *key != '\0');
        FUZZ_CHECK(body.find('=') != std::string_view::npos);
    }
    return 0;
}
