// The console's commands for what the shell does around programs: the control-panel host, the
// program launcher, storage cards, the device clock, and the expectations on files and running
// programs. Parsed in shell_grammar.cpp, carried out by Session (host_session.cpp).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "console/words.h"

namespace tovarin::emulator::console {

// The control-panel host opens applet `applet` of the library on page `page`.
struct AppletOpenCommand {
    std::wstring library;
    uint32_t applet = 0;
    uint32_t page = 0;
};
// The control-panel host lists the library's applets.
struct AppletListCommand {
    std::wstring library;
};
// The shell starts a program, with an optional command line.
struct ProgramStartCommand {
    std::wstring path;
    std::wstring arguments;
};
// The windows of every running program of that file name get WM_CLOSE.
struct ProgramEndCommand {
    std::wstring name;
};
// A storage card appears as a folder of that name in the root, or goes.
struct CardInsertCommand {
    std::wstring name;
};
struct CardRemoveCommand {};
// The device's local time, "YYYY-MM-DD HH:MM:SS".
struct TimeSetCommand {
    std::wstring text;
    int64_t unix_ms = 0;  // the same, as milliseconds since 1970-01-01
};
struct ExpectFileContainsCommand {
    std::wstring path;
    std::string text;  // UTF-8, as the file holds it
};
struct ExpectRunningCommand {
    std::wstring name;
    bool negated = false;
};

using HostCommand = std::variant<AppletOpenCommand, AppletListCommand, ProgramStartCommand,
                                 ProgramEndCommand, CardInsertCommand, CardRemoveCommand,
                                 TimeSetCommand, ExpectFileContainsCommand, ExpectRunningCommand>;

inline bool IsHostExpectation(const HostCommand& command) {
    return std::holds_alternative<ExpectFileContainsCommand>(command) ||
           std::holds_alternative<ExpectRunningCommand>(command);
}

// "YYYY-MM-DD HH:MM:SS" as milliseconds since 1970-01-01, nullopt for anything else.
std::optional<int64_t> ParseLocalTime(const std::string& text);

}  // namespace tovarin::emulator::console
