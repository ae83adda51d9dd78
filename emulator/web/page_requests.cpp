#include "web/page_requests.h"

#include <nlohmann/json.hpp>

#include <array>

#include "common/window_names.h"
#include "console/grammar.h"
#include "console/parser.h"
#include "console/script_runner.h"
#include "host/stylus.h"
#include "host/window_tree.h"
#include "host/device.h"
#include "host/text.h"

namespace tovarin::emulator::web {
namespace {

using Json = nlohmann::json;

struct NamedKey {
    std::string_view name;
    uint8_t vk;
};

// The keys of the phone's keypad, as its keyboard driver reports them.
constexpr std::array kHardwareKeys{
    NamedKey{"talk", VK_TTALK},
    NamedKey{"end", VK_TEND},
    NamedKey{"record", static_cast<uint8_t>(kVirtualKeyRecord)},
    NamedKey{"up", VK_UP},
    NamedKey{"down", VK_DOWN},
    NamedKey{"left", VK_LEFT},
    NamedKey{"right", VK_RIGHT},
    NamedKey{"action", VK_RETURN},  // the d-pad's centre
    NamedKey{"soft1", VK_F1},       // the left soft key
    NamedKey{"soft2", VK_F2},       // the right soft key
};

// The body's one string field, or nullopt.
std::optional<std::string> StringField(const Json& body, const char* name) {
    auto field = body.find(name);
    if (field == body.end() || !field->is_string()) {
        return std::nullopt;
    }
    return field->get<std::string>();
}

std::variant<PageRequest, std::string> ParseCommand(const Json& body) {
    std::optional<std::string> line = StringField(body, "line");
    if (!line) {
        return std::string("a command needs \"line\": the command as typed in the console");
    }
    if (line->size() > kMaxCommandLine) {
        return "a command line is at most " + std::to_string(kMaxCommandLine) + " bytes";
    }
    if (line->find_first_of("\r\n") != std::string::npos) {
        return std::string("a command is one line");
    }
    std::string heredoc_end;
    auto parsed = console::ParseLine(*line, &heredoc_end);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        return "cannot parse: " + *reason;
    }
    if (!heredoc_end.empty()) {
        return std::string("file write with content lines is for the terminal and scripts");
    }
    const console::Command& command = std::get<console::Command>(parsed);
    if (std::holds_alternative<console::QuitCommand>(command)) {
        return std::string(
            "quit ends the console in the terminal: the page cannot end tovarin-emu");
    }
    if (console::TouchesHostFile(command)) {
        return std::string(
            "the page takes only commands that act on the phone: this one reads or writes a file "
            "of the computer, which the terminal and scripts may do (the page's Screenshot button "
            "downloads the screen)");
    }
    return PageCommand{*line, std::move(std::get<console::Command>(parsed))};
}

std::variant<PageRequest, std::string> ParseStylus(const Json& body) {
    std::optional<std::string> action = StringField(body, "action");
    StylusInput input;
    if (action == "down") {
        input.action = StylusInput::Action::Down;
    } else if (action == "move") {
        input.action = StylusInput::Action::Move;
    } else if (action == "up") {
        input.action = StylusInput::Action::Up;
    } else {
        return std::string("a touch needs \"action\": down, move or up");
    }
    auto x = body.find("x");
    auto y = body.find("y");
    if (x == body.end() || y == body.end() || !x->is_number_integer() || !y->is_number_integer()) {
        return std::string("a touch needs whole numbers \"x\" and \"y\" (screen pixels)");
    }
    const auto px = x->get<int64_t>();
    const auto py = y->get<int64_t>();
    if (px < 0 || py < 0 || px >= kMaxScreenCoordinate || py >= kMaxScreenCoordinate) {
        return std::string("the point is off the screen");
    }
    input.point = POINT{static_cast<LONG>(px), static_cast<LONG>(py)};
    return input;
}

std::variant<PageRequest, std::string> ParseKey(const Json& body) {
    std::optional<std::string> name = StringField(body, "key");
    const uint8_t vk = name ? HardwareKey(*name) : 0;
    if (vk == 0) {
        std::string names;
        for (const NamedKey& key : kHardwareKeys) {
            names += (names.empty() ? "" : ", ") + std::string(key.name);
        }
        return "a key needs \"key\": one of " + names;
    }
    return KeyInput{*name, vk};
}

std::variant<PageRequest, std::string> ParseType(const Json& body) {
    std::optional<std::string> text = StringField(body, "text");
    if (!text || text->empty()) {
        return std::string("typing needs \"text\": the characters to type");
    }
    if (text->size() > kMaxTypedText) {
        return "at most " + std::to_string(kMaxTypedText) + " bytes are typed at once";
    }
    return TypeInput{kernel::Utf8ToWide(*text)};
}

console::Outcome Touch(const StylusInput& input) {
    HWND reached = nullptr;
    switch (input.action) {
        case StylusInput::Action::Down:
            reached = gwes::StylusDown(input.point);
            break;
        case StylusInput::Action::Move:
            reached = gwes::StylusMove(input.point);
            break;
        case StylusInput::Action::Up:
            reached = gwes::StylusUp(input.point);
            break;
    }
    kernel::WaitForDeviceIdle();
    // A move or a lift with nothing pressed reaches nothing, and that is no fault of the page.
    if (!reached && input.action == StylusInput::Action::Down) {
        return console::Outcome::Failed("nothing to touch at " + std::to_string(input.point.x) +
                                        "," + std::to_string(input.point.y));
    }
    return console::Outcome::Done();
}

console::Outcome Type(const TypeInput& input) {
    HWND focus = gwes::FocusedWindow();
    if (!focus) {
        return console::Outcome::Failed("no window is in the foreground to type into");
    }
    // As the phone's input panel types: each character reaches the focused control as WM_CHAR.
    for (wchar_t c : input.text) {
        PostMessageW(focus, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    kernel::WaitForDeviceIdle();
    return console::Outcome::Done();
}

}  // namespace

uint8_t HardwareKey(std::string_view name) {
    for (const NamedKey& key : kHardwareKeys) {
        if (key.name == name) {
            return key.vk;
        }
    }
    return 0;
}

std::variant<PageRequest, std::string> ParsePageRequest(PageRoute route, std::string_view body) {
    Json json = Json::parse(body, nullptr, /*allow_exceptions=*/false);
    if (json.is_discarded() || !json.is_object()) {
        return std::string("the body is not a JSON object");
    }
    switch (route) {
        case PageRoute::Command:
            return ParseCommand(json);
        case PageRoute::Stylus:
            return ParseStylus(json);
        case PageRoute::Key:
            return ParseKey(json);
        case PageRoute::Type:
            return ParseType(json);
    }
    return std::string("no such request");
}

console::Outcome CarryOut(const PageRequest& request, console::Session& session,
                          console::Output& output) {
    if (const auto* command = std::get_if<PageCommand>(&request)) {
        output.Line("web> " + command->line);
        console::Outcome outcome = session.Execute(command->command);
        if (!outcome.ok) {
            console::ReportFailure(output, "", command->line, outcome);
        }
        return outcome;
    }
    if (!session.booted()) {
        return console::Outcome::Failed("the device is not up: boot it first");
    }
    console::Outcome outcome;
    std::string what;
    if (const auto* key = std::get_if<KeyInput>(&request)) {
        what = "key " + key->name;
        outcome = session.Execute(console::KeyCommand{key->vk});
    } else if (const auto* touch = std::get_if<StylusInput>(&request)) {
        what = "touch";
        outcome = Touch(*touch);
    } else {
        what = "type";
        outcome = Type(std::get<TypeInput>(request));
    }
    if (!outcome.ok) {
        output.Line("web: " + what + " failed: " + outcome.reason);
    }
    return outcome;
}

}  // namespace tovarin::emulator::web
