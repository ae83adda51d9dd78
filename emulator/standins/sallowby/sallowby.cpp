// Sallowby.exe as the emulator stands it in: the component that mixes background sounds into
// calls. The image starts it at boot. It waits on "Overdub Service Event" and rereads the
// Overdub key each time the event is set; while a call is connected it plays the chosen
// background to the line in a loop, and each arrow key pressed plays that key's effect once
// over it. Everything it plays goes to the line's mix; when the call ends it all stops.
//
// "State" = 1 (written by the answering service when it answers with effects on) marks the call
// as the answering machine's: the mixer clears it to 0 when that call ends, so that a later call
// the user answers is not taken for the machine's. It writes nothing else.
//
// One worker thread does the work; the main thread keeps a hidden window, so that the mixer is
// closed (WM_CLOSE) like any program at the device's shutdown.
#include <windows.h>
#include <pwinuser.h>
#include <regext.h>
#include <strsafe.h>
#include <wchar.h>

#include "common/names.h"
#include "line_recording.h"
#include "overdub_choice.h"

namespace {

const DWORD kStatusCallConnected = 0x20000000;
const int kSlots = 4;
const DWORD kArrowKeys[kSlots] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
LPCWSTR const kArrowNames[kSlots] = {L"up arrow", L"down arrow", L"left arrow", L"right arrow"};

HANDLE g_quit = NULL;
HANDLE g_settingsChanged = NULL;  // "Overdub Service Event"
HANDLE g_statusChanged = NULL;
HANDLE g_keyPressed = NULL;

// Whether each arrow was pressed since the worker last looked: the hook sets it on the key's
// thread and the worker takes it. Two presses before the worker looks restart the effect once,
// which sounds the same. Interlocked flags need nothing given back when the program ends, however
// it ends.
LONG volatile g_pressed[kSlots] = {};

// The worker's own state.
OverdubChoice g_choice;
BOOL g_inCall = FALSE;
BOOL g_machineCall = FALSE;
LinePlayback g_background;
WCHAR g_backgroundPath[MAX_PATH];
LONG g_backgroundVolume = 0;
DWORD g_backgroundStartTick = 0;
// A background that ends sooner than this after it started holds no sound to loop.
const DWORD kShortestLoopMs = 20;
LinePlayback g_effects[kSlots];

LRESULT CALLBACK KeyHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == WM_KEYDOWN) {
        const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        for (int slot = 0; slot < kSlots; ++slot) {
            if (key->vkCode == kArrowKeys[slot]) {
                InterlockedExchange(&g_pressed[slot], 1);
                SetEvent(g_keyPressed);
            }
        }
    }
    // The key goes on to the foreground window as before.
    return CallNextHookEx(NULL, code, wParam, lParam);
}

void CALLBACK StatusChanged(HREGNOTIFY, DWORD, const PBYTE, const UINT) {
    SetEvent(g_statusChanged);
}

BOOL CallConnected() {
    DWORD status = 0;
    if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValuePhoneStatus, &status))) {
        status = 0;
    }
    return (status & kStatusCallConnected) != 0;
}

BOOL StartOnLine(LinePlayback* playback, LPCWSTR what, LPCWSTR path, LONG volume) {
    LPCWSTR why = WhyNotPlayable(path);
    if (why != NULL) {
        NKDbgPrintfW(L"Sallowby: %s %s skipped: %s\r\n", what, path, why);
        return FALSE;
    }
    return playback->Start(L"Sallowby", path, volume);
}

void StopBackground() {
    if (g_background.Playing()) {
        g_background.Stop();
        NKDbgPrintfW(L"Sallowby: background stopped\r\n");
    }
    g_backgroundPath[0] = L'\0';
}

// Brings the background in line with the settings: started, changed or stopped.
void ApplyBackground() {
    if (!g_inCall || !g_choice.backgroundOn) {
        StopBackground();
        return;
    }
    if (g_background.Playing() && wcscmp(g_backgroundPath, g_choice.background) == 0) {
        if (g_backgroundVolume != g_choice.backgroundVolume) {
            g_backgroundVolume = g_choice.backgroundVolume;
            g_background.SetVolume(g_backgroundVolume);
            NKDbgPrintfW(L"Sallowby: background %s now at %d\r\n", g_backgroundPath,
                         g_backgroundVolume);
        }
        return;
    }
    StopBackground();
    if (StartOnLine(&g_background, L"background", g_choice.background, g_choice.backgroundVolume)) {
        g_backgroundStartTick = GetTickCount();
        StringCchCopyW(g_backgroundPath, MAX_PATH, g_choice.background);
        g_backgroundVolume = g_choice.backgroundVolume;
        NKDbgPrintfW(L"Sallowby: background %s at %d on the line\r\n", g_backgroundPath,
                     g_backgroundVolume);
    }
}

void StopEffects() {
    for (int slot = 0; slot < kSlots; ++slot) {
        g_effects[slot].Stop();
    }
}

void PlayEffect(int slot) {
    if (!g_inCall || !g_choice.effectsOn) {
        return;
    }
    if (g_choice.effectIndex[slot] == 0 || g_choice.effect[slot][0] == L'\0') {
        NKDbgPrintfW(L"Sallowby: %s: no effect chosen\r\n", kArrowNames[slot]);
        return;
    }
    // Pressed again, the effect starts over.
    g_effects[slot].Stop();
    if (StartOnLine(&g_effects[slot], kArrowNames[slot], g_choice.effect[slot],
                    g_choice.effectVolume)) {
        NKDbgPrintfW(L"Sallowby: %s: %s at %d\r\n", kArrowNames[slot], g_choice.effect[slot],
                     g_choice.effectVolume);
    }
}

void ClearMachineMark() {
    if (SUCCEEDED(RegistrySetDWORD(HKEY_LOCAL_MACHINE, kKeyOverdub, kValueOverdubState, 0))) {
        NKDbgPrintfW(L"Sallowby: State 0\r\n");
    }
}

void ReadSettings() {
    ReadOverdubChoice(&g_choice);
    NKDbgPrintfW(L"Sallowby: settings read: background %s, effects %s\r\n",
                 g_choice.backgroundOn ? L"on" : L"off", g_choice.effectsOn ? L"on" : L"off");
    if (g_choice.state == 1 && g_inCall && !g_machineCall) {
        NKDbgPrintfW(L"Sallowby: State 1: the answering machine's call\r\n");
        g_machineCall = TRUE;
    }
    ApplyBackground();
    if (!g_choice.effectsOn) {
        StopEffects();
    }
}

void FollowCall() {
    const BOOL connected = CallConnected();
    if (connected == g_inCall) {
        return;
    }
    g_inCall = connected;
    if (connected) {
        NKDbgPrintfW(L"Sallowby: call connected\r\n");
        ReadSettings();
        return;
    }
    StopBackground();
    StopEffects();
    NKDbgPrintfW(L"Sallowby: call ended, nothing plays\r\n");
    if (g_machineCall) {
        g_machineCall = FALSE;
        ClearMachineMark();
    }
}

void PlayPressedKeys() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (InterlockedExchange(&g_pressed[slot], 0) != 0) {
            PlayEffect(slot);
        }
    }
}

// Takes the ends of what plays: the background starts over, an effect lets go of its graph.
void TakePlaybackEnds() {
    if (g_background.Playing() && g_background.Finished()) {
        g_background.Stop();
        if (GetTickCount() - g_backgroundStartTick < kShortestLoopMs) {
            NKDbgPrintfW(L"Sallowby: background %s skipped: it holds no sound to loop\r\n",
                         g_backgroundPath);
            g_backgroundPath[0] = L'\0';
        } else if (StartOnLine(&g_background, L"background", g_backgroundPath,
                               g_backgroundVolume)) {
            g_backgroundStartTick = GetTickCount();
            NKDbgPrintfW(L"Sallowby: background %s again\r\n", g_backgroundPath);
        } else {
            g_backgroundPath[0] = L'\0';
        }
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        if (g_effects[slot].Playing() && g_effects[slot].Finished()) {
            g_effects[slot].Stop();
        }
    }
}

DWORD WINAPI Worker(LPVOID) {
    BOOL comReady = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyHook, NULL, 0);
    if (hook == NULL) {
        NKDbgPrintfW(L"Sallowby: no arrow keys (error %u)\r\n", GetLastError());
    }
    HREGNOTIFY notify = NULL;
    if (FAILED(RegistryNotifyCallback(HKEY_LOCAL_MACHINE, kKeyPhoneState, kValuePhoneStatus,
                                      StatusChanged, 0, NULL, &notify))) {
        NKDbgPrintfW(L"Sallowby: cannot follow the phone state\r\n");
    }
    g_inCall = FALSE;
    FollowCall();
    for (;;) {
        HANDLE waits[4 + 1 + kSlots];
        DWORD count = 0;
        waits[count++] = g_quit;
        waits[count++] = g_settingsChanged;
        waits[count++] = g_statusChanged;
        waits[count++] = g_keyPressed;
        if (HANDLE ended = g_background.EventHandle()) {
            waits[count++] = ended;
        }
        for (int slot = 0; slot < kSlots; ++slot) {
            if (HANDLE ended = g_effects[slot].EventHandle()) {
                waits[count++] = ended;
            }
        }
        DWORD which = WaitForMultipleObjects(count, waits, FALSE, INFINITE);
        if (which == WAIT_OBJECT_0 || which == WAIT_FAILED) {
            break;
        }
        if (which == WAIT_OBJECT_0 + 1) {
            ResetEvent(g_settingsChanged);
            ReadSettings();
        } else if (which == WAIT_OBJECT_0 + 2) {
            FollowCall();
        } else if (which == WAIT_OBJECT_0 + 3) {
            PlayPressedKeys();
        } else {
            TakePlaybackEnds();
        }
    }
    StopBackground();
    StopEffects();
    if (notify != NULL) {
        RegistryCloseNotification(notify);
    }
    if (hook != NULL) {
        UnhookWindowsHookEx(hook);
    }
    if (comReady) {
        CoUninitialize();
    }
    return 0;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Gives back what WinMain made, whichever of it was made.
void ReleaseProgram() {
    HANDLE* handles[] = {&g_settingsChanged, &g_statusChanged, &g_keyPressed, &g_quit};
    for (HANDLE* handle : handles) {
        if (*handle != NULL) {
            CloseHandle(*handle);
            *handle = NULL;
        }
    }
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = hInstance;
    windowClass.lpszClassName = L"Sallowby";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, L"Sallowby", L"Sallowby", 0, 0, 0, 0, 0, NULL, NULL, hInstance, NULL);
    // The control panel creates the event set, so that a mixer started later reads the key.
    g_settingsChanged = CreateEventW(NULL, TRUE, TRUE, kEventOverdubService);
    g_statusChanged = CreateEventW(NULL, FALSE, FALSE, NULL);
    g_keyPressed = CreateEventW(NULL, FALSE, FALSE, NULL);
    g_quit = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (window == NULL || g_settingsChanged == NULL || g_statusChanged == NULL ||
        g_keyPressed == NULL || g_quit == NULL) {
        NKDbgPrintfW(L"Sallowby: cannot start (error %u)\r\n", GetLastError());
        ReleaseProgram();
        return 1;
    }
    NKDbgPrintfW(L"Sallowby: waiting on \"%s\"\r\n", kEventOverdubService);
    HANDLE worker = CreateThread(NULL, 0, Worker, NULL, 0, NULL);
    if (worker == NULL) {
        NKDbgPrintfW(L"Sallowby: cannot start (error %u)\r\n", GetLastError());
        ReleaseProgram();
        return 1;
    }
    MSG msg;
    while (GetMessageW(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    SetEvent(g_quit);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    ReleaseProgram();
    NKDbgPrintfW(L"Sallowby: closed\r\n");
    return 0;
}
