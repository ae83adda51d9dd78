// What the web page asks of the phone: a console command, a touch of the screen, a hardware key,
// text for the focused control. Each is read from its request's JSON body on a server thread
// (a bad one is refused there, before anything happens) and carried out on the console's thread,
// one at a time with the typed commands, through the same paths as the terminal's console.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "console/commands.h"
#include "console/output.h"
#include "console/session.h"

namespace tovarin::emulator::web {

// Longest command line and typed text the page may send.
inline constexpr size_t kMaxCommandLine = 4096;
inline constexpr size_t kMaxTypedText = 512;
// Touches outside this square cannot come from the screen image.
inline constexpr int kMaxScreenCoordinate = 4096;

// A line of the console grammar, as the terminal takes it.
struct PageCommand {
    std::string line;
    console::Command command;
};
// The stylus pressed, moved or lifted at a screen point.
struct StylusInput {
    enum class Action { Down, Move, Up } action = Action::Down;
    POINT point{};
};
// A hardware key pressed and released.
struct KeyInput {
    std::string name;
    uint8_t vk = 0;
};
// Characters typed into the control with the keyboard focus.
struct TypeInput {
    std::wstring text;
};
using PageRequest = std::variant<PageCommand, StylusInput, KeyInput, TypeInput>;

enum class PageRoute { Command, Stylus, Key, Type };

// The request of a route from its JSON body, or why it is not one.
std::variant<PageRequest, std::string> ParsePageRequest(PageRoute route, std::string_view body);

// The phone's hardware keys by the names the page uses, with their virtual keys; 0 for an unknown
// name.
uint8_t HardwareKey(std::string_view name);

// Carries the request out on the console's thread. A command is echoed to the output as
// "web> LINE" (so the terminal sees what the page did) and a failure is reported like a typed
// command's.
console::Outcome CarryOut(const PageRequest& request, console::Session& session,
                          console::Output& output);

}  // namespace tovarin::emulator::web
