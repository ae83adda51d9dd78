#include "sip/caller_number.h"

#include <charconv>
#include <optional>

namespace tovarin::emulator::sip {
namespace {

// The byte of a URI escape's two hex digits ("23" is '#'); nothing when they are not two hex
// digits.
std::optional<char> EscapedByte(std::string_view digits) {
    unsigned value = 0;
    const char* const end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
    if (digits.size() != 2 || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return static_cast<char>(value);
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
            const std::optional<char> escaped = EscapedByte(user.substr(i + 1, 2));
            if (!escaped) {
                return {};
            }
            c = *escaped;
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
