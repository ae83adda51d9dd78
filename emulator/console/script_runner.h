// Running a script file and the console on standard input.
#pragma once

#include <filesystem>
#include <string>

#include "console/output.h"
#include "emulator_options.h"

namespace tovarin::emulator::console {

// Exit codes of tovarin-emu.
inline constexpr int kExitHeld = 0;        // every command was done and every expectation held
inline constexpr int kExitFailed = 1;      // a command or an expectation failed
inline constexpr int kExitUnparsable = 2;  // a line of the script is not a command
inline constexpr int kExitUnusable = 3;    // the script or the image cannot be used

struct Outcome;

// Prints a command that failed: where (a script's "FILE:LINE: ", or nothing), the line as
// written, and the reason or what was found instead.
void ReportFailure(Output& output, const std::string& where, const std::string& line,
                   const Outcome& outcome);

// The text without the UTF-8 byte-order mark that some editors write at its start.
std::string WithoutByteOrderMark(std::string text);

// Runs the script named in the options: parses it whole first, then carries out its commands on
// the image (a fresh temporary one, removed afterwards, unless the options name one) and stops
// at the first command or expectation that fails, reporting its line and what was found.
int RunScript(const EmulatorOptions& options, Output& output);

// Boots the image named in the options (the default image when none is) and carries out the
// commands typed on standard input until it ends (or `quit`). A failed command is reported and
// the console goes on; the exit code says whether any failed, as a script's does.
int RunConsole(const EmulatorOptions& options, Output& output);

}  // namespace tovarin::emulator::console
