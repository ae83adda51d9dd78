// What the settings pages share from the shell: the empty menu bar and the help viewer.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <aygshell.h>
#include <strsafe.h>

#include "common/names.h"
#include "marrowfen.h"

HWND menuBarSlot = NULL;

void CreatePageMenuBar(HWND page) {
    if (menuBarSlot != NULL) {
        return;
    }
    SHMENUBARINFO bar;
    memset(&bar, 0, sizeof bar);
    bar.cbSize = sizeof bar;
    bar.hwndParent = page;
    bar.dwFlags = SHCMBF_EMPTYBAR;
    if (SHCreateMenuBar(&bar)) {
        menuBarSlot = bar.hwndMB;
    }
}

void DestroyPageMenuBar() {
    if (menuBarSlot != NULL) {
        DestroyWindow(menuBarSlot);
        menuBarSlot = NULL;
    }
}

void ShowPageHelp(LPCWSTR document) {
    // The command line is the viewer's to change, so it gets a copy of its own.
    WCHAR commandLine[kPathChars];
    StringCchCopyW(commandLine, kPathChars, document);
    PROCESS_INFORMATION process;
    if (CreateProcessW(kProgramHelpViewer, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, NULL,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
