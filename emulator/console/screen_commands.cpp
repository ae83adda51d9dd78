// Carrying out `screenshot "HOSTFILE.png"`.
#include "console/screen_commands.h"

#include "console/session.h"
#include "host/screen_image.h"

namespace tovarin::emulator::console {

Outcome Session::Do(const ScreenshotCommand& command) {
    std::string error;
    if (!gwes::WriteScreenshot(command.host_file, &error)) {
        return Outcome::Failed(error);
    }
    return Outcome::Done();
}

}  // namespace tovarin::emulator::console
