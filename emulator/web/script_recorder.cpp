#include "web/script_recorder.h"

#include <algorithm>
#include <cwctype>

#include "host/text.h"

namespace tovarin::emulator::web {
namespace {

constexpr uint64_t kWaitStepMs = 100;

// The device compares registry and file names without regard to case: so do the set-up's keys.
std::string Folded(const std::wstring& name) {
    std::wstring folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return kernel::WideToUtf8(folded);
}

std::string RegistryKey(const console::RegValueRef& target) {
    return std::string("reg ") + (target.root == console::RegRoot::LocalMachine ? "HKLM" : "HKCU") +
           "\n" + Folded(target.key) + "\n" + Folded(target.value);
}

// The key of what a command changes for the set-up; empty when it changes nothing the set-up
// keeps.
std::string ChangeKey(const console::Command& command) {
    if (const auto* set = std::get_if<console::RegSetCommand>(&command)) {
        return RegistryKey(set->target);
    }
    if (const auto* deleted = std::get_if<console::RegDeleteCommand>(&command)) {
        return RegistryKey(deleted->target);
    }
    if (const auto* written = std::get_if<console::FileWriteCommand>(&command)) {
        return "file " + Folded(written->path);
    }
    if (const auto* deleted = std::get_if<console::FileDeleteCommand>(&command)) {
        return "file " + Folded(deleted->path);
    }
    if (const auto* host = std::get_if<console::HostCommand>(&command)) {
        if (std::holds_alternative<console::TimeSetCommand>(*host)) {
            return "time";
        }
    }
    if (std::holds_alternative<console::PowerAcCommand>(command)) {
        return "ac";
    }
    return {};
}

}  // namespace

std::string ScriptText(const console::Command& command, const std::string& line) {
    if (const auto* written = std::get_if<console::FileWriteCommand>(&command)) {
        return line + "\n" + written->content + written->end_word;
    }
    return line;
}

void ScriptRecorder::NoteChange(const console::Command& command, const std::string& line) {
    const std::string key = ChangeKey(command);
    if (key.empty()) {
        return;
    }
    std::erase_if(changes_, [&key](const auto& change) { return change.first == key; });
    // A file the user deleted is one the set-up leaves alone: the fresh image may not hold it, and
    // deleting what is not there fails. Only the deletion of one he had written is kept, by
    // dropping its writing.
    if (!std::holds_alternative<console::FileDeleteCommand>(command)) {
        changes_.emplace_back(key, ScriptText(command, line));
    }
}

void ScriptRecorder::Begin(const Beginning& beginning, uint64_t now_ms) {
    recording_ = true;
    beginning_ = beginning;
    set_up_ = changes_;
    lines_.clear();
    last_ms_ = now_ms;
}

void ScriptRecorder::End() {
    recording_ = false;
}

void ScriptRecorder::Add(const std::string& line, uint64_t started_ms, uint64_t ended_ms,
                         const std::string& replaces) {
    if (!recording_) {
        return;
    }
    if (!replaces.empty() && !lines_.empty() && lines_.back() == replaces) {
        lines_.pop_back();
    }
    // The device's clock starts at its boot: a time before the last action's end is another clock.
    if (started_ms > last_ms_) {
        const uint64_t waited =
            (started_ms - last_ms_ + kWaitStepMs / 2) / kWaitStepMs * kWaitStepMs;
        if (waited > 0) {
            lines_.push_back("wait " + std::to_string(waited));
        }
    }
    lines_.push_back(line);
    last_ms_ = ended_ms;
}

std::vector<std::string> ScriptRecorder::SetUp() const {
    std::vector<std::string> lines;
    if (beginning_.booted) {
        // The device's state now says what the user's commands before it said.
        lines.push_back("time set \"" + beginning_.local_time + "\"");
        if (beginning_.external_power) {
            lines.push_back("power ac on");
        }
    }
    if (beginning_.card) {
        lines.push_back("card insert \"" + *beginning_.card + "\"");
    }
    for (const auto& [key, text] : set_up_) {
        if (!beginning_.booted || (key != "time" && key != "ac")) {
            lines.push_back(text);
        }
    }
    if (beginning_.booted) {
        lines.push_back("boot");
    }
    return lines;
}

std::string ScriptRecorder::Script() const {
    std::string script =
        "# Recorded on tovarin-emu's web page.\n"
        "# The set-up: the phone as it was when the recording began.\n";
    for (const std::string& line : SetUp()) {
        script += line + "\n";
    }
    script += "# What was done.\n";
    for (const std::string& line : lines_) {
        script += line + "\n";
    }
    return script;
}

}  // namespace tovarin::emulator::web
