// Pellax.dll as the emulator stands it in: the maker's support library. VerifyRunProcess tells
// whether a program of a given file name is running, from the device's process list.
#include <windows.h>
#include <tlhelp32.h>

extern "C" __declspec(dllexport) int WINAPI VerifyRunProcess(LPCWSTR fileName) {
    if (fileName == NULL || *fileName == L'\0') {
        return 0;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int running = 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
         more = Process32NextW(snapshot, &entry)) {
        // File names compare without regard to case, as the device's file system does.
        running = _wcsicmp(entry.szExeFile, fileName) == 0 ? 1 : 0;
    }
    CloseToolhelp32Snapshot(snapshot);
    return running;
}
