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

// The command when the line's first word is "screenshot" (`rest` is what follows it); none for
// other lines, a text for a line that is not a well-formed screenshot command.
std::optional<std::variant<ScreenshotCommand, std::string>> ParseScreenCommand(
    const std::string& name, std::span<const Word> rest);

}  // namespace tovarin::emulator::console
