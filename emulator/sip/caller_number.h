// The caller's number that a SIP call gives the phone: the only thing from the network that
// reaches the device's state (the published "Incoming Caller Number", and from there the
// answering machine's greeting lookup and file names). Anything that is not a plain telephone
// number is a withheld number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tovarin::emulator::sip {

inline constexpr size_t kMaxCallerNumberLength = 32;

// The From URI's user part (still %-escaped) as the phone's caller number: digits, *, # and a
// leading +, with the visual separators of a telephone number ("-", ".", "(", ")", spaces)
// taken out, at most kMaxCallerNumberLength characters. Empty (withheld) for "anonymous", a
// name, an empty user part or anything longer or stranger.
std::wstring CallerNumberOf(std::string_view user);

}  // namespace tovarin::emulator::sip
