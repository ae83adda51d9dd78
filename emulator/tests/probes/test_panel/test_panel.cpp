// TestPanel.cpl: a control-panel library for the emulator's tests, written as a phone's applet
// library is. It traces every message its CPlApplet receives ("TestPanel: CPL_DBLCLK 0x00020000
// data 10"), so that a test can compare the control-panel host's sequence with the expected
// one, and, like the suite's own library, declines CPL_INIT while "hopper.exe" runs.
//
// Applet 0 opens a property sheet of four pages (test_panel_sheet.cpp); applet 1 opens nothing
// and reports success.
#include <windows.h>
#include <cpl.h>
#include <strsafe.h>

#include "test_panel_ids.h"
#include "test_panel_sheet.h"

namespace {

struct AppletInfo {
    LONG data;
    LPCWSTR idName;
    LPCWSTR name;
    LPCWSTR info;
    int iconId;
};

const AppletInfo kApplets[] = {
    {10, L"TestPanelSheet", L"Проверка", L"Четыре страницы", IDI_TEST_PANEL},
    {11, L"TestPanelPlain", L"Второй", L"Без окна", 0},
};
const LONG kAppletCount = sizeof kApplets / sizeof kApplets[0];

HINSTANCE g_instance = NULL;

typedef int(WINAPI* VerifyRunProcessProc)(LPCWSTR fileName);

// Asks the maker's library whether a program runs; 0 when the library cannot be reached.
int IsRunning(LPCWSTR fileName) {
    HMODULE pellax = LoadLibraryW(L"Pellax.dll");
    if (pellax == NULL) {
        return 0;
    }
    VerifyRunProcessProc verify =
        reinterpret_cast<VerifyRunProcessProc>(GetProcAddressW(pellax, L"VerifyRunProcess"));
    int running = verify != NULL ? verify(fileName) : 0;
    FreeLibrary(pellax);
    return running;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) BOOL WINAPI DllMain(HANDLE hinstDLL,
                                                                      DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_instance = static_cast<HINSTANCE>(hinstDLL);
        DisableThreadLibraryCalls(static_cast<HMODULE>(hinstDLL));
    }
    return TRUE;
}

extern "C" __attribute__((visibility("default"))) LONG WINAPI CPlApplet(HWND hwndCPl, UINT msg,
                                                                        LPARAM lParam1,
                                                                        LPARAM lParam2) {
    switch (msg) {
        case CPL_INIT:
            NKDbgPrintfW(L"TestPanel: CPL_INIT\r\n");
            return IsRunning(L"hopper.exe") == 1 ? 0 : 1;
        case CPL_GETCOUNT:
            NKDbgPrintfW(L"TestPanel: CPL_GETCOUNT\r\n");
            return kAppletCount;
        case CPL_NEWINQUIRE: {
            NKDbgPrintfW(L"TestPanel: CPL_NEWINQUIRE %d\r\n", static_cast<int>(lParam1));
            if (lParam1 < 0 || lParam1 >= kAppletCount || lParam2 == 0) {
                return 0;
            }
            const AppletInfo& applet = kApplets[lParam1];
            NEWCPLINFO* info = reinterpret_cast<NEWCPLINFO*>(lParam2);
            info->dwSize = sizeof(NEWCPLINFO);
            info->dwFlags = 0;
            info->dwHelpContext = 0;
            info->lData = applet.data;
            info->hIcon =
                applet.iconId != 0 ? LoadIconW(g_instance, MAKEINTRESOURCEW(applet.iconId)) : NULL;
            StringCchCopyW(info->szName, 32, applet.name);
            StringCchCopyW(info->szInfo, 64, applet.info);
            info->szHelpFile[0] = L'\0';
            return 0;
        }
        case CPL_IDNAME:
            NKDbgPrintfW(L"TestPanel: CPL_IDNAME %d\r\n", static_cast<int>(lParam1));
            if (lParam1 >= 0 && lParam1 < kAppletCount && lParam2 != 0) {
                StringCchCopyW(reinterpret_cast<LPWSTR>(lParam2), CPL_IDNAME_LENGTH,
                               kApplets[lParam1].idName);
            }
            return 0;
        case CPL_DBLCLK: {
            NKDbgPrintfW(L"TestPanel: CPL_DBLCLK 0x%08X data %d\r\n",
                         static_cast<unsigned>(lParam1), static_cast<int>(lParam2));
            int applet = LOWORD(lParam1);
            if (applet >= kAppletCount) {
                return 0;
            }
            return applet == 0 ? ShowTestSheet(g_instance, hwndCPl, HIWORD(lParam1)) : 1;
        }
        case CPL_STOP:
            NKDbgPrintfW(L"TestPanel: CPL_STOP %d data %d\r\n", static_cast<int>(lParam1),
                         static_cast<int>(lParam2));
            return 0;
        case CPL_EXIT:
            NKDbgPrintfW(L"TestPanel: CPL_EXIT\r\n");
            return 0;
        default:
            NKDbgPrintfW(L"TestPanel: message %u\r\n", msg);
            return 0;
    }
}
