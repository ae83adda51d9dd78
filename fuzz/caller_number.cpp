// The caller's number a SIP call gives the phone, from the From URI's user part: either withheld
// (empty) or a plain telephone number of at most 32 characters.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "sip/caller_number.h"

using namespace tovarin::emulator::sip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring number =
        CallerNumberOf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (number.empty()) {
        return 0;
    }
    FUZZ_CHECK(number.size() <= kMaxCallerNumberLength);
    FUZZ_CHECK(number.find_first_not_of(L"0123456789*#+") == std::wstring::npos);
    FUZZ_CHECK(number.find(L'+', 1) == std::wstring::npos);
    FUZZ_CHECK(number.find_first_of(L"0123456789*#") != std::wstring::npos);
    return 0;
}
