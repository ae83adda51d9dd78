// The call-recording service: shared state and the operations of its threads.
//
// Threads: the worker (settings, the "Status" notification, the answering machine's events), the
// notification thread that runs OnPhoneStatus, the thread of the phone's call dialog on which the
// record key arrives, and one launcher thread per recording. ServiceLock guards every field below;
// no thread holds it while it sends a message to another thread's window or waits for the
// recorder program.
#pragma once

#include <windows.h>
#include <regext.h>

#include "callisk_resources.h"

// The service's copy of the Callisk key. Cleared and reread on every reload.
struct RecordSettings {
    DWORD Activate;  // 1 = the record key is offered during calls
};

struct CalliskState {
    RecordSettings settings;
    BOOL talking;          // a call is in progress as far as the service knows
    BOOL answeringActive;  // the answering machine has taken the current call
    BOOL recorderRunning;  // the call recorder was started and has not ended yet
    HWND callDialog;       // the phone's call dialog, once found
    // The call dialog's own procedure, kept when the service took the window over; NULL until
    // then. It is the handle that SetWindowLongW returned, for CallWindowProcW.
    WNDPROC previousWindowProc;
};

extern HINSTANCE g_instance;
extern CRITICAL_SECTION ServiceLock;
extern CalliskState g_state;

// "Status" bit of a call in progress.
const DWORD kStatusTalking = 0x20000000;
// The record key's hot key on the call dialog: fires when the key is released.
const int kRecordHotKeyId = 0x8B;
const UINT kRecordHotKeyModifiers = MOD_KEYUP;
// Characters of the window texts and strings that the service compares.
const int kPhoneStringChars = 32;
const int kRecorderTitleChars = 63;

// worker.cpp
DWORD WINAPI RecordingWorker(LPVOID);
// Starts the worker and keeps its handle, unless it runs already. FALSE when it cannot start.
BOOL StartRecordingWorker();
// Closes the kept handle; the worker runs on.
void ReleaseRecordingWorkerHandle();
// Rereads "Activate" and returns it.
DWORD ReloadRecordSettings();

// monitor.cpp
void OnPhoneStatus(HREGNOTIFY hNotify, DWORD dwUserData, const PBYTE pData, const UINT cbData);
void SetKeyboardCallMode(BOOL on);

// record_key.cpp
LRESULT CALLBACK HotKeyWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void OnRecordKey(HWND hwnd, int id, UINT modifiers, UINT key);
DWORD WINAPI LaunchRecorder(LPVOID);
BOOL StopRecorder();

// call_dialog.cpp
HRESULT LoadPhoneString(UINT id, LPWSTR buffer, int capacity);
void FindCallDialog();
