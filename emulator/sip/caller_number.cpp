#include "sip/caller_number.h"

#include <charconv>
#include <optional>
#include <string>

namespace tovarin::emulator::sip {
namespace {

std::optional<int> HexValue(char c) {
    // A string rather than the char itself: g++ 12 at -O2 takes from_chars' unrolled digit loop
    // for a read past a one-byte object (-Warray-bounds).
    const std::string digit(1, c);
    int value = 0;
    const auto [end, error] = std::from_chars(digit.data(), digit.data() + 1, value, 16);
    if (error != std::errc() || end != digit.data() + 1) {
        return std::nullopt;
    }
    return value;
}

bool IsSeparator(char c) {
    return c == '-' || c == '.' || c == '(' || c == ')' || c == ' ';
}

}  // namespace

std::wstring CallerNumberOf(std::string_view user) {
    std::wstring number;
    for (size_t i = 0; i < user.size(); ++i) {
        char c = user[i];
        if (c == '%') {
            // "#" is written %23 in a SIP URI.
            const std::optional<int> high =
                i + 2 < user.size() ? HexValue(user[i + 1]) : std::nullopt;
            const std::optional<int> low =
                i + 2 < user.size() ? HexValue(user[i + 2]) : std::nullopt;
            if (!high || !low) {
                return {};
            }
            c = static_cast<char>(*high * 16 + *low);
            i += 2;
        }
        if (IsSeparator(c)) {
            continue;
        }
        const bool digit = c >= '0' && c <= '9';
        const bool leading_plus = c == '+' && number.empty();
        if (!digit && !leading_plus && c != '*' && c != '#') {
            return {};
        }
        if (number.size() == kMaxCallerNumberLength) {
            return {};
        }
        number.push_back(static_cast<wchar_t>(c));
    }
    // A lone "+" or separators alone are no number.
    if (number.find_first_of(L"0123456789*#") == std::wstring::npos) {
        return {};
    }
    return number;
}

}  // namespace tovarin::emulator::sip
