// Marrowfen.dll's entry points: DllMain and CPlApplet, with the applet and page tables.
//
// Applet 0 ("Tovarin") is the settings sheet of four pages; applet 1 ("Greeting Setting") is the
// greeting recorder on a sheet of its own. A hidden owner window, whose class is named after the
// applet, marks an open sheet, so that a second open of the same applet brings the first forward.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <cpl.h>
#include <strsafe.h>

#include <new>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "media/sounds.h"
#include "pages/pages.h"
#include "simple_property_sheet.h"
#include "storage/storage.h"

HINSTANCE g_instance = NULL;

namespace {

struct PageInfo {
    int templateId;
    LPCWSTR title;
    DLGPROC procedure;
};

struct SheetInfo {
    LPCWSTR caption;
    LPCWSTR title;     // above the tabs, or NULL
    LPCWSTR linkText;  // below the tabs, or NULL
    int pageCount;
    const PageInfo* pages;
};

struct AppletInfo {
    LONG data;
    LPCWSTR idName;
    LPCWSTR name;  // also the suffix of the owner window's class
    LPCWSTR info;
    WORD iconId;       // 0: no icon
    LPCWSTR helpFile;  // NULL: none
    SheetInfo sheet;
};

const PageInfo kSettingsPages[] = {
    {IDD_ANSWERING_PAGE, g_titleAnswering, AnsweringPageProc},
    {IDD_OVERDUB_PAGE, g_titleOverdub, OverdubPageProc},
    {IDD_RECORDING_PAGE, g_titleRecording, RecordingPageProc},
    {IDD_PHONE_PAGE, g_titlePhone, PhonePageProc},
};

const PageInfo kGreetingPages[] = {
    {IDD_GREETING_RECORDER, g_titleGreeting, GreetingRecorderPageProc},
};

const AppletInfo kApplets[] = {
    {0,
     L"Marrowfen",
     g_titleApplet,
     g_titleApplet,
     IDI_MARROWFEN,
     NULL,
     {g_titleCaption, g_titleApplet, NULL, 4, kSettingsPages}},
    {1,
     L"Greeting Setting",
     L"Greeting Setting",
     L"Greeting Setting",
     0,
     NULL,
     {g_titleCaption, g_titleGreetingSheet, NULL, 1, kGreetingPages}},
};
const int kAppletCount = 2;

// Characters of the owner window's class name, and of the applet name taken into it.
const int kOwnerClassChars = 256;
const int kOwnerClassNameChars = 250;
// How long the owner window is given to go before its class is unregistered.
const DWORD kOwnerCloseWaitMs = 100;

// Class styles of the owner window: redrawn whenever its size changes.
#ifndef CS_VREDRAW
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#endif

void FillAppletInfo(int applet, NEWCPLINFO* info) {
    const AppletInfo& entry = kApplets[applet];
    info->dwSize = sizeof(NEWCPLINFO);
    info->dwFlags = 0;
    info->dwHelpContext = 0;
    info->lData = entry.data;
    info->hIcon = entry.iconId != 0 ? LoadIconW(g_instance, MAKEINTRESOURCEW(entry.iconId)) : NULL;
    StringCchCopyW(info->szName, 32, entry.name);
    StringCchCopyW(info->szInfo, 64, entry.info);
    if (entry.helpFile != NULL) {
        StringCchCopyW(info->szHelpFile, 128, entry.helpFile);
    }
}

// The hidden, disabled window that owns the sheet; NULL when it cannot be made.
HWND CreateOwnerWindow(LPCWSTR className, LPCWSTR caption) {
    WNDCLASSW windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = g_instance;
    // The phone shows no pointer, so the class carries no cursor.
    windowClass.hCursor = NULL;
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = className;
    if (RegisterClassW(&windowClass) == 0) {
        CplTrace(L"%s: RegisterClass failure\r\n");
        return NULL;
    }
    HWND owner = CreateWindowExW(0, className, caption, WS_CAPTION | WS_DISABLED, 0, 0, 0, 0, NULL,
                                 NULL, g_instance, NULL);
    if (owner == NULL) {
        CplTrace(L"%s: CreateWindow failed\r\n");
        UnregisterClassW(className, g_instance);
    }
    return owner;
}

}  // namespace

typedef int(WINAPI* VerifyRunProcessProc)(LPCWSTR fileName);

int VerifyRunProcess(LPCWSTR fileName) {
    HMODULE library = LoadLibraryW(kLibraryPellax);
    if (library == NULL) {
        return 0;
    }
    VerifyRunProcessProc verify =
        reinterpret_cast<VerifyRunProcessProc>(GetProcAddressW(library, kExportVerifyRunProcess));
    int running = verify != NULL ? verify(fileName) : 0;
    FreeLibrary(library);
    return running;
}

LONG OpenApplet(HWND hwndCPl, int applet, int startPage) {
    if (applet < 0 || applet >= kAppletCount) {
        return 0;
    }
    const AppletInfo& entry = kApplets[applet];
    WCHAR className[kOwnerClassChars];
    StringCchCopyW(className, kOwnerClassChars, L"CPL_");
    StringCchCopyNW(className + 4, kOwnerClassChars - 4, entry.name, kOwnerClassNameChars);

    // One sheet per applet: a second open brings the open one forward (the low bit asks for the
    // owner's last active pop-up, which is the sheet).
    HWND open = FindWindowW(className, entry.sheet.caption);
    if (open != NULL) {
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(open) | 1));
        return 1;
    }

    CSimplePropertySheet* sheet = new (std::nothrow) CSimplePropertySheet(g_instance);
    if (sheet == NULL) {
        CplTrace(L"%s: Process can't new CNewPropertySheet object.\r\n");
        return 0;
    }
    for (int i = 0; i < entry.sheet.pageCount; ++i) {
        const PageInfo& page = entry.sheet.pages[i];
        if (sheet->addPage(page.title, page.templateId, page.procedure) == -1) {
            CplTrace(L"%s: Add page is failure.\r\n");
            sheet->destroy();
            delete sheet;
            return 0;
        }
    }

    HWND owner = CreateOwnerWindow(className, entry.sheet.caption);
    sheet->show(entry.sheet.caption, entry.sheet.title, entry.sheet.linkText,
                owner != NULL ? owner : hwndCPl, startPage);
    if (owner != NULL) {
        CplTrace(L"%s: SendMessage WM_CLOSE %d\r\n");
        SendMessageW(owner, WM_CLOSE, 0, 0);
        Sleep(kOwnerCloseWaitMs);
        CplTrace(L"%s: UnregisterClass %d\r\n");
        UnregisterClassW(className, g_instance);
    }
    CplTrace(L"%s: delete CSimplePropertySheet %d\r\n");
    sheet->destroy();
    delete sheet;
    CplTrace(L"%s: Exit CPL_DBLCLK %d\r\n");
    return 1;
}

extern "C" __declspec(dllexport) BOOL WINAPI DllMain(HANDLE hinstDLL, DWORD dwReason, LPVOID) {
    if (dwReason == DLL_PROCESS_ATTACH) {
        g_instance = static_cast<HINSTANCE>(hinstDLL);
        LoadTitles();
        InitializeStorage();
        DisableThreadLibraryCalls(static_cast<HMODULE>(hinstDLL));
    } else if (dwReason == DLL_PROCESS_DETACH) {
        ReleaseStorage();
    }
    return TRUE;
}

extern "C" __declspec(dllexport) LONG WINAPI
    CPlApplet(HWND hwndCPl, UINT msg, LPARAM lParam1, LPARAM lParam2) {
    switch (msg) {
        case CPL_INIT:
            if (VerifyRunProcess(kProgramHopper) == 1) {
                CplTrace(L"\r<MultiCPlApplet> CPL_INIT.\r\n");
                return 0;
            }
            return 1;
        case CPL_GETCOUNT:
            return kAppletCount;
        case CPL_DBLCLK:
            return OpenApplet(hwndCPl, LOWORD(lParam1), HIWORD(lParam1));
        case CPL_NEWINQUIRE:
            if (lParam1 >= 0 && lParam1 < kAppletCount && lParam2 != 0) {
                FillAppletInfo(static_cast<int>(lParam1), reinterpret_cast<NEWCPLINFO*>(lParam2));
            }
            return 0;
        case CPL_IDNAME:
            if (lParam1 >= 0 && lParam1 < kAppletCount && lParam2 != 0) {
                StringCchCopyW(reinterpret_cast<LPWSTR>(lParam2), CPL_IDNAME_LENGTH,
                               kApplets[lParam1].idName);
            }
            return 0;
        default:
            return 0;
    }
}
