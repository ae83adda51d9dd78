#include "emulator_options.h"

#include "image/build_config.h"

namespace tovarin::emulator {

std::variant<EmulatorOptions, std::string> ParseCommandLine(const std::vector<std::string>& args) {
    EmulatorOptions options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "help" || arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--no-boot") {
            options.no_boot = true;
            continue;
        }
        if (arg == "--web") {
            options.web_port = kDefaultWebPort;
            if (i + 1 < args.size() && !args[i + 1].empty() &&
                args[i + 1].find_first_not_of("0123456789") == std::string::npos) {
                const std::string& port = args[++i];
                if (port.size() > 5 || std::stoul(port) > 65535) {
                    return "--web takes a port up to 65535, not '" + port + "'";
                }
                options.web_port = static_cast<uint16_t>(std::stoul(port));
            }
            continue;
        }
        if (arg == "--sip" && (i + 1 >= args.size() || args[i + 1].empty() ||
                               args[i + 1].starts_with("-") || args[i + 1] == "help")) {
            // As --web takes 8080, a bare --sip takes the port softphones call by default.
            options.sip = sip::SipAddress{};
            continue;
        }
        if (arg != "--device" && arg != "--script" && arg != "--time" && arg != "--install" &&
            arg != "--sip" && arg != "--artifacts") {
            return "unknown argument '" + arg + "'";
        }
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            return arg + " needs a value";
        }
        const std::string& value = args[++i];
        if (arg == "--device") {
            options.device_dir = value;
        } else if (arg == "--script") {
            options.script = value;
        } else if (arg == "--artifacts") {
            options.artifacts = value;
        } else if (arg == "--install") {
            options.installs.push_back(value);
        } else if (arg == "--sip") {
            std::string error;
            options.sip = sip::ParseSipAddress(value, &error);
            if (!options.sip) {
                return error;
            }
        } else if (value == "real") {
            options.time = kernel::ClockMode::Real;
        } else if (value == "simulated") {
            options.time = kernel::ClockMode::Simulated;
        } else {
            return "--time takes real or simulated, not '" + value + "'";
        }
    }
    if (options.sip && options.time == kernel::ClockMode::Simulated) {
        return "--sip answers calls from the network as they come, in real time: it cannot run "
               "with --time simulated";
    }
    if (options.artifacts && !options.script) {
        return "--artifacts names where a failed script leaves its evidence: give --script too";
    }
    if (options.web_port && options.script) {
        return "--web serves the console's page; a script runs without it";
    }
    return options;
}

std::string UsageText() {
    return "Usage:\n"
           "  tovarin-emu [--device DIR] [--time real|simulated]\n"
           "      boots the phone and reads console commands from standard input\n"
           "      (real time unless told otherwise; end with Ctrl-D)\n"
           "  tovarin-emu --no-boot [--device DIR] [--time real|simulated]\n"
           "      the console before the boot: reg, file, disk free and power ac prepare the\n"
           "      image and the initial state, boot starts the phone\n"
           "  tovarin-emu --script FILE [--device DIR] [--time real|simulated] [--artifacts DIR]\n"
           "      runs a script (simulated time unless told otherwise); without --device on a\n"
           "      fresh temporary image that is removed afterwards. A failed script leaves the\n"
           "      screen, the foreground window and the end of the trace in DIR (default:\n"
           "      NAME.failure beside the script)\n"
           "  tovarin-emu --web [PORT] [--device DIR] [--time real|simulated]\n"
           "      the console, and the phone's screen, keys and console as a web page on\n"
           "      127.0.0.1 (default port 8080; 0 takes a free one): open the address it prints\n"
           "  tovarin-emu ... --sip [[ADDR:]PORT]\n"
           "      also gives the phone a SIP line on ADDR (default 127.0.0.1) and PORT (default\n"
           "      5060) that a softphone calls as sip:phone@ADDR:PORT; real time, for scripts too\n"
           "  tovarin-emu help\n"
           "\n"
           "--device DIR   the device image folder, made at first start from the build\n"
           "--install FILE also copies the host file FILE into \\Windows of the image (a test\n"
           "               library); may be given more than once\n"
           "               (default: " +
           std::string(kDefaultDeviceDir) +
           ")\n"
           "\n"
           "Exit codes of a script: 0 every expectation held, 1 a command or expectation\n"
           "failed, 2 a line cannot be parsed, 3 the script or the image cannot be used.\n";
}

}  // namespace tovarin::emulator
