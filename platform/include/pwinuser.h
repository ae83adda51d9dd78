// The window manager's calls for the device's own programs beyond the public user interface:
// low-level keyboard hooks.
#pragma once

#include <windef.h>
#include <winuser.h>

#ifndef RC_INVOKED
// The hook procedure sees every key before any window does, with nCode HC_ACTION, wParam
// WM_KEYDOWN or WM_KEYUP and lParam a KBDLLHOOKSTRUCT*. A hook belongs to the thread that set it
// and goes when that thread ends. Returning nonzero keeps the key from the windows (and from the
// hooks set before it).
#define WH_KEYBOARD_LL 20
#define HC_ACTION 0
#define LLKHF_UP 0x00000080

DECLARE_HANDLE(HHOOK);
typedef struct tagKBDLLHOOKSTRUCT {
    DWORD vkCode;
    DWORD scanCode;
    DWORD flags;
    DWORD time;
    ULONG_PTR dwExtraInfo;
} KBDLLHOOKSTRUCT, *PKBDLLHOOKSTRUCT;
typedef LRESULT(CALLBACK* HOOKPROC)(int code, WPARAM wParam, LPARAM lParam);

TOVARIN_BEGIN_C
WINUSERAPI HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE hmod,
                                          DWORD dwThreadId);
WINUSERAPI BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk);
WINUSERAPI LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam);
TOVARIN_END_C
#endif  // RC_INVOKED
