#include "shell/programs.h"

#include <windows.h>

#include "host_trace.h"

namespace tovarin::emulator::phone_shell {

bool StartProgram(const std::wstring& program, const std::wstring& arguments) {
    PROCESS_INFORMATION started{};
    std::wstring command_line = arguments;  // CreateProcessW may write into it
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, nullptr, &started)) {
        HostTrace(L"shell", L"cannot start " + program + L" (error " +
                                std::to_wstring(GetLastError()) + L")");
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    HostTrace(L"shell", L"started " + program + (arguments.empty() ? L"" : L" " + arguments));
    return true;
}

}  // namespace tovarin::emulator::phone_shell
