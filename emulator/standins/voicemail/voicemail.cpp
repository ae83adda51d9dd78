// Voicemail.exe as the emulator stands it in: the maker's voicemail program in
// \Program Files\VarnholtCM\Voicemail. It shows its window "Голосовая почта" until it is closed.
// The network's voice mailbox is out of the emulator's reach: the page says so.
#include <windows.h>

#include "program_window.h"

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    static const PageBlock kPage[] = {
        {L"Голосовая почта", TRUE},
        {L"Новых сообщений нет.", FALSE},
        {L"Сообщения голосовой почты хранятся у оператора; чтобы прослушать их, позвоните на "
         L"номер голосовой почты.",
         FALSE},
    };
    return RunProgramWindow(hInstance, L"Voicemail", L"Voicemail", L"Голосовая почта",
                            L"voicemail shown", kPage, 3);
}
