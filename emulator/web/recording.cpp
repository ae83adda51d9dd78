// The page's test recorder in the server: what the page and the terminal do becomes the
// recording's lines as it is done, and the page's recorder panel asks for the recording to begin,
// end and be saved, and for the checks of a control. All of it on the console's thread.
#include <windows.h>

#include <nlohmann/json.hpp>

#include "console/parser.h"
#include "host/device.h"
#include "host/stylus.h"
#include "host/window_tree.h"
#include "host/text.h"
#include "web/check_offers.h"
#include "web/panel_state.h"
#include "web/web_console.h"

namespace tovarin::emulator::web {
namespace {

using Json = nlohmann::json;

// The recorder's panel shows this many of the newest lines.
constexpr size_t kShownLines = 40;

// The hardware keys the console names; the others by their virtual key.
std::string KeyLine(const KeyInput& key) {
    for (const char* named : {"up", "down", "left", "right", "talk", "end", "record"}) {
        if (key.name == named) {
            return "key " + key.name;
        }
    }
    char code[8];
    std::snprintf(code, sizeof(code), "0x%02X", key.vk);
    return std::string("key ") + code;
}

// What the page's typing did, as `type` does it again: the control's whole text after it (`type`
// replaces the text where the page's characters went in at the caret).
std::string TypeLine() {
    HWND focus = gwes::FocusedWindow();
    HWND control = focus;
    wchar_t parent_class[32]{};
    if (HWND parent = focus ? GetParent(focus) : nullptr) {
        GetClassNameW(parent, parent_class, 32);
        if (std::wstring_view(parent_class) == L"ComboBox") {
            control = parent;  // a drop-down's edit is typed into through its combo box
        }
    }
    std::optional<console::ControlAddress> address = console::AddressOf(control);
    wchar_t text[1024]{};
    GetWindowTextW(focus, text, 1024);
    const std::string typed = kernel::WideToUtf8(text);
    if (!address || typed.find('"') != std::string::npos) {
        return "# typed into a window that no command can type into: " + typed;
    }
    return "type " + console::ToString(*address) + " \"" + typed + "\"";
}

}  // namespace

uint64_t DeviceNowMs() {
    return kernel::Device::IsUp() ? kernel::Device::Current().NowMs() : 0;
}

void WebConsole::Record(const PageRequest& request, uint64_t started_ms) {
    std::optional<TouchLine> line;
    if (const auto* command = std::get_if<PageCommand>(&request)) {
        recorder_.NoteChange(command->command, command->line);
        line = TouchLine{ScriptText(command->command, command->line), {}};
    } else if (const auto* key = std::get_if<KeyInput>(&request)) {
        line = TouchLine{KeyLine(*key), {}};
    } else if (std::holds_alternative<TypeInput>(request)) {
        line = TouchLine{TypeLine(), {}};
    } else if (const auto* touch = std::get_if<StylusInput>(&request)) {
        if (touch->action == StylusInput::Action::Move) {
            touch_.Move(touch->point);
        } else if (touch->action == StylusInput::Action::Up) {
            line = touch_.Up(touch->point);
        }
    }
    if (line && recorder_.recording()) {
        recorder_.Add(line->line, started_ms, DeviceNowMs(), line->replaces);
        PublishRecorder();
    }
}

void WebConsole::AfterTyped(const console::ParsedCommand& command, const console::Outcome& outcome,
                            uint64_t started_ms) {
    if (!outcome.ok) {
        return;
    }
    recorder_.NoteChange(command.command, command.text);
    if (recorder_.recording() && !std::holds_alternative<console::QuitCommand>(command.command)) {
        recorder_.Add(ScriptText(command.command, command.text), started_ms, DeviceNowMs());
        PublishRecorder();
    }
}

void WebConsole::PublishRecorder() {
    const std::vector<std::string>& lines = recorder_.lines();
    Json recent = Json::array();
    for (size_t i = lines.size() > kShownLines ? lines.size() - kShownLines : 0; i < lines.size();
         ++i) {
        recent.push_back(lines[i]);
    }
    hub_.Publish(
        "recorder",
        Json{{"recording", recorder_.recording()}, {"count", lines.size()}, {"recent", recent}}
            .dump(-1, ' ', false, Json::error_handler_t::replace));
}

Json WebConsole::Recorder(const Json& body) {
    const std::string action = body.value("action", "");
    if (action == "record") {
        const Json state = ReadPanelState(session_);
        ScriptRecorder::Beginning beginning;
        beginning.booted = session_.booted();
        beginning.local_time = state.value("time", "");
        beginning.external_power = state.value("ac", false);
        if (state["card"].is_string()) {
            beginning.card = state["card"].get<std::string>();
        }
        recorder_.Begin(beginning, DeviceNowMs());
        touch_ = TouchRecording();
        PublishRecorder();
        return Json{{"recording", true}};
    }
    if (action == "status") {  // a page that has just connected
        PublishRecorder();
        return Json{{"recording", recorder_.recording()}};
    }
    if (action == "stop") {
        recorder_.End();
        PublishRecorder();
        return Json{{"recording", false}};
    }
    if (action == "save") {
        return Json{{"name", "recording.scn"}, {"text", recorder_.Script()}};
    }
    if (action == "check") {
        if (!session_.booted()) {
            return Json{{"error", "the device is not up: boot it first"}};
        }
        const POINT point{body["x"].get<LONG>(), body["y"].get<LONG>()};
        return Json{{"offers", OfferChecks(point, [this](const std::string& line) {
                         auto parsed = console::ParseLine(line);
                         return std::holds_alternative<console::Command>(parsed) &&
                                session_.Execute(std::get<console::Command>(parsed)).ok;
                     })}};
    }
    if (action == "add") {
        if (!recorder_.recording()) {
            return Json{{"error", "the recorder is not recording: Record first"}};
        }
        const uint64_t now = DeviceNowMs();
        for (const Json& line : body["lines"]) {
            auto parsed = console::ParseLine(line.get<std::string>());
            if (!std::holds_alternative<console::Command>(parsed) ||
                !console::IsExpectation(std::get<console::Command>(parsed))) {
                return Json{{"error", "not an expectation: " + line.get<std::string>()}};
            }
        }
        for (const Json& line : body["lines"]) {
            recorder_.Add(line.get<std::string>(), now, now);
        }
        PublishRecorder();
        return Json{{"count", recorder_.lines().size()}};
    }
    return Json{{"error", "the recorder takes record, stop, save, check, add or status"}};
}

}  // namespace tovarin::emulator::web
