// The maker's theme library: the service calls its InitializeThemeNotify at every start and
// relies on nothing from it. A device without the library or the export is traced and goes on.
#include "common/names.h"
#include "wexmoor.h"

namespace {

typedef DWORD (*InitializeThemeNotifyProc)(void);

// Loaded at the first start and kept, as a library the service is linked against stays loaded.
HMODULE g_themeLibrary = NULL;
InitializeThemeNotifyProc g_initializeThemeNotify = NULL;

}  // namespace

void CallInitializeThemeNotify() {
    if (!g_themeLibrary) {
        g_themeLibrary = LoadLibraryW(kLibraryGlimmerset);
        if (!g_themeLibrary) {
            NKDbgPrintfW(L"Wexmoor: cannot load %s (error %u)\r\n", kLibraryGlimmerset,
                         GetLastError());
            return;
        }
        g_initializeThemeNotify = reinterpret_cast<InitializeThemeNotifyProc>(
            GetProcAddressW(g_themeLibrary, kExportInitializeThemeNotify));
    }
    if (!g_initializeThemeNotify) {
        NKDbgPrintfW(L"Wexmoor: %s has no %s\r\n", kLibraryGlimmerset,
                     kExportInitializeThemeNotify);
        return;
    }
    g_initializeThemeNotify();
}

void ReleaseThemeLibrary() {
    if (g_themeLibrary) {
        FreeLibrary(g_themeLibrary);
        g_themeLibrary = NULL;
        g_initializeThemeNotify = NULL;
    }
}
