// What the settings pages share from the shell: the empty menu bar, the help viewer, the
// documents folder and the programs they start.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <aygshell.h>
#include <shlobj.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "path_chars.h"

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
    LaunchProgram(kProgramHelpViewer, document);
}

void GetDocumentsFolder(WCHAR* folder, int chars) {
    WCHAR documents[kPathChars];
    if (!SHGetSpecialFolderPath(NULL, documents, CSIDL_DESKTOP, FALSE)) {
        documents[0] = L'\0';
    }
    StringCchCopyW(folder, chars, documents);
}

void BuildDocumentsSubfolder(UINT folderString, WCHAR* path, int chars) {
    WCHAR documents[kPathChars];
    GetDocumentsFolder(documents, kPathChars);
    WCHAR name[kPathChars];
    name[0] = L'\0';
    LoadStringW(g_instance, folderString, name, kPathChars);
    StringCchPrintfW(path, chars, L"%s\\%s", documents, name);
}

void LaunchProgram(LPCWSTR path, LPCWSTR commandLine) {
    // A command line is the program's to change, so it gets a copy of its own.
    WCHAR line[kPathChars];
    if (commandLine != NULL) {
        StringCchCopyW(line, kPathChars, commandLine);
    }
    PROCESS_INFORMATION process;
    if (CreateProcessW(path, commandLine != NULL ? line : NULL, NULL, NULL, FALSE, 0, NULL, NULL,
                       NULL, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
