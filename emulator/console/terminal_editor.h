// Lines typed at a terminal: a prompt, line editing and a history of the lines typed in this run
// (libedit's readline interface), as a person at the console expects. The terminal's settings are
// kept from the start and given back at the end, also when the console ends while a line is being
// edited (Ctrl-C), so that the shell the emulator was started from works as before.
#pragma once

#include <termios.h>

#include <optional>
#include <string>

namespace tovarin::emulator::console {

class TerminalEditor {
  public:
    // On standard input, which must be a terminal.
    TerminalEditor();
    ~TerminalEditor();
    TerminalEditor(const TerminalEditor&) = delete;
    TerminalEditor& operator=(const TerminalEditor&) = delete;

    // Shows the prompt and reads one edited line; a line that is not empty joins the history
    // (the arrow keys go back to it). nullopt when the input ends (Ctrl-D on an empty line).
    std::optional<std::string> ReadLine(const char* prompt);

    // Gives the terminal back the settings it had when this editor started.
    void RestoreTerminal() const;

  private:
    termios saved_{};
    bool saved_ok_ = false;
};

}  // namespace tovarin::emulator::console
