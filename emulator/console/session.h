// A console session: carries out commands on the emulated phone, from boot to shutdown.
#pragma once

#include <windows.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "console/commands.h"
#include "console/output.h"
#include "emulator.h"

namespace tovarin::emulator::console {

struct CheckResult;  // log_checks.h

struct Outcome {
    bool ok = true;
    std::string reason;              // a failure: why
    std::vector<std::string> found;  // a failed expectation: what was found instead

    static Outcome Done() { return {}; }
    static Outcome Failed(std::string reason, std::vector<std::string> found = {}) {
        return {false, std::move(reason), std::move(found)};
    }
};

class Session {
  public:
    struct Settings {
        std::filesystem::path image_root;  // a prepared image
        kernel::ClockMode clock = kernel::ClockMode::Simulated;
        // Whether the user interrupted the console (Ctrl-C); a `wait` in real time then stops
        // early. The end of the input does not stop it: a piped `wait` lets its time pass.
        std::function<bool()> interrupted;
        // The phone's SIP line (--sip), started with the phone.
        std::optional<sip::SipAddress> sip;
    };

    // Output receives what commands print and every log entry as it happens (window messages
    // are kept in the log but not printed).
    Session(Settings settings, Output& output);
    // Shuts the device down, if it is up.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Carries out one command on the calling thread, which must be the same for the whole
    // session. In simulated time it returns once the device has settled: every device thread
    // is blocked and nothing is due at the current device time.
    Outcome Execute(const Command& command);
    bool booted() const { return emulator_ && emulator_->started(); }
    const std::filesystem::path& image_root() const { return settings_.image_root; }
    // Whether the device is powered (its registry and files loaded), booted or not yet.
    bool powered() const { return emulator_ != nullptr; }

    // What a failed script leaves for whoever looks into it, in `folder` (made when missing):
    // the screen at this moment (screen.png) and the foreground window's tree (foreground.txt),
    // when the device is up, and the last kRecentTraceLines lines the console printed of the
    // trace (trace.txt). The files written; *error says what could not be.
    static constexpr size_t kRecentTraceLines = 200;
    std::vector<std::filesystem::path> WriteFailureEvidence(const std::filesystem::path& folder,
                                                            std::string* error);

  private:
    Outcome Do(const BootCommand&);
    Outcome Do(const HelpCommand&);
    Outcome Do(const QuitCommand&) { return Outcome::Done(); }  // the console ends after it
    // The console runs a script itself (RunConsole), between its commands.
    Outcome Do(const RunCommand&) {
        return Outcome::Failed("run is the console's: a script does not run another script");
    }
    Outcome Do(const WaitCommand&);
    Outcome Do(const MarkCommand&);
    Outcome Do(const RegSetCommand&);
    Outcome Do(const RegDeleteCommand&);
    Outcome Do(const RegGetCommand&);
    Outcome Do(const FileWriteCommand&);
    Outcome Do(const FileDeleteCommand&);
    Outcome Do(const DiskFreeCommand&);
    Outcome Do(const CallCommand&);
    Outcome Do(const KeyCommand&);
    Outcome Do(const EventSetCommand&);
    Outcome Do(const MsgboxPressCommand&);
    Outcome Do(const ServiceCommand&);
    Outcome Do(const PowerAcCommand&);
    Outcome Do(const PowerStateCommand&);
    Outcome Do(const ExpectRegCommand&);
    Outcome Do(const ExpectFileCommand&);
    Outcome Do(const ExpectWindowCommand&);
    Outcome Do(const ExpectMsgboxCommand&);
    Outcome Do(const ExpectEventCommand&);
    Outcome Do(const ExpectTraceCommand&);
    Outcome Do(const ExpectIoctlCommand&);
    Outcome Do(const ExpectKeyCommand&);
    Outcome Do(const ExpectStartedCommand&);
    Outcome Do(const ExpectMessageCommand&);
    Outcome Do(const ExpectVolumeCommand&);
    Outcome Do(const AudioCommand&);        // session_audio.cpp
    Outcome Do(const ExpectAudioCommand&);  // session_audio.cpp
    Outcome Do(const UiCommand&);           // ui_session.cpp
    Outcome Do(const InputCommand&);        // input_command_runner.cpp
    Outcome Do(const HostCommand&);         // host_session.cpp
    Outcome Do(const ContactCommand&);      // contact_commands.cpp
    Outcome Do(const ScreenshotCommand&);   // screen_commands.cpp
    Outcome EndProgram(const std::wstring& name);

    // The device before its boot, for the commands that run then; already on when it is.
    Outcome PowerOn();
    std::vector<kernel::LogEntry> SinceMark() const;
    // The outcome of a check of the log since the mark; a check that would have needed entries
    // that the log's bounds cut fails and says so.
    Outcome OnTheLog(CheckResult result, bool negated) const;
    void Shutdown();

    // The foreground window's tree as `dump` prints it; empty when no window is there.
    std::vector<std::string> ForegroundDump() const;  // ui_session.cpp

    Settings settings_;
    Output& output_;
    // The log's printed lines, the newest kRecentTraceLines (written by the device's threads).
    std::mutex recent_mutex_;
    std::deque<std::string> recent_trace_;
    std::unique_ptr<Emulator> emulator_;
    size_t mark_ = 0;
    // Named events the console set, one handle per name (however often it is set); kept so they
    // go on existing.
    std::map<std::wstring, HANDLE> events_;
};

}  // namespace tovarin::emulator::console
