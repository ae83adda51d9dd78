#include "hosts/boot_programs.h"

#include <windows.h>

#include <string>

#include "host_trace.h"

namespace tovarin::emulator {

void StartBootPrograms() {
    static const wchar_t* const kPrograms[] = {L"\\Windows\\Sallowby.exe"};
    for (const wchar_t* program : kPrograms) {
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(program, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                            &started)) {
            HostTrace(L"boot", std::wstring(program) + L" is not started (error " +
                                   std::to_wstring(GetLastError()) + L")");
            continue;
        }
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

}  // namespace tovarin::emulator
