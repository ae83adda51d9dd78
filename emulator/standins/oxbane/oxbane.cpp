// Oxbane.exe as the emulator stands it in: the answering recorder program that the answering
// service starts when it has answered a call. It shows its window (class "Dialog", title
// "Автоответчик"), plays the greeting that the registry names for the current caller to the
// line, then records the caller into the answering machine's folder as an AMR-NB file until its
// window receives WM_COMMAND with command 2. It plays only files in the greetings folder or in
// \Windows; anything else published for it is refused with a trace line.
#include <windows.h>
#include <regext.h>
#include <wchar.h>

#include "common/names.h"
#include "common/settings_defaults.h"
#include "greeting_choice.h"
#include "line_recording.h"
#include "recorder_window.h"

namespace {

const UINT_PTR kGreetingTimer = 1;
const UINT kGreetingPollMs = 200;

GreetingPlayback* g_greeting = NULL;
LineRecording* g_message = NULL;

void ReadString(LPCWSTR valueName, LPWSTR buffer, UINT cchBuffer) {
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, valueName, buffer,
                                 cchBuffer))) {
        buffer[0] = L'\0';
    }
}

// The caller's message: "SaveDir" (the documents folder when it is "NONE" or missing), named
// from "FileName" ("VR" when empty) and the local time.
void RecordMessage(HWND hwnd) {
    WCHAR saveDir[MAX_PATH];
    WCHAR namePart[MAX_PATH];
    ReadString(kValueAnswerMachineSaveDir, saveDir, MAX_PATH);
    ReadString(kValueAnswerMachineFileName, namePart, MAX_PATH);
    LPCWSTR folder = (saveDir[0] == L'\0' || wcscmp(saveDir, kDefaultAnswerMachineSaveDir) == 0)
                         ? kFolderMyDocuments
                         : saveDir;
    LPCWSTR name = namePart[0] != L'\0' ? namePart : kDefaultAnswerMachineFileName;
    if (!CreateFolderPath(folder)) {
        NKDbgPrintfW(L"Oxbane: cannot create %s (error %u)\r\n", folder, GetLastError());
    }
    WCHAR path[MAX_PATH];
    MakeRecordingPath(folder, name, path, MAX_PATH);
    ShowRecorderActivity(hwnd, L"Запись сообщения");
    g_message->Start(L"Oxbane", path);
}

void PlayGreeting(HWND hwnd) {
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
    if (!IsPlayableGreeting(greeting)) {
        NKDbgPrintfW(L"Oxbane: refusing to play %s: not in the greetings folder or \\Windows\r\n",
                     greeting);
        ChooseGreetingPath(0, L"", L"", L"", greeting, MAX_PATH);
    }
    NKDbgPrintfW(L"Oxbane: playing %s\r\n", greeting);
    ShowRecorderActivity(hwnd, L"Проигрывается приветствие");
    if (g_greeting->Start(L"Oxbane", greeting)) {
        SetTimer(hwnd, kGreetingTimer, kGreetingPollMs, NULL);
    } else {
        RecordMessage(hwnd);
    }
}

LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam != kGreetingTimer) {
                break;  // the window's own
            }
            if (g_greeting->Finished()) {
                KillTimer(hwnd, kGreetingTimer);
                g_greeting->Stop();
                RecordMessage(hwnd);
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommandCloseAnsweringRecorder) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            KillTimer(hwnd, kGreetingTimer);
            g_greeting->Stop();
            g_message->Stop();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CallRecorderDialogProc(hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    BOOL comReady = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    GreetingPlayback greeting;
    LineRecording message;
    g_greeting = &greeting;
    g_message = &message;
    int result = 1;
    HWND window =
        ShowRecorderWindow(hInstance, L"Oxbane", kWindowTitleAnsweringRecorder, RecorderWindowProc);
    if (window != NULL) {
        PlayGreeting(window);
        result = RunRecorderMessageLoop(L"Oxbane", L"closed");
    }
    greeting.Stop();
    message.Stop();
    g_greeting = NULL;
    g_message = NULL;
    if (comReady) {
        CoUninitialize();
    }
    return result;
}
