// Oxbane.exe as the emulator stands it in: the answering recorder program that the answering
// service starts when it has answered a call. It shows its window (class "Dialog", title
// "Автоответчик"), plays the greeting that the registry names for the current caller to the
// line, then records the caller into the answering machine's folder as an AMR-NB file until its
// window receives WM_COMMAND with command 2, or until the length "RecordTime" chooses. It plays
// only files in the greetings folder or in \Windows; anything else published for it is refused with
// a trace line.
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
// Ends the caller's message at the length that "RecordTime" chooses.
const UINT_PTR kMessageLimitTimer = 2;
// The seconds of each "RecordTime" value: 0 no limit, then 30 s, 1 min, 3 min and 5 min.
const UINT kRecordTimeSeconds[] = {0, 30, 60, 180, 300};
const DWORD kRecordTimeCount = sizeof kRecordTimeSeconds / sizeof kRecordTimeSeconds[0];

LinePlayback* g_greeting = NULL;
LineRecording* g_message = NULL;

void ReadString(LPCWSTR valueName, LPWSTR buffer, UINT cchBuffer) {
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, valueName, buffer,
                                 cchBuffer))) {
        buffer[0] = L'\0';
    }
}

// The longest message "RecordTime" allows, in seconds; 0 for no limit (also for a value that is
// missing or none of the five).
UINT MessageLimitSeconds() {
    DWORD recordTime = 0;
    if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, kValueRecordTime,
                                &recordTime)) ||
        recordTime >= kRecordTimeCount) {
        return 0;
    }
    return kRecordTimeSeconds[recordTime];
}

// The caller's message: "SaveDir" (the documents folder when it is "NONE" or missing), named
// from "FileName" ("VR" when empty) and the local time. It ends at the "RecordTime" limit.
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
    g_message->Start(L"Oxbane", path, L"Line");
    const UINT limit = MessageLimitSeconds();
    if (limit > 0) {
        SetTimer(hwnd, kMessageLimitTimer, limit * 1000, NULL);
    }
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
    if (g_greeting->Start(L"Oxbane", greeting, 0)) {
        SetTimer(hwnd, kGreetingTimer, kGreetingPollMs, NULL);
    } else {
        RecordMessage(hwnd);
    }
}

LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER:
            if (wParam == kGreetingTimer) {
                if (g_greeting->Finished()) {
                    KillTimer(hwnd, kGreetingTimer);
                    g_greeting->Stop();
                    RecordMessage(hwnd);
                }
                return 0;
            }
            if (wParam == kMessageLimitTimer) {
                // The message ends as it does when the caller hangs up.
                KillTimer(hwnd, kMessageLimitTimer);
                NKDbgPrintfW(L"Oxbane: the message reached its limit of %u s\r\n",
                             MessageLimitSeconds());
                DestroyWindow(hwnd);
                return 0;
            }
            break;  // the window's own (its elapsed-time clock)
        case WM_COMMAND:
            if (LOWORD(wParam) == kCommandCloseAnsweringRecorder) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            KillTimer(hwnd, kGreetingTimer);
            KillTimer(hwnd, kMessageLimitTimer);
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
    LinePlayback greeting;
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
