// The answering-machine service: shared state and the operations of its threads.
//
// Threads: the worker (settings and the "Status" notification), the notification thread that runs
// the call-state monitor, one timer thread per call to be answered and one launcher thread per
// answered call.
#pragma once

#include <windows.h>
#include <regext.h>

// Settings and the current caller's greeting. The worker rewrites the whole record on every
// reload; the other threads read it through SnapshotSettings, so no thread sees half a reload.
struct AnsweringSettings {
    DWORD Enable;
    DWORD QuellbrookEnable;
    DWORD greetingFound;
    LONG callerAnswerTime;
    DWORD ActiveTime;
    WCHAR SaveDir[MAX_PATH];
};

// The call's state. The monitor and the timer thread share it; ServiceLock guards it.
struct CallMonitorState {
    BOOL pending;
    BOOL timerActive;
    BOOL talking;
    BOOL multipleCalls;
    BOOL answeredByService;
    BOOL recorderRunning;
    HWND callDialog;
};

#include "ansley_resources.h"

extern HINSTANCE g_instance;
extern CRITICAL_SECTION ServiceLock;
extern CallMonitorState g_call;

// Handles of the five named events, in the order the worker creates them.
enum ServiceEventIndex {
    kServiceEvent,
    kTimerCancelEvent,
    kTimerAnswerNowEvent,
    kRunningRecorderEvent,
    kEndRecorderEvent,
    kServiceEventCount
};
extern HANDLE g_events[kServiceEventCount];

// settings.cpp
void ReloadAnsweringSettings();
void SnapshotSettings(AnsweringSettings* out);
void SetCallerGreeting(DWORD found, LONG answerTime);
void InitializeSettingsLock();
void DeleteSettingsLock();

// worker.cpp
DWORD WINAPI AnsweringWorker(LPVOID);
// Starts the worker unless it runs already.
void StartAnsweringWorker();

// monitor.cpp
void OnPhoneStatus(HREGNOTIFY hNotify, DWORD dwUserData, const PBYTE pData, const UINT cbData);

// answer_sequence.cpp
DWORD AnswerDelayMs(const AnsweringSettings& settings);
DWORD WINAPI AnswerTimer(LPVOID);
DWORD WINAPI RecorderLauncher(LPVOID);
void CloseRecorder(DWORD commandId);
void FindCallDialog();
bool HasFreeSpace(LPCWSTR folder);
void ShowLowSpaceMessage();
void SendWaveMessage(DWORD parameter);
void ReapplyShellMode();

// greeting_lookup.cpp
LONG LookUpCallerGreeting();

// registry_values.cpp: the values of other keys that the service reads and writes
DWORD ReadOverdubDword(LPCWSTR name, DWORD defaultValue);
void WriteOverdubDword(LPCWSTR name, DWORD value);
DWORD ReadShellMode();
DWORD ReadAutoAnswerWithDelay();
DWORD ReadActiveCallCountWithDelay();
