// tovarin-emu: boots a simulated phone and drives it from a script or from typed commands.
#include <cstdio>
#include <string>
#include <vector>

#include "console/grammar.h"
#include "console/output.h"
#include "console/script_runner.h"
#include "emulator_options.h"
#include "exit_signals.h"

int main(int argc, char** argv) {
    using namespace tovarin::emulator;
    HandleExitSignals();
    console::Output output(stdout);
    auto parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (auto* error = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "tovarin-emu: %s\n%s", error->c_str(), UsageText().c_str());
        return console::kExitUnusable;
    }
    const EmulatorOptions& options = std::get<EmulatorOptions>(parsed);
    if (options.help) {
        std::fputs(UsageText().c_str(), stdout);
        std::fputs("\nConsole and script commands:\n", stdout);
        for (const std::string& line : console::HelpLines()) {
            output.Line(line);
        }
        return 0;
    }
    return options.script ? console::RunScript(options, output)
                          : console::RunConsole(options, output);
}
