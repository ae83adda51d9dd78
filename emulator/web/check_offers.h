// What the recorder's "Add check" offers for a touch of the screen: the foreground window's title
// and the state of the control touched (its text, check, whether it is enabled or read-only, a
// list's items and selection, a slider's position), each as the `expect` line that checks it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tovarin::emulator::web {

// The lines that hold now, for the control a touch at this screen point is about (touch_lines.h);
// `holds` runs a line as the console does and says whether it held, so that only lines that parse
// and hold are offered. Just the title when the point reaches no control a command names.
std::vector<std::string> OfferChecks(POINT screen,
                                     const std::function<bool(const std::string&)>& holds);

}  // namespace tovarin::emulator::web
