// peghelp.exe as the emulator stands it in: the help viewer. It shows the document named by its
// command line ("file:\Windows\AnswerMachine.htm#Main_Contents") in a window titled "Справка"
// until it is closed, and traces "peghelp: <document>".
#include <windows.h>

#include "program_window.h"

extern "C" __declspec(dllexport) int WINAPI
    WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int) {
    LPCWSTR document = (lpCmdLine != NULL && *lpCmdLine != L'\0') ? lpCmdLine : L"(no document)";
    return RunProgramWindow(hInstance, L"peghelp", L"peghelp", L"Справка", document);
}
