// Parsing and carrying out `screenshot "HOSTFILE.png"`.
#include "console/screen_commands.h"

#include "console/session.h"
#include "host/screen_image.h"

namespace tovarin::emulator::console {

std::optional<std::variant<ScreenshotCommand, std::string>> ParseScreenCommand(
    const std::string& name, std::span<const Word> rest) {
    if (name != "screenshot") {
        return std::nullopt;
    }
    if (rest.size() != 1) {
        return std::string("screenshot takes one host file: screenshot \"HOSTFILE.png\"");
    }
    if (rest[0].text.empty()) {
        return std::string("screenshot needs a file name");
    }
    return ScreenshotCommand{rest[0].text};
}

Outcome Session::Do(const ScreenshotCommand& command) {
    std::string error;
    if (!gwes::WriteScreenshot(command.host_file, &error)) {
        return Outcome::Failed(error);
    }
    return Outcome::Done();
}

}  // namespace tovarin::emulator::console
