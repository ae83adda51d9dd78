// The program's application object: the shell's start-up entry, then the main dialog, modally.
#include "quellbrooks.h"

namespace {

typedef BOOL(WINAPI* ShellStartupProc)(void);
const int kShellStartupOrdinal = 9;

// The shell library's start-up entry, reached by its ordinal as the program imports it.
void InitializeShell() {
    HMODULE shell = LoadLibraryW(L"aygshell.dll");
    if (!shell) {
        return;
    }
    ShellStartupProc startup = reinterpret_cast<ShellStartupProc>(
        GetProcAddressW(shell, MAKEINTRESOURCEW(kShellStartupOrdinal)));
    if (startup) {
        startup();
    }
    FreeLibrary(shell);
}

}  // namespace

CQuellbrooksApp theApp;

BEGIN_MESSAGE_MAP(CQuellbrooksApp, CWinApp)
END_MESSAGE_MAP()

CQuellbrooksApp::CQuellbrooksApp() {}

BOOL CQuellbrooksApp::InitInstance() {
    InitializeShell();
    SetRegistryKey(L"Local AppWizard-Generated Applications");

    CQuellbrooksDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    dialog.DestroyWindow();
    m_pMainWnd = NULL;
    // No message loop: the program ends with its dialog.
    return FALSE;
}
