// TestProg.exe, the program that the process tests start. Its command line says what it does:
//   exit <n>            return n
//   wait <event> <n>    wait for the named event, then return n
//   quit <n>            leave by ExitThread(n)
//   class <name>        register a window class and leave a window of it; return 0, or the
//                       error of RegisterClassW
//   linger <n>          start a thread that leaves a window and an event and waits for ever; once
//                       it waits, return n
//   exitfrom <n>        start a thread that calls ExitProcess(n); wait for ever
//   hold                enter a critical section it never leaves, and wait for ever
// Before that it writes one trace line:
//   WinMain [<command line>] <file of hInstance> <hPrevInstance: 0 for NULL> <nShowCmd> <title>
// where the title is its string IDS_PROGRAM_TITLE, read with LoadStringW(NULL, ...).
#include <cstdint>
#include <cwchar>
#include <string>

#include <windows.h>

#include "test_program_ids.h"

namespace {

void Report(HINSTANCE instance, HINSTANCE previous, const wchar_t* command_line, int show) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(instance, path, MAX_PATH);
    wchar_t title[64] = {};
    LoadStringW(nullptr, IDS_PROGRAM_TITLE, title, 64);
    const std::wstring line = L"WinMain [" + std::wstring(command_line) + L"] " + path + L" " +
                              (previous ? L"1" : L"0") + L" " + std::to_wstring(show) + L" " +
                              title;
    OutputDebugStringW(line.c_str());
}

int Number(const wchar_t* word) {
    return word ? static_cast<int>(std::wcstol(word, nullptr, 10)) : 0;
}

void WaitForEver() {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, INFINITE);
}

DWORD WINAPI Linger(LPVOID started) {
    CreateWindowExW(0, L"Dialog", L"linger", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                    nullptr);
    SetEvent(started);
    WaitForEver();
    return 0;
}

DWORD WINAPI CallExitProcess(LPVOID code) {
    ExitProcess(static_cast<UINT>(reinterpret_cast<uintptr_t>(code)));
    return 0;
}

CRITICAL_SECTION g_held;

}  // namespace

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
                              int nShowCmd) {
    Report(hInstance, hPrevInstance, lpCmdLine, nShowCmd);
    // The command line is the program's to cut up.
    wchar_t* state = nullptr;
    const wchar_t* verb = std::wcstok(lpCmdLine, L" ", &state);
    const std::wstring command = verb ? verb : L"";
    if (command == L"exit") {
        return Number(std::wcstok(nullptr, L" ", &state));
    }
    if (command == L"wait") {
        const wchar_t* name = std::wcstok(nullptr, L" ", &state);
        HANDLE event = CreateEventW(nullptr, TRUE, FALSE, name);
        WaitForSingleObject(event, INFINITE);
        CloseHandle(event);
        return Number(std::wcstok(nullptr, L" ", &state));
    }
    if (command == L"ids") {
        // A thread of the program reports the program's id, so do the windows it makes, and it
        // keeps the priority it sets.
        DWORD child[2] = {};
        HANDLE thread = CreateThread(
            nullptr, 0,
            [](LPVOID out) -> DWORD {
                DWORD* ids = static_cast<DWORD*>(out);
                ids[0] = GetCurrentProcessId();
                HWND window = CreateWindowExW(0, L"Dialog", L"ids", WS_POPUP, 0, 0, 10, 10, nullptr,
                                              nullptr, nullptr, nullptr);
                GetWindowThreadProcessId(window, &ids[1]);
                DestroyWindow(window);
                SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
                return 0;
            },
            child, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        const int priority = GetThreadPriority(thread);
        CloseHandle(thread);
        const std::wstring line = L"ids " + std::to_wstring(GetCurrentProcessId()) + L" " +
                                  std::to_wstring(child[0]) + L" " + std::to_wstring(child[1]) +
                                  L" " + std::to_wstring(priority);
        OutputDebugStringW(line.c_str());
        return 0;
    }
    if (command == L"class") {
        WNDCLASSW window_class = {};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = hInstance;
        window_class.lpszClassName = std::wcstok(nullptr, L" ", &state);
        if (!RegisterClassW(&window_class)) {
            return static_cast<int>(GetLastError());
        }
        CreateWindowExW(0, window_class.lpszClassName, L"left", WS_POPUP, 0, 0, 10, 10, nullptr,
                        nullptr, hInstance, nullptr);
        return 0;
    }
    if (command == L"linger") {
        HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        CloseHandle(CreateThread(nullptr, 0, Linger, started, 0, nullptr));
        WaitForSingleObject(started, INFINITE);
        return Number(std::wcstok(nullptr, L" ", &state));
    }
    if (command == L"exitfrom") {
        const uintptr_t code = static_cast<uintptr_t>(Number(std::wcstok(nullptr, L" ", &state)));
        CreateThread(nullptr, 0, CallExitProcess, reinterpret_cast<LPVOID>(code), 0, nullptr);
        WaitForEver();
    }
    if (command == L"hold") {
        InitializeCriticalSection(&g_held);
        EnterCriticalSection(&g_held);
        WaitForEver();
    }
    if (command == L"quit") {
        ExitThread(static_cast<DWORD>(Number(std::wcstok(nullptr, L" ", &state))));
    }
    return 0;
}
