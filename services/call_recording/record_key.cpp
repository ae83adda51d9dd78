// The record key: the call dialog's replacement procedure receives the hot key, and a press starts
// the call recorder program or, while it runs, hands the key on to it as its stop key.
#include <string.h>

#include "callisk.h"
#include "common/names.h"
#include "service_frame.h"

namespace {

// The recorder program learns from "Handle" which call dialog the key was pressed on.
void PublishDialogHandle(HWND hwnd) {
    HKEY key;
    DWORD disposition;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyCallisk, 0, NULL, 0, KEY_WRITE, NULL, &key,
                        &disposition) != ERROR_SUCCESS) {
        return;
    }
    DWORD handle = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(hwnd));
    RegSetValueExW(key, kValueCalliskHandle, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&handle),
                   sizeof handle);
    RegCloseKey(key);
}

void ClearRecorderRunning() {
    EnterCriticalSection(&ServiceLock);
    g_state.recorderRunning = FALSE;
    LeaveCriticalSection(&ServiceLock);
}

}  // namespace

LRESULT CALLBACK HotKeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        OnRecordKey(hwnd, static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
    }
    EnterCriticalSection(&ServiceLock);
    WNDPROC previous = g_state.previousWindowProc;
    LeaveCriticalSection(&ServiceLock);
    if (!previous) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

void OnRecordKey(HWND hwnd, int id, UINT modifiers, UINT) {
    if (id != kRecordHotKeyId || modifiers != kRecordHotKeyModifiers) {
        return;
    }
    EnterCriticalSection(&ServiceLock);
    if (g_state.recorderRunning) {
        LeaveCriticalSection(&ServiceLock);
        StopRecorder();
        return;
    }
    if (!g_state.talking || g_state.settings.Activate == 0) {
        LeaveCriticalSection(&ServiceLock);
        return;
    }
    // Set before the lock is left, so that a second press cannot start a second recorder.
    g_state.recorderRunning = TRUE;
    LeaveCriticalSection(&ServiceLock);

    PublishDialogHandle(hwnd);
    HANDLE launcher = ServiceStartThread(LaunchRecorder, NULL);
    if (!launcher) {
        NKDbgPrintfW(L"Callisk: cannot start the recorder's thread (error %u)\r\n", GetLastError());
        ClearRecorderRunning();
        return;
    }
    CloseHandle(launcher);
}

DWORD WINAPI LaunchRecorder(LPVOID) {
    PROCESS_INFORMATION process;
    memset(&process, 0, sizeof process);
    if (CreateProcessW(kProgramDrumlet, NULL, NULL, NULL, FALSE, 0, NULL, NULL, NULL, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        ClearRecorderRunning();
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        return 0;
    }
    DWORD error = GetLastError();
    NKDbgPrintfW(L"Callisk: cannot start %s (error %u)\r\n", kProgramDrumlet, error);
    // The next press of the key tries again.
    ClearRecorderRunning();
    return 0;
}

BOOL StopRecorder() {
    WCHAR title[kRecorderTitleChars];
    if (LoadStringW(g_instance, IDS_RECORDER_WINDOW_TITLE, title, kRecorderTitleChars) <= 0) {
        return FALSE;
    }
    HWND recorder = FindWindowW(kWindowClassDialog, title);
    if (!recorder) {
        return FALSE;
    }
    SendMessageW(recorder, WM_KEYDOWN, kVirtualKeyRecord, 0);
    return TRUE;
}
