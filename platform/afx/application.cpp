// CWinApp and the program's entry point: the framework's WinMain runs the one application object.
#include <afxwin.h>

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_instance = NULL;

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG message;
    while (::GetMessageW(&message, NULL, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
    registry_key_ = lpszRegistryKey ? lpszRegistryKey : L"";
    m_pszRegistryKey = registry_key_.c_str();
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_instance;
}

HINSTANCE AfxGetResourceHandle() {
    return g_instance;
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
    g_instance = hInstance;
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance()) {
        // No message loop: the program ends when its work in InitInstance is done.
        return app->ExitInstance();
    }
    return app->Run();
}

// The program's entry point, exported from the program's module.
extern "C" __declspec(dllexport) int WINAPI
    WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
