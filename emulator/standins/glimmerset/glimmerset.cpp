// Glimmerset.dll as the emulator stands it in: the maker's theme library. Its one export that the
// suite calls, InitializeThemeNotify, switches on the theme-change notifications of the calling
// process; later calls find them on already. The trace shows when they come on.
#include <windows.h>

namespace {

// 1 once theme notifications are on.
LONG volatile g_notificationsOn = 0;

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI InitializeThemeNotify(void) {
    if (InterlockedExchange(&g_notificationsOn, 1) == 0) {
        NKDbgPrintfW(L"Glimmerset: theme notifications on\r\n");
    }
    return TRUE;
}
