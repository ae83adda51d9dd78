// The programs of the Start menu: the shortcut files (*.lnk) of \Windows\Start Menu and
// \Windows\Start Menu\Programs, read as the shell reads them. A shortcut holds "NN#TARGET": a
// count, '#', then the program's path (in quotes when it has spaces) and its arguments.
#pragma once

#include <string>
#include <vector>

namespace tovarin::emulator::phone_shell {

struct Shortcut {
    std::wstring name;     // the file's name without ".lnk": what the menu shows
    std::wstring program;  // the device path of the program
    std::wstring arguments;
};

// The target of a shortcut file's text; false when it has no '#' or no program.
bool ParseShortcut(const std::string& text, Shortcut* shortcut);

// The shortcuts of both folders, each folder's in name order; unreadable files are left out.
std::vector<Shortcut> StartMenuShortcuts();

}  // namespace tovarin::emulator::phone_shell
