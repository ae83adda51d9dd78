// tovarin-emu's command line.
//
//   tovarin-emu [--device DIR] [--time real|simulated]          the console on standard input
//   tovarin-emu --no-boot [--device DIR] [--time ...]           the same, before the boot
//   tovarin-emu --script FILE [--device DIR] [--time real|simulated]
//   ... [--artifacts DIR]    where a failed script leaves the screen, the window and the trace
//   ... [--install FILE]...   also copies FILE into \Windows of the image (test libraries)
//   tovarin-emu --web [PORT] ...                                 the console and the web page
//   ... [--sip [[ADDR:]PORT]] also a SIP line that softphones call (real time; port 5060)
//   tovarin-emu help
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/device.h"
#include "sip/sip_address.h"

namespace tovarin::emulator {

inline constexpr uint16_t kDefaultWebPort = 8080;

struct EmulatorOptions {
    std::optional<std::filesystem::path> device_dir;  // none: the default image (or, for a
                                                      // script, a temporary one)
    std::optional<std::filesystem::path> script;
    // Where a failed script leaves its evidence (--artifacts); none: "NAME.failure" beside it.
    std::optional<std::filesystem::path> artifacts;
    std::optional<kernel::ClockMode> time;  // none: simulated for scripts, real for the console
    std::vector<std::filesystem::path> installs;  // host files copied into \Windows (--install)
    bool help = false;
    bool no_boot = false;  // the console starts before the boot
    // The console also serves the web page on 127.0.0.1 at this port (--web; 0: any free one).
    std::optional<uint16_t> web_port;
    // The phone's SIP line listens here (--sip). Calls from the network come in real time, so
    // --sip makes real time the default, for scripts too, and refuses --time simulated.
    std::optional<sip::SipAddress> sip;

    kernel::ClockMode Clock() const {
        return time.value_or(script && !sip ? kernel::ClockMode::Simulated
                                            : kernel::ClockMode::Real);
    }
};

// The options, or why the arguments are not a valid command line.
std::variant<EmulatorOptions, std::string> ParseCommandLine(const std::vector<std::string>& args);

// What `tovarin-emu help` prints.
std::string UsageText();

}  // namespace tovarin::emulator
