// Oxbane.exe as the emulator stands it in: the answering recorder program that the answering
// service starts when it has answered a call. It shows its window (class "Dialog", title
// "Автоответчик"), plays the greeting that the registry names for the current caller, and ends
// when its window receives WM_COMMAND with command 2. What it plays is written to the trace, which
// is all the suite can observe of a greeting.
#include <windows.h>
#include <regext.h>

#include "common/names.h"
#include "greeting_choice.h"
#include "recorder_window.h"

namespace {

LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommandCloseAnsweringRecorder) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CallRecorderDialogProc(hwnd, message, wParam, lParam);
}

void ReadString(LPCWSTR valueName, LPWSTR buffer, UINT cchBuffer) {
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, valueName, buffer,
                                 cchBuffer))) {
        buffer[0] = L'\0';
    }
}

void PlayGreeting() {
    DWORD found = 0;
    if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, kValueQuellbrookFound,
                                &found))) {
        found = 0;
    }
    WCHAR playFile[MAX_PATH];
    WCHAR saveDir[MAX_PATH];
    WCHAR fileName[MAX_PATH];
    ReadString(kValueQuellbrookPlayFile, playFile, MAX_PATH);
    ReadString(kValueGreetingSaveDir, saveDir, MAX_PATH);
    ReadString(kValueGreetingFilename, fileName, MAX_PATH);

    WCHAR greeting[MAX_PATH];
    ChooseGreetingPath(found, playFile, saveDir, fileName, greeting, MAX_PATH);
    NKDbgPrintfW(L"Oxbane: playing %s\r\n", greeting);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE,
                                                                     LPWSTR, int) {
    if (!ShowRecorderWindow(hInstance, L"Oxbane", kWindowTitleAnsweringRecorder,
                            RecorderWindowProc)) {
        return 1;
    }
    PlayGreeting();
    return RunRecorderMessageLoop(L"Oxbane", L"closed");
}
