// Control-panel libraries: the messages the control-panel host sends to a library's CPlApplet
// and the records it passes.
#pragma once

#include <windef.h>

#define CPL_DYNAMIC_RES 0

#define CPL_INIT 1
#define CPL_GETCOUNT 2
#define CPL_INQUIRE 3
#define CPL_SELECT 4
#define CPL_DBLCLK 5
#define CPL_STOP 6
#define CPL_EXIT 7
#define CPL_NEWINQUIRE 8
#define CPL_IDNAME 100

// The buffer of CPL_IDNAME, in characters with the terminator.
#define CPL_IDNAME_LENGTH 32

typedef LONG(APIENTRY* APPLET_PROC)(HWND hwndCpl, UINT msg, LPARAM lParam1, LPARAM lParam2);

typedef struct tagCPLINFO {
    int idIcon;
    int idName;
    int idInfo;
    LONG lData;
} CPLINFO, *LPCPLINFO;

// What CPL_NEWINQUIRE fills for one applet (468 bytes on the phone).
typedef struct tagNEWCPLINFOW {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHelpContext;
    LONG lData;
    HICON hIcon;
    WCHAR szName[32];
    WCHAR szInfo[64];
    WCHAR szHelpFile[128];
} NEWCPLINFOW, *LPNEWCPLINFOW;
typedef NEWCPLINFOW NEWCPLINFO;
typedef LPNEWCPLINFOW LPNEWCPLINFO;
