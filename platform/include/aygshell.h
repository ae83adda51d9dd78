// The shell library (aygshell): full-screen dialogs, menu bars, the dialog relayout helper, the
// input panel and the shell's start-up entry.
#pragma once

#include <windows.h>

// SHINITDLGINFO.dwMask
#define SHIDIM_FLAGS 0x0001

// SHINITDLGINFO.dwFlags
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU 0x0020
#define SHIDIF_WANTSCROLLBAR 0x0040
#define SHIDIF_CANCELBUTTON 0x0080

// SHMENUBARINFO.dwFlags
#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

typedef enum tagSIPSTATE {
    SIP_UP = 0,
    SIP_DOWN,
    SIP_FORCEDOWN,
    SIP_UNCHANGED,
    SIP_INPUTDIALOG,
} SIPSTATE;

#ifndef RC_INVOKED
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

typedef struct tagSHMENUBARINFO {
    DWORD cbSize;  // sizeof(SHMENUBARINFO)
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;  // receives the bar's window
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

TOVARIN_BEGIN_C
BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi);
BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* pmbi);
// Moves and sizes every control of the dialog to the rectangle that the control with the same
// id (the k-th of that id for the k-th) has in the dialog template lpDialogTemplate of hInst,
// converted with the dialog's base units, in one batch; texts the template gives are set again,
// check states and list selections stay. FALSE when the template cannot be read.
BOOL WINAPI RelayoutDialog(HINSTANCE hInst, HWND hDlg, LPCWSTR lpDialogTemplate);

// Asks the shell to raise or lower the input panel for the window.
WINBASEAPI BOOL WINAPI SHSipPreference(HWND hwnd, SIPSTATE st);

// The shell's start-up entry (exported by ordinal 9): registers the shell's extra control
// classes for the calling program. Calling it again is harmless.
WINBASEAPI BOOL WINAPI SHInitExtraControls(void);
TOVARIN_END_C
#endif  // RC_INVOKED
