// Voicemail.exe as the emulator stands it in: the maker's voicemail program in
// \Program Files\VarnholtCM\Voicemail. It shows its window "Голосовая почта" until it is closed.
#include <windows.h>

#include "program_window.h"

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    return RunProgramWindow(hInstance, L"Voicemail", L"Voicemail", L"Голосовая почта",
                            L"voicemail shown");
}
