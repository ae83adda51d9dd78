// RegisterClassW, UnregisterClassW, GetClassNameW.
#include <windows.h>

#include "gwes/window_manager.h"
#include "gwes/windows/text_copy.h"
#include "kernel/handles.h"

using tovarin::gwes::WindowManager;
using tovarin::kernel::SetError;

extern "C" {

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass || !lpWndClass->lpfnWndProc || !lpWndClass->lpszClassName ||
        IS_INTRESOURCE(lpWndClass->lpszClassName) || !*lpWndClass->lpszClassName ||
        lpWndClass->cbWndExtra < 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    ATOM atom = wm.classes().Add({.name = lpWndClass->lpszClassName,
                                  .proc = lpWndClass->lpfnWndProc,
                                  .style = lpWndClass->style,
                                  .window_extra_bytes = lpWndClass->cbWndExtra,
                                  .background = lpWndClass->hbrBackground,
                                  .instance = lpWndClass->hInstance,
                                  .process_id = GetCurrentProcessId()});
    if (atom == 0) {
        lock.unlock();
        SetError(ERROR_CLASS_ALREADY_EXISTS);
    }
    return atom;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    DWORD error = wm.classes().Remove(lpClassName);
    lock.unlock();
    if (error != 0) {
        SetError(error);
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const tovarin::gwes::Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return 0;
    }
    return tovarin::gwes::CopyTextOut(window->window_class->name, lpClassName, nMaxCount);
}

}  // extern "C"
