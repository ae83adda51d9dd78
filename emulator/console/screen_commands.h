// The console's command on the screen's picture: screenshot "HOSTFILE.png".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <variant>

#include "console/words.h"

namespace tovarin::emulator::console {

// screenshot "HOSTFILE.png": the screen as it is now, as a PNG file on the host.
struct ScreenshotCommand {
    std::string host_file;  // as written
};

}  // namespace tovarin::emulator::console
