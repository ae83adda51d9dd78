#include "hosts/taskbar.h"

#include <windows.h>

#include "common/names.h"
#include "hosts/ready_thread.h"

namespace tovarin::emulator {
namespace {

DWORD WINAPI TaskbarThread(LPVOID start) {
    ReadySignal ready = static_cast<ReadyThreadStart*>(start)->ready;
    WNDCLASSW taskbar_class = {};
    taskbar_class.lpfnWndProc = &DefWindowProcW;
    taskbar_class.lpszClassName = kWindowClassTaskBar;
    if (RegisterClassW(&taskbar_class) == 0) {
        return 1;
    }
    // Across the top of the 240 x 320 screen, as the phone's taskbar is.
    HWND taskbar = CreateWindowExW(0, kWindowClassTaskBar, L"", WS_POPUP | WS_VISIBLE, 0, 0, 240,
                                   26, nullptr, nullptr, nullptr, nullptr);
    if (taskbar == nullptr) {
        return 1;
    }
    ready.Ready();
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

bool StartTaskbar(std::string* error) {
    return StartReadyThread(&TaskbarThread, nullptr, "the taskbar", error);
}

}  // namespace tovarin::emulator
