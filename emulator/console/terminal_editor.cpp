#include "console/terminal_editor.h"

#include <editline/readline.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace tovarin::emulator::console {

TerminalEditor::TerminalEditor() {
    saved_ok_ = tcgetattr(STDIN_FILENO, &saved_) == 0;
    using_history();
}

TerminalEditor::~TerminalEditor() {
    RestoreTerminal();
}

std::optional<std::string> TerminalEditor::ReadLine(const char* prompt) {
    std::unique_ptr<char, decltype(&std::free)> line(readline(prompt), &std::free);
    if (!line) {
        return std::nullopt;
    }
    std::string text(line.get());
    if (text.find_first_not_of(" \t") != std::string::npos) {
        add_history(text.c_str());
    }
    return text;
}

void TerminalEditor::RestoreTerminal() const {
    if (saved_ok_) {
        tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }
}

}  // namespace tovarin::emulator::console
