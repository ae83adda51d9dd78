// The auto-answer sequence: the timer that answers, the recorder program's start and close, the
// call dialog, free space, the wave driver message and the shell's ring mode.
#include <string.h>
#include <wchar.h>

#include "ansley.h"
#include "common/names.h"
#include "service_frame.h"

namespace {

// Buffer sizes in characters.
const int kRecorderTitleChars = 64;
const int kPhoneStringChars = 32;
const int kMessageChars = 256;

const ULONGLONG kMinimumFreeBytes = 1048576;

// Loads a string of the phone's resource library, which is loaded and freed around each read.
bool LoadPhoneResourceString(UINT id, LPWSTR buffer, int chars) {
    buffer[0] = L'\0';
    HMODULE library = LoadLibraryW(kLibraryPhoneResources);
    if (!library) {
        return false;
    }
    int length = LoadStringW(library, id, buffer, chars);
    FreeLibrary(library);
    return length > 0;
}

}  // namespace

DWORD AnswerDelayMs(const AnsweringSettings& settings) {
    if (settings.greetingFound != 0) {
        // A negative answer time answers at once, like 0.
        LONG seconds = settings.callerAnswerTime > 0 ? settings.callerAnswerTime : 0;
        return static_cast<DWORD>(seconds) * 1000;
    }
    // Only the three delays of the control panel's list exist; anything else is its default.
    DWORD index = settings.ActiveTime < ARRAYSIZE(kActiveTimeSeconds) ? settings.ActiveTime : 0;
    return kActiveTimeSeconds[index] * 1000;
}

DWORD WINAPI AnswerTimer(LPVOID) {
    AnsweringSettings settings;
    SnapshotSettings(&settings);
    DWORD delay = AnswerDelayMs(settings);
    if (settings.greetingFound != 0) {
        NKDbgPrintfW(L"dwActiveTime=%d\r\n", static_cast<int>(delay));
    }
    // The monitor has reset both events before this thread started.
    HANDLE events[2] = {g_events[kTimerCancelEvent], g_events[kTimerAnswerNowEvent]};
    DWORD waited = WaitForMultipleObjects(2, events, FALSE, delay);

    EnterCriticalSection(&ServiceLock);
    if ((waited == WAIT_TIMEOUT || waited == WAIT_OBJECT_0 + 1) && g_call.timerActive) {
        SendWaveMessage(0);
        SetEvent(g_events[kRunningRecorderEvent]);
        if (ReadOverdubDword(kValueOverdubEnable, 0) == 1) {
            WriteOverdubDword(kValueOverdubState, 1);
        }
        keybd_event(VK_TTALK, 0, 0, 0);
        keybd_event(VK_TTALK, 0, KEYEVENTF_KEYUP, 0);
        g_call.answeredByService = TRUE;
        NKDbgPrintfW(L" response 33333\r\n");
    }
    NKDbgPrintfW(L" response 22222\r\n");
    g_call.pending = FALSE;
    g_call.timerActive = FALSE;
    LeaveCriticalSection(&ServiceLock);
    return 0;
}

DWORD WINAPI RecorderLauncher(LPVOID) {
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    if (CreateProcessW(kProgramOxbane, NULL, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return 0;
}

void CloseRecorder(DWORD commandId) {
    SetEvent(g_events[kEndRecorderEvent]);
    WCHAR title[kRecorderTitleChars];
    if (LoadStringW(g_instance, IDS_RECORDER_WINDOW_TITLE, title, kRecorderTitleChars) <= 0) {
        // Without its title the recorder cannot be told from any other untitled dialog.
        return;
    }
    HWND recorder = FindWindowW(kWindowClassDialog, title);
    if (recorder) {
        SendMessageW(recorder, WM_COMMAND, static_cast<WPARAM>(commandId & 0xFFFF), 0);
    }
}

void FindCallDialog() {
    WCHAR title[kPhoneStringChars];
    WCHAR childText[kPhoneStringChars];
    if (!LoadPhoneResourceString(kPhoneStringCallDialogTitle, title, kPhoneStringChars) ||
        !LoadPhoneResourceString(kPhoneStringCallDialogChild, childText, kPhoneStringChars)) {
        return;  // the dialog found earlier stays
    }
    HWND found = ServiceFindCallDialog(title, childText);
    if (found) {
        g_call.callDialog = found;
    }
}

bool HasFreeSpace(LPCWSTR folder) {
    ULARGE_INTEGER available, total, totalFree;
    if (!GetDiskFreeSpaceExW(folder, &available, &total, &totalFree)) {
        return false;
    }
    // What the service itself may write counts: bytes that the volume keeps back from its
    // caller cannot hold a message.
    return available.QuadPart >= kMinimumFreeBytes;
}

void ShowLowSpaceMessage() {
    WCHAR caption[kMessageChars];
    WCHAR text[kMessageChars];
    if (LoadStringW(g_instance, IDS_LOW_SPACE_CAPTION, caption, kMessageChars) <= 0) {
        caption[0] = L'\0';
    }
    if (LoadStringW(g_instance, IDS_LOW_SPACE_TEXT, text, kMessageChars) <= 0) {
        text[0] = L'\0';
    }
    MessageBoxW(NULL, text, caption, MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

void SendWaveMessage(DWORD parameter) {
    HANDLE wave = CreateFileW(kDeviceWave, GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_ARCHIVE, NULL);
    if (wave == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD message[5] = {0, kWaveMessageBeforeAnswer, 0, parameter, 0};
    DWORD output = 0;
    DeviceIoControl(wave, kIoctlWaveMessage, message, sizeof message, &output, sizeof output, NULL,
                    NULL);
    CloseHandle(wave);
}

void ReapplyShellMode() {
    HWND taskBar = FindWindowW(kWindowClassTaskBar, NULL);
    if (!taskBar) {
        return;
    }
    SendMessageW(taskBar, kMessageReapplyShellMode, kMessageReapplyShellModeWParam, 0);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyShellOverrides, 0, 0, &key) == ERROR_SUCCESS) {
        DWORD mode = 1;
        RegSetValueExW(key, kValueShellOverridesMode, 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&mode), sizeof mode);
        RegCloseKey(key);
    }
}
