// The call-state monitor: the notification callback on the phone's "Status". It follows the call
// through four stages: second call, incoming, cancel, connect and end.
#include <string.h>
#include <wchar.h>

#include "ansley.h"
#include "common/names.h"
#include "service_frame.h"

CallMonitorState g_call;

namespace {

// "Status" bits the monitor tests.
const DWORD kStatusIncoming = 0x00010000;
const DWORD kStatusMissed = 0x00000800;
const DWORD kStatusTalking = 0x20000000;
const DWORD kStatusSecondCall = 0x00004000;

// Reads a flag of the call record under the lock that the timer thread holds while it answers.
BOOL ReadFlag(const BOOL& flag) {
    EnterCriticalSection(&ServiceLock);
    BOOL value = flag;
    LeaveCriticalSection(&ServiceLock);
    return value;
}

void WriteFlag(BOOL& flag, BOOL value) {
    EnterCriticalSection(&ServiceLock);
    flag = value;
    LeaveCriticalSection(&ServiceLock);
}

// Stage 1. Returns true when processing of the notification ends here.
bool SecondCallStage(DWORD status) {
    if (g_call.talking && (status & kStatusSecondCall) && g_call.multipleCalls) {
        CloseRecorder(kCommandCloseAnsweringRecorder);
    }
    return g_call.multipleCalls != FALSE;
}

// Stage 2. Returns true when processing of the notification ends here (stage 4 does not run).
bool IncomingStage(DWORD status) {
    if (!(status & kStatusIncoming)) {
        return false;
    }
    AnsweringSettings settings;
    SnapshotSettings(&settings);
    bool callerHasGreeting = false;
    if (settings.QuellbrookEnable != 0) {
        // The phone publishes the caller's number a moment after the call starts ringing.
        Sleep(1000);
        LONG result = LookUpCallerGreeting();
        SnapshotSettings(&settings);
        callerHasGreeting = result == 0 && settings.greetingFound == 1;
    }
    if (!callerHasGreeting && settings.Enable == 0) {
        return true;
    }
    if (ReadAutoAnswerWithDelay() != 0) {
        return true;  // the phone answers by itself
    }
    if (!HasFreeSpace(settings.SaveDir)) {
        ShowLowSpaceMessage();
        return true;
    }
    // Reset before the timer starts, so that a cancel arriving before its wait is not lost.
    ResetEvent(g_events[kTimerCancelEvent]);
    ResetEvent(g_events[kTimerAnswerNowEvent]);
    EnterCriticalSection(&ServiceLock);
    g_call.pending = TRUE;
    g_call.timerActive = TRUE;
    LeaveCriticalSection(&ServiceLock);
    if (!ServiceStartDetachedThread(AnswerTimer, NULL)) {
        // No timer will clear them: left set, every later call would count as a cancel.
        NKDbgPrintfW(L"Ansley: cannot start the answer timer (error %u)\r\n", GetLastError());
        EnterCriticalSection(&ServiceLock);
        g_call.pending = FALSE;
        g_call.timerActive = FALSE;
        LeaveCriticalSection(&ServiceLock);
    }
    return false;
}

// Stage 3: a call that stops ringing before it is answered cancels the pending answer.
void CancelStage(DWORD status) {
    if (status & kStatusMissed) {
        WriteFlag(g_call.pending, FALSE);
        SetEvent(g_events[kTimerCancelEvent]);
        NKDbgPrintfW(L" response 11111\r\n");
    }
}

void OnConnect() {
    g_call.talking = TRUE;
    // A timer still waiting ends without answering: a call answered by hand is never answered
    // again.
    SetEvent(g_events[kTimerCancelEvent]);
    if (!ReadFlag(g_call.answeredByService)) {
        return;
    }
    WriteFlag(g_call.answeredByService, FALSE);
    if (ReadOverdubDword(kValueSystemMode, kSystemModeNothingSaved) == kSystemModeNothingSaved) {
        NKDbgPrintfW(L"AutoAns 1\r\n");
        DWORD savedMode = ReadShellMode();
        DWORD savedVolume = 0;
        waveOutGetVolume(0, &savedVolume);
        waveOutSetVolume(0, 0xFFFFFFFF);
        WriteOverdubDword(kValueSystemMode, savedMode);
        WriteOverdubDword(kValueSystemVolume, savedVolume);
    }
    FindCallDialog();
    ServiceStartDetachedThread(RecorderLauncher, NULL);
    g_call.recorderRunning = TRUE;
}

void OnEnd() {
    g_call.talking = FALSE;
    g_call.multipleCalls = FALSE;
    if (!g_call.recorderRunning) {
        return;
    }
    CloseRecorder(kCommandCloseAnsweringRecorder);
    if (ReadOverdubDword(kValueSystemMode, kSystemModeNothingSaved) != kSystemModeNothingSaved) {
        NKDbgPrintfW(L"AutoAns 3\r\n");
        DWORD savedMode = ReadOverdubDword(kValueSystemMode, kSystemModeNothingSaved);
        DWORD savedVolume = ReadOverdubDword(kValueSystemVolume, kDefaultSystemVolume);
        waveOutSetVolume(0, savedVolume);
        if (savedMode == 1) {
            ReapplyShellMode();
        }
        WriteOverdubDword(kValueSystemMode, kSystemModeNothingSaved);
    }
    g_call.recorderRunning = FALSE;
    if (g_call.callDialog) {
        ShowWindow(g_call.callDialog, SW_HIDE);
    }
}

// Stage 4.
void ConnectAndEndStage(DWORD status) {
    if (!g_call.talking && (status & kStatusTalking)) {
        OnConnect();
    } else if (g_call.talking && !(status & kStatusTalking)) {
        OnEnd();
    }
}

}  // namespace

void OnPhoneStatus(HREGNOTIFY, DWORD, const PBYTE pData, const UINT cbData) {
    if (cbData != sizeof(DWORD) || !pData) {
        return;
    }
    DWORD status;
    memcpy(&status, pData, sizeof status);

    DWORD activeCalls = ReadActiveCallCountWithDelay();
    g_call.multipleCalls = activeCalls > 1;

    if (SecondCallStage(status)) {
        return;
    }
    if (!ReadFlag(g_call.pending)) {
        if (IncomingStage(status)) {
            return;
        }
    } else {
        CancelStage(status);
    }
    ConnectAndEndStage(status);
}
