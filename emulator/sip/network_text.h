// Text that came from the network (an address in a session description, a header's value, a
// user part) on its way to the trace and the terminal: printable ASCII stays as it is, and every
// other byte (control characters, escape sequences, anything not ASCII) is shown escaped, so that
// a caller can neither forge trace lines nor drive the terminal.
#pragma once

#include <string>
#include <string_view>

namespace tovarin::emulator::sip {

// "a\x1b[2Jb" for the bytes a ESC [ 2 J b; a backslash is written "\\".
std::string PrintableText(std::string_view text);

}  // namespace tovarin::emulator::sip
