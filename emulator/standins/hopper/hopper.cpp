// hopper.exe as the emulator stands it in: a program of the device that runs until it is closed.
// The control panel's applet library will not start while it runs.
#include <windows.h>

#include "program_window.h"

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    static const PageBlock kPage[] = {{L"hopper", TRUE}, {L"Программа работает.", FALSE}};
    return RunProgramWindow(hInstance, L"hopper", L"hopper", L"hopper", L"running", kPage, 2);
}
