// The page's test recorder: what the user does while it records, as the lines of a console script
// that does it again. It lives beside the server, on the console's thread, where it sees every
// command, touch, key and typed text as it is carried out, the terminal's lines too, and keeps
// only those that were done.
//
// A saved script starts with the set-up that makes a fresh image the phone the recording began on:
// its time, external power and storage card as they were then, the registry values the user had
// set or deleted and the files he had written (the last command for each, in the order given),
// and `boot` when the phone was up. Between two actions comes a `wait` for the device time that
// passed, rounded to 100 ms: in real time the time the user let pass; in simulated time, where the
// clock moves only while a command runs, the user's own `wait` lines say it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/commands.h"

namespace tovarin::emulator::web {

class ScriptRecorder {
  public:
    // The device when the recording begins, beyond what the user's commands made of it.
    struct Beginning {
        bool booted = false;
        std::string local_time;  // "YYYY-MM-DD HH:MM:SS"; empty before the boot
        bool external_power = false;
        std::optional<std::string> card;  // the inserted card's name
    };

    // A command the user had done, recording or not (`line` as typed, a `file write` with its
    // content lines): the registry values and files it changes are the set-up of a recording.
    void NoteChange(const console::Command& command, const std::string& line);

    // Starts a recording (a recording under way starts again).
    void Begin(const Beginning& beginning, uint64_t now_ms);
    void End();
    bool recording() const { return recording_; }

    // The line of an action done from `started_ms` to `ended_ms` of device time (0 when the device
    // has no clock yet). `replaces`: a line that this one takes the place of when it came last.
    void Add(const std::string& line, uint64_t started_ms, uint64_t ended_ms,
             const std::string& replaces = {});

    // What was recorded so far, without the set-up.
    const std::vector<std::string>& lines() const { return lines_; }
    // The whole script: a comment, the set-up, the recorded lines.
    std::string Script() const;

  private:
    std::vector<std::string> SetUp() const;

    bool recording_ = false;
    Beginning beginning_;
    // The user's changes, one per value or file (the last), in the order they were last made.
    std::vector<std::pair<std::string, std::string>> changes_;
    std::vector<std::pair<std::string, std::string>> set_up_;  // the changes when it began
    std::vector<std::string> lines_;
    uint64_t last_ms_ = 0;
};

// The device's time in milliseconds since its boot; 0 while it has no clock (before power-on).
uint64_t DeviceNowMs();

// The line as a script holds it: a `file write` with its content lines and the word that ends them.
std::string ScriptText(const console::Command& command, const std::string& line);

}  // namespace tovarin::emulator::web
