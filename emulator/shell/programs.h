// Starting a program as the shell does when the user taps its entry: the program's path and its
// command line, traced under "shell" ("shell: started \Windows\ctlpnl.exe Marrowfen.dll,0", or
// "shell: cannot start ... (error 2)").
#pragma once

#include <string>

namespace tovarin::emulator::phone_shell {

// False when the program cannot start (traced with the reason).
bool StartProgram(const std::wstring& program, const std::wstring& arguments);

}  // namespace tovarin::emulator::phone_shell
