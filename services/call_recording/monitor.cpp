// The call-state monitor: the notification callback on the phone's "Status". When a call starts
// it offers the record key on the phone's call dialog; when the last call ends it withdraws it.
#include <string.h>

#include "callisk.h"
#include "common/names.h"

namespace {

// UnregisterFunc1 of the core library: releases a hot key whoever registered it.
typedef BOOL(WINAPI* UnregisterFunc1Proc)(UINT modifiers, UINT key);

// Read at once: the phone updates the count before it changes "Status".
DWORD ReadActiveCallCount() {
    DWORD count = 0;
    if (FAILED(
            RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValueActiveCallCount, &count))) {
        count = 0;
    }
    return count;
}

// The hot key belongs to the call dialog's thread, so it is released through the core library's
// UnregisterFunc1, which frees a key combination for whoever holds it.
void ReleaseRecordHotKey() {
    HMODULE core = LoadLibraryW(kLibraryCore);
    if (!core) {
        return;
    }
    UnregisterFunc1Proc unregister =
        reinterpret_cast<UnregisterFunc1Proc>(GetProcAddressW(core, kExportUnregisterFunc1));
    if (unregister) {
        unregister(kRecordHotKeyModifiers, kVirtualKeyRecord);
    }
    FreeLibrary(core);
}

// Subclasses the phone's call dialog so that its hot key reaches OnRecordKey. The dialog is taken
// over once; it is looked for again only while none was taken over, or when the phone has
// destroyed the one taken over. ServiceLock is held.
void TakeOverCallDialog() {
    if (g_state.previousWindowProc && IsWindow(g_state.callDialog)) {
        return;
    }
    FindCallDialog();
    if (!IsWindow(g_state.callDialog)) {
        NKDbgPrintfW(L"Callisk: no call dialog found\r\n");
        return;
    }
    WNDPROC previous = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(
        SetWindowLongW(g_state.callDialog, GWL_WNDPROC,
                       static_cast<LONG>(reinterpret_cast<LONG_PTR>(HotKeyWindowProc)))));
    if (!previous) {
        // Not taken over: the procedure kept from an earlier dialog is not this one's, and the
        // next call tries again.
        g_state.previousWindowProc = NULL;
        NKDbgPrintfW(L"Callisk: cannot take over the call dialog (error %u)\r\n", GetLastError());
        return;
    }
    g_state.previousWindowProc = previous;
}

// The call has started. The whole block runs under ServiceLock, so that the record key cannot
// arrive on a half taken-over dialog.
void OnCallStart() {
    g_state.talking = TRUE;
    if (g_state.settings.Activate == 0 || g_state.answeringActive) {
        return;
    }
    SetKeyboardCallMode(TRUE);
    TakeOverCallDialog();
    // Without a dialog taken over, a hot key would go to this thread, which has no message loop,
    // or to the phone's own procedure, and swallow the key until the call ends.
    if (g_state.previousWindowProc && IsWindow(g_state.callDialog)) {
        RegisterHotKey(g_state.callDialog, kRecordHotKeyId, kRecordHotKeyModifiers,
                       kVirtualKeyRecord);
    }
}

// The phone has left the call-in-progress state. With another call still active the service
// stays in the call.
void OnCallEnd(BOOL recorderRunning) {
    if (recorderRunning) {
        StopRecorder();
    }
    if (ReadActiveCallCount() != 0) {
        return;
    }
    EnterCriticalSection(&ServiceLock);
    g_state.talking = FALSE;
    DWORD activate = g_state.settings.Activate;
    LeaveCriticalSection(&ServiceLock);
    if (activate != 0) {
        ReleaseRecordHotKey();
        SetKeyboardCallMode(FALSE);
    }
}

}  // namespace

void SetKeyboardCallMode(BOOL on) {
    HANDLE keyboard = CreateFileW(kDeviceKeyboard, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (keyboard == INVALID_HANDLE_VALUE) {
        return;
    }
    DeviceIoControl(keyboard, on ? kIoctlKeyboardCallModeOn : kIoctlKeyboardCallModeOff, NULL, 0,
                    NULL, 0, NULL, NULL);
    CloseHandle(keyboard);
}

void OnPhoneStatus(HREGNOTIFY, DWORD, const PBYTE pData, const UINT cbData) {
    if (cbData != sizeof(DWORD) || !pData) {
        return;
    }
    DWORD status;
    memcpy(&status, pData, sizeof status);

    EnterCriticalSection(&ServiceLock);
    if (!g_state.talking && (status & kStatusTalking)) {
        OnCallStart();
        LeaveCriticalSection(&ServiceLock);
        return;
    }
    BOOL ending = g_state.talking && !(status & kStatusTalking);
    BOOL recorderRunning = g_state.recorderRunning;
    LeaveCriticalSection(&ServiceLock);
    if (ending) {
        // Outside the lock: stopping the recorder sends a message to its window.
        OnCallEnd(recorderRunning);
    }
}
