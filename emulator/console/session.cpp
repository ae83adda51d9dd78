#include "console/session.h"

#include <fstream>

#include "console/device_files.h"
#include "console/grammar.h"
#include "console/log_checks.h"
#include "console/log_format.h"
#include "console/state_checks.h"
#include "host/message_boxes.h"
#include "host_trace.h"
#include "hosts/taskbar.h"
#include "host/device_log.h"
#include "host/events.h"
#include "host/device_paths.h"
#include "host/folder_changes.h"
#include "host/text.h"
#include "host/free_space.h"
#include "host/power.h"

namespace tovarin::emulator::console {
namespace {

constexpr wchar_t kTracePower[] = L"power";

HKEY RootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::string Utf8(const std::wstring& text) {
    return kernel::WideToUtf8(text);
}

std::string ErrorText(const char* what, DWORD error) {
    return std::string(what) + " (error " + std::to_string(error) + ")";
}

phone::CallAction PhoneActionOf(CallAction action) {
    switch (action) {
        case CallAction::Incoming:
            return phone::CallAction::Incoming;
        case CallAction::Answer:
            return phone::CallAction::Answer;
        case CallAction::Miss:
            return phone::CallAction::Miss;
        case CallAction::End:
            return phone::CallAction::End;
        case CallAction::Second:
            return phone::CallAction::Second;
        case CallAction::SecondEnd:
            return phone::CallAction::SecondEnd;
        case CallAction::Dial:
            return phone::CallAction::Dial;
    }
    return phone::CallAction::Incoming;
}

int ButtonIdOf(MessageBoxButton button) {
    switch (button) {
        case MessageBoxButton::Ok:
            return IDOK;
        case MessageBoxButton::Yes:
            return IDYES;
        case MessageBoxButton::No:
            return IDNO;
        case MessageBoxButton::Cancel:
            return IDCANCEL;
    }
    return IDOK;
}

const wchar_t* PowerStateNameOf(PowerStateName state) {
    switch (state) {
        case PowerStateName::On:
            return L"on";
        case PowerStateName::Unattended:
            return L"unattended";
        case PowerStateName::Suspend:
            return L"suspend";
    }
    return L"on";
}

Outcome FromCheck(CheckResult result) {
    return result.held ? Outcome::Done()
                       : Outcome::Failed("the expectation did not hold", std::move(result.found));
}

}  // namespace

Session::Session(Settings settings, Output& output)
    : settings_(std::move(settings)), output_(output) {}

Session::~Session() {
    Shutdown();
}

void Session::Shutdown() {
    if (!emulator_) {
        return;
    }
    for (const auto& [name, event] : events_) {
        CloseHandle(event);
    }
    events_.clear();
    emulator_.reset();
}

Outcome Session::Execute(const Command& command) {
    const BootNeed need = BootNeedOf(command);
    if (need == BootNeed::Booted && !booted()) {
        return Outcome::Failed("the device is not up: boot it first");
    }
    if (need == BootNeed::PowersOn) {
        if (Outcome on = PowerOn(); !on.ok) {
            return on;
        }
    }
    Outcome outcome = std::visit([this](const auto& each) { return Do(each); }, command);
    if (emulator_ && !IsExpectation(command)) {
        kernel::WaitForDeviceIdle();
    }
    return outcome;
}

std::vector<kernel::LogEntry> Session::SinceMark() const {
    return emulator_->device().log().Since(mark_);
}

Outcome Session::OnTheLog(CheckResult result, bool negated) const {
    // A check that found no matching entry (a failed expectation, or a negated one that held)
    // would have needed the entries since the mark that the log no longer keeps.
    const size_t first_kept = emulator_->device().log().FirstKept();
    if (result.held != negated || first_kept <= mark_) {
        return FromCheck(std::move(result));
    }
    using kernel::DeviceLog;
    return Outcome::Failed(
        "the log since the mark was cut: it keeps at most " +
            std::to_string(DeviceLog::kMostEntries) + " entries and " +
            std::to_string(DeviceLog::kMostBytes >> 20) + " MB, and the first " +
            std::to_string(first_kept - mark_) +
            " entries since the mark are gone (a mark before the steps it checks keeps them)",
        std::move(result.found));
}

Outcome Session::PowerOn() {
    if (emulator_) {
        return Outcome::Done();
    }
    BootOptions options{settings_.image_root, settings_.clock};
    options.sip = settings_.sip;
    options.log_listener = [this](const kernel::LogEntry& entry) {
        // Window messages are many; they stay in the log for the expectations.
        if (std::holds_alternative<kernel::MessageRecord>(entry.what)) {
            return;
        }
        for (const std::string& line : PrintedLines(entry)) {
            output_.Line(line);
            std::lock_guard lock(recent_mutex_);
            recent_trace_.push_back(line);
            if (recent_trace_.size() > kRecentTraceLines) {
                recent_trace_.pop_front();
            }
        }
    };
    std::string error;
    emulator_ = Emulator::PowerOn(options, &error);
    if (!emulator_) {
        return Outcome::Failed("the device cannot boot: " + error);
    }
    return Outcome::Done();
}

Outcome Session::Do(const BootCommand&) {
    if (booted()) {
        return Outcome::Failed("the device is up already");
    }
    if (Outcome on = PowerOn(); !on.ok) {
        return on;
    }
    std::string error;
    if (!emulator_->Start(&error)) {
        Shutdown();
        return Outcome::Failed("the device cannot boot: " + error);
    }
    // What happened before and during the boot counts for the expectations up to the first mark.
    mark_ = 0;
    return Outcome::Done();
}

Outcome Session::Do(const HelpCommand&) {
    for (const std::string& line : HelpLines()) {
        output_.Line(line);
    }
    return Outcome::Done();
}

Outcome Session::Do(const WaitCommand& command) {
    if (settings_.clock != kernel::ClockMode::Real || !settings_.interrupted) {
        kernel::AdvanceDeviceTime(command.ms);
        TellTaskbarTheClockMoved();
        return Outcome::Done();
    }
    // In real time the wait goes in slices, so that Ctrl-C ends it: a person who interrupts an
    // hour's wait means the console to end now, not in an hour.
    constexpr uint32_t kSliceMs = 100;
    for (uint32_t left = command.ms; left > 0;) {
        if (settings_.interrupted()) {
            output_.Line("wait cut short: interrupted");
            return Outcome::Done();
        }
        const uint32_t slice = std::min(left, kSliceMs);
        kernel::AdvanceDeviceTime(slice);
        left -= slice;
    }
    return Outcome::Done();
}

Outcome Session::Do(const MarkCommand&) {
    mark_ = emulator_->device().log().Size();
    // What came before the mark is needed no more: the log may drop it beyond its history.
    emulator_->device().log().KeepFrom(mark_);
    return Outcome::Done();
}

Outcome Session::Do(const RegSetCommand& command) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(RootKey(command.target.root), command.target.key.c_str(), 0,
                                  nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (result == ERROR_INVALID_PARAMETER) {
        return Outcome::Failed(
            ErrorText("the key is beyond the registry's limits (names of at most "
                      "255 characters, at most 16 levels below the root)",
                      result));
    }
    if (result != ERROR_SUCCESS) {
        return Outcome::Failed(ErrorText("cannot open or make the key", result));
    }
    if (const auto* number = std::get_if<uint32_t>(&command.data)) {
        DWORD value = *number;
        result = RegSetValueExW(key, command.target.value.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof value);
    } else {
        const std::wstring& text = std::get<std::wstring>(command.data);
        result = RegSetValueExW(key, command.target.value.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
    if (result == ERROR_INVALID_PARAMETER) {
        return Outcome::Failed(
            ErrorText("the value name is longer than the registry's 255 characters", result));
    }
    return result == ERROR_SUCCESS ? Outcome::Done()
                                   : Outcome::Failed(ErrorText("cannot set the value", result));
}

Outcome Session::Do(const RegDeleteCommand& command) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(command.target.root), command.target.key.c_str(), 0, KEY_WRITE,
                      &key) != ERROR_SUCCESS) {
        return Outcome::Done();  // no key, no value: what was asked holds
    }
    LONG result = RegDeleteValueW(key, command.target.value.c_str());
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND
               ? Outcome::Done()
               : Outcome::Failed(ErrorText("cannot delete the value", result));
}

Outcome Session::Do(const RegGetCommand& command) {
    output_.Line(FormatReading(ReadRegValue(command.target)));
    return Outcome::Done();
}

Outcome Session::Do(const FileWriteCommand& command) {
    std::string error = WriteDeviceFile(command.path, command.content);
    return error.empty() ? Outcome::Done() : Outcome::Failed(std::move(error));
}

Outcome Session::Do(const FileDeleteCommand& command) {
    if (DeleteFileW(command.path.c_str())) {
        return Outcome::Done();
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
               ? Outcome::Done()
               : Outcome::Failed(FileErrorText("cannot delete the file", error));
}

Outcome Session::Do(const DiskFreeCommand& command) {
    kernel::SetSimulatedFreeSpace(command.path, command.bytes);
    kernel::SetSimulatedTotalFreeSpace(command.path, command.total_free);
    return Outcome::Done();
}

Outcome Session::Do(const CallCommand& command) {
    phone::CallError error =
        emulator_->phone().Carry(PhoneActionOf(command.action), command.number);
    return error == phone::CallError::None ? Outcome::Done()
                                           : Outcome::Failed(phone::CallErrorText(error));
}

Outcome Session::Do(const KeyCommand& command) {
    keybd_event(command.vk, 0, 0, 0);
    keybd_event(command.vk, 0, KEYEVENTF_KEYUP, 0);
    return Outcome::Done();
}

Outcome Session::Do(const EventSetCommand& command) {
    // Only an event that a process made: one made here would be manual-reset and set, and a
    // service creating the name later would get it instead of its own.
    HANDLE event = OpenEventW(0, FALSE, command.name.c_str());
    if (event == nullptr) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return Outcome::Failed("no process has created an event \"" + Utf8(command.name) +
                                   "\"");
        }
        return Outcome::Failed(ErrorText("cannot open the event", error));
    }
    auto [kept, added] = events_.emplace(command.name, event);
    if (!added) {
        CloseHandle(event);  // the console holds this event already
    }
    SetEvent(kept->second);
    return Outcome::Done();
}

Outcome Session::Do(const MsgboxPressCommand& command) {
    std::vector<gwes::MessageBoxInfo> boxes = gwes::ShownMessageBoxes();
    if (boxes.empty()) {
        return Outcome::Failed("no message box is shown");
    }
    // The newest box is the one on top, which the user answers first.
    if (!gwes::AnswerMessageBox(boxes.back().hwnd, ButtonIdOf(command.button))) {
        return Outcome::Failed("the message box offers no such button");
    }
    return Outcome::Done();
}

Outcome Session::Do(const ServiceCommand& command) {
    ServiceCallResult call = emulator_->services().Call(
        command.action == ServiceAction::Init ? ServiceEntry::Init : ServiceEntry::Deinit,
        command.library);
    return call.called ? Outcome::Done() : Outcome::Failed(call.error);
}

Outcome Session::Do(const PowerAcCommand& command) {
    // Written before the change, so that the log shows the cause before what the device makes
    // of it.
    if (kernel::power::ExternalPower() == command.online) {
        HostTrace(kTracePower, command.online ? L"external power stays connected"
                                              : L"external power stays disconnected");
    } else {
        HostTrace(kTracePower,
                  command.online ? L"external power connected" : L"external power disconnected");
    }
    kernel::power::SetExternalPower(command.online);
    return Outcome::Done();
}

Outcome Session::Do(const PowerStateCommand& command) {
    const wchar_t* name = PowerStateNameOf(command.state);
    HostTrace(kTracePower, std::wstring(L"system power state ") + name);
    if (!kernel::power::SetSystemPowerState(name)) {
        return Outcome::Failed("the device has no power state \"" + Utf8(name) + "\"");
    }
    return Outcome::Done();
}

Outcome Session::Do(const ExpectRegCommand& command) {
    RegReading reading = ReadRegValue(command.target);
    bool held = false;
    switch (command.kind) {
        case ExpectRegCommand::Kind::Dword:
            held = reading.kind == RegReading::Kind::Dword && reading.dword == command.dword;
            break;
        case ExpectRegCommand::Kind::Sz:
            held = reading.kind == RegReading::Kind::Sz && reading.sz == command.sz;
            break;
        case ExpectRegCommand::Kind::Missing:
            held = reading.kind == RegReading::Kind::Missing;
            break;
        case ExpectRegCommand::Kind::Present:
            held = reading.kind != RegReading::Kind::Missing;
            break;
    }
    return held ? Outcome::Done()
                : Outcome::Failed("the expectation did not hold", {FormatReading(reading)});
}

Outcome Session::Do(const ExpectFileCommand& command) {
    std::vector<std::wstring> matches = MatchingFiles(command.path);
    if (matches.empty() != command.exists) {
        return Outcome::Done();
    }
    std::vector<std::string> found;
    for (const std::wstring& match : matches) {
        found.push_back(Utf8(match));
    }
    if (found.empty()) {
        found.push_back("nothing matches");
    }
    return Outcome::Failed("the expectation did not hold", std::move(found));
}

Outcome Session::Do(const ExpectWindowCommand& command) {
    bool exists = TopLevelWindowExists(command.window_class, command.title);
    if (exists != command.negated) {
        return Outcome::Done();
    }
    return Outcome::Failed("the expectation did not hold", DescribeTopLevelWindows());
}

Outcome Session::Do(const ExpectMsgboxCommand& command) {
    std::vector<std::string> found;
    for (const gwes::MessageBoxInfo& box : gwes::ShownMessageBoxes()) {
        if (box.text.find(command.text) != std::wstring::npos) {
            return Outcome::Done();
        }
        found.push_back("\"" + Utf8(box.caption) + "\": " + Utf8(box.text));
    }
    if (found.empty()) {
        found.push_back("no message box is shown");
    }
    return Outcome::Failed("the expectation did not hold", std::move(found));
}

Outcome Session::Do(const ExpectEventCommand& command) {
    std::optional<bool> state = kernel::NamedEventState(command.name);
    if (!state) {
        return Outcome::Failed("the expectation did not hold", {"no event has that name"});
    }
    if (*state == command.set) {
        return Outcome::Done();
    }
    return Outcome::Failed("the expectation did not hold", {*state ? "set" : "clear"});
}

Outcome Session::Do(const ExpectVolumeCommand& command) {
    DWORD volume = 0;
    MMRESULT result = waveOutGetVolume(0, &volume);
    if (result != MMSYSERR_NOERROR) {
        return Outcome::Failed(ErrorText("cannot read the volume", result));
    }
    if (volume == command.volume) {
        return Outcome::Done();
    }
    char found[16];
    snprintf(found, sizeof found, "0x%08X", static_cast<unsigned>(volume));
    return Outcome::Failed("the expectation did not hold", {found});
}

Outcome Session::Do(const ExpectTraceCommand& command) {
    return OnTheLog(CheckTrace(SinceMark(), command), command.negated);
}

Outcome Session::Do(const ExpectIoctlCommand& command) {
    return OnTheLog(CheckIoctl(SinceMark(), command), command.negated);
}

Outcome Session::Do(const ExpectKeyCommand& command) {
    return OnTheLog(CheckKey(SinceMark(), command), command.negated);
}

Outcome Session::Do(const ExpectStartedCommand& command) {
    return OnTheLog(CheckStarted(SinceMark(), command), command.negated);
}

Outcome Session::Do(const ExpectMessageCommand& command) {
    return OnTheLog(CheckMessage(SinceMark(), command), command.negated);
}

}  // namespace tovarin::emulator::console
