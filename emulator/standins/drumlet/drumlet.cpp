// Drumlet.exe as the emulator stands it in: the call recorder that the call-recording service
// starts when the record key is pressed during a call. It reads the call dialog's handle and the
// recording place that the registry holds for it, shows its window (class "Dialog", title
// "Телефонный Записи"), records the line into an AMR-NB file in that place (making the folder
// when it is missing) until its window receives WM_KEYDOWN with the record key, and ends with 0.
#include <windows.h>
#include <regext.h>
#include <strsafe.h>
#include <wchar.h>

#include "common/names.h"
#include "line_recording.h"
#include "recorder_window.h"
#include "recording_place.h"

namespace {

LineRecording* g_call = NULL;

LRESULT CALLBACK RecorderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == kVirtualKeyRecord) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            g_call->Stop();
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return CallRecorderDialogProc(hwnd, message, wParam, lParam);
}

void ReadString(LPCWSTR valueName, LPWSTR buffer, UINT cchBuffer) {
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyCallisk, valueName, buffer, cchBuffer))) {
        buffer[0] = L'\0';
    }
}

void StartRecording() {
    DWORD callWindow = 0;
    if (FAILED(
            RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyCallisk, kValueCalliskHandle, &callWindow))) {
        callWindow = 0;
    }
    WCHAR saveDir[MAX_PATH];
    WCHAR fileName[MAX_PATH];
    ReadString(kValueCalliskSaveDir, saveDir, MAX_PATH);
    ReadString(kValueCalliskFileName, fileName, MAX_PATH);

    WCHAR prefix[MAX_PATH];
    ChooseRecordingPrefix(saveDir, fileName, prefix, MAX_PATH);
    NKDbgPrintfW(L"Drumlet: recording the call of window 0x%08X into %s\r\n", callWindow, prefix);

    // The prefix is folder\name-part; the file adds the time.
    WCHAR folder[MAX_PATH];
    StringCchCopyW(folder, MAX_PATH, prefix);
    LPWSTR namePart = wcsrchr(folder, L'\\');
    if (namePart == NULL) {
        return;
    }
    *namePart++ = L'\0';
    if (!CreateFolderPath(folder)) {
        NKDbgPrintfW(L"Drumlet: cannot create %s (error %u)\r\n", folder, GetLastError());
    }
    WCHAR path[MAX_PATH];
    MakeRecordingPath(folder, namePart, path, MAX_PATH);
    g_call->Start(L"Drumlet", path, L"Call");
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    BOOL comReady = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    LineRecording call;
    g_call = &call;
    int result = 1;
    HWND window =
        ShowRecorderWindow(hInstance, L"Drumlet", kWindowTitleCallRecorder, RecorderWindowProc);
    if (window != NULL) {
        ShowRecorderActivity(window, L"Запись разговора");
        StartRecording();
        result = RunRecorderMessageLoop(L"Drumlet", L"stopped");
    }
    call.Stop();
    g_call = NULL;
    if (comReady) {
        CoUninitialize();
    }
    return result;
}
