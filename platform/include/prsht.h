// Property sheets: a full-screen window of pages, one shown at a time, chosen with tabs.
#pragma once

#include <windef.h>
#include <winuser.h>

#define MAXPROPPAGES 100

// PROPSHEETPAGE.dwFlags
#define PSP_DEFAULT 0x00000000
#define PSP_DLGINDIRECT 0x00000001
#define PSP_USEHICON 0x00000002
#define PSP_USEICONID 0x00000004
#define PSP_USETITLE 0x00000008
#define PSP_RTLREADING 0x00000010
#define PSP_HASHELP 0x00000020
#define PSP_USEREFPARENT 0x00000040
#define PSP_USECALLBACK 0x00000080
#define PSP_PREMATURE 0x00000400

// The page callback's messages.
#define PSPCB_RELEASE 1
#define PSPCB_CREATE 2

// PROPSHEETHEADER.dwFlags
#define PSH_DEFAULT 0x00000000
#define PSH_PROPTITLE 0x00000001
#define PSH_USEHICON 0x00000002
#define PSH_USEICONID 0x00000004
#define PSH_PROPSHEETPAGE 0x00000008
#define PSH_WIZARD 0x00000020
#define PSH_USEPSTARTPAGE 0x00000040
#define PSH_NOAPPLYNOW 0x00000080
#define PSH_USECALLBACK 0x00000100
#define PSH_HASHELP 0x00000200
#define PSH_MODELESS 0x00000400
#define PSH_RTLREADING 0x00000800
// The sheet fills the screen between the shell's bars, as the phone's settings do.
#define PSH_MAXIMIZE 0x00002000

// The sheet callback's messages. The last three are the phone's: the version of the sheet the
// program was written for (return COMCTL32_VERSION for the phone's look), the title shown above
// the pages and the link text shown below them (each into a buffer of 256 characters).
#define PSCB_INITIALIZED 1
#define PSCB_PRECREATE 2
#define PSCB_GETVERSION 3
#define PSCB_GETTITLE 4
#define PSCB_GETLINKTEXT 5
#define COMCTL32_VERSION 0x020c

// Notifications to pages (WM_NOTIFY with a PSHNOTIFY).
#define PSN_FIRST (0U - 200U)
#define PSN_LAST (0U - 299U)
#define PSN_SETACTIVE (PSN_FIRST - 0)
#define PSN_KILLACTIVE (PSN_FIRST - 1)
#define PSN_APPLY (PSN_FIRST - 2)
#define PSN_RESET (PSN_FIRST - 3)
#define PSN_HELP (PSN_FIRST - 5)
#define PSN_WIZBACK (PSN_FIRST - 6)
#define PSN_WIZNEXT (PSN_FIRST - 7)
#define PSN_WIZFINISH (PSN_FIRST - 8)
#define PSN_QUERYCANCEL (PSN_FIRST - 9)

#define PSNRET_NOERROR 0
#define PSNRET_INVALID 1
#define PSNRET_INVALID_NOCHANGEPAGE 2

// Messages a page sends to its sheet.
#define PSM_SETCURSEL (WM_USER + 101)
#define PSM_REMOVEPAGE (WM_USER + 102)
#define PSM_ADDPAGE (WM_USER + 103)
#define PSM_CHANGED (WM_USER + 104)
#define PSM_RESTARTWINDOWS (WM_USER + 105)
#define PSM_REBOOTSYSTEM (WM_USER + 106)
#define PSM_CANCELTOCLOSE (WM_USER + 107)
#define PSM_QUERYSIBLINGS (WM_USER + 108)
#define PSM_UNCHANGED (WM_USER + 109)
#define PSM_APPLY (WM_USER + 110)
#define PSM_SETTITLEW (WM_USER + 120)
#define PSM_SETTITLE PSM_SETTITLEW
#define PSM_SETWIZBUTTONS (WM_USER + 112)
#define PSM_PRESSBUTTON (WM_USER + 113)
#define PSM_SETCURSELID (WM_USER + 114)
#define PSM_GETTABCONTROL (WM_USER + 116)
#define PSM_ISDIALOGMESSAGE (WM_USER + 117)
#define PSM_GETCURRENTPAGEHWND (WM_USER + 118)

#define PSBTN_BACK 0
#define PSBTN_NEXT 1
#define PSBTN_FINISH 2
#define PSBTN_OK 3
#define PSBTN_APPLYNOW 4
#define PSBTN_CANCEL 5
#define PSBTN_HELP 6

// PropertySheetW's results beside 1 (saved) and 0 (not saved).
#define ID_PSRESTARTWINDOWS 0x2
#define ID_PSREBOOTSYSTEM (ID_PSRESTARTWINDOWS | 0x1)

#ifndef RC_INVOKED
struct _PSP;
typedef struct _PSP* HPROPSHEETPAGE;

struct _PROPSHEETPAGEW;
typedef UINT(CALLBACK* LPFNPSPCALLBACKW)(HWND hwnd, UINT uMsg, struct _PROPSHEETPAGEW* ppsp);
typedef LPFNPSPCALLBACKW LPFNPSPCALLBACK;
typedef int(CALLBACK* PFNPROPSHEETCALLBACK)(HWND hwndDlg, UINT uMsg, LPARAM lParam);

typedef struct _PROPSHEETPAGEW {
    DWORD dwSize;  // sizeof(PROPSHEETPAGEW) or more: a program may append its own data
    DWORD dwFlags;
    HINSTANCE hInstance;
    union {
        LPCWSTR pszTemplate;
        LPCDLGTEMPLATE pResource;  // PSP_DLGINDIRECT
    };
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszTitle;  // PSP_USETITLE: the tab's text (a string or a string resource id)
    DLGPROC pfnDlgProc;
    LPARAM lParam;
    LPFNPSPCALLBACKW pfnCallback;  // PSP_USECALLBACK
    UINT* pcRefParent;             // PSP_USEREFPARENT
} PROPSHEETPAGEW, *LPPROPSHEETPAGEW;
typedef const PROPSHEETPAGEW* LPCPROPSHEETPAGEW;
typedef PROPSHEETPAGEW PROPSHEETPAGE;
typedef LPPROPSHEETPAGEW LPPROPSHEETPAGE;
typedef LPCPROPSHEETPAGEW LPCPROPSHEETPAGE;

typedef struct _PROPSHEETHEADERW {
    DWORD dwSize;
    DWORD dwFlags;
    HWND hwndParent;
    HINSTANCE hInstance;
    union {
        HICON hIcon;
        LPCWSTR pszIcon;
    };
    LPCWSTR pszCaption;
    UINT nPages;
    union {
        UINT nStartPage;
        LPCWSTR pStartPage;  // PSH_USEPSTARTPAGE: the title of the start page
    };
    union {
        LPCPROPSHEETPAGEW ppsp;  // PSH_PROPSHEETPAGE: an array of nPages records
        HPROPSHEETPAGE* phpage;  // otherwise: nPages handles
    };
    PFNPROPSHEETCALLBACK pfnCallback;  // PSH_USECALLBACK
} PROPSHEETHEADERW, *LPPROPSHEETHEADERW;
typedef const PROPSHEETHEADERW* LPCPROPSHEETHEADERW;
typedef PROPSHEETHEADERW PROPSHEETHEADER;
typedef LPPROPSHEETHEADERW LPPROPSHEETHEADER;
typedef LPCPROPSHEETHEADERW LPCPROPSHEETHEADER;

// What a page receives with WM_NOTIFY from its sheet.
typedef struct _PSHNOTIFY {
    NMHDR hdr;      // hwndFrom: the sheet; code: PSN_*
    LPARAM lParam;  // PSN_APPLY: TRUE when the user chose OK
} PSHNOTIFY, *LPPSHNOTIFY;

TOVARIN_BEGIN_C
HPROPSHEETPAGE WINAPI CreatePropertySheetPageW(LPCPROPSHEETPAGEW lppsp);
BOOL WINAPI DestroyPropertySheetPage(HPROPSHEETPAGE hPSPage);
INT_PTR WINAPI PropertySheetW(LPCPROPSHEETHEADERW lppsph);
TOVARIN_END_C
#define CreatePropertySheetPage CreatePropertySheetPageW
#define PropertySheet PropertySheetW

#define PropSheet_SetCurSel(hDlg, hpage, index) \
    SendMessageW(hDlg, PSM_SETCURSEL, (WPARAM)(index), (LPARAM)(hpage))
#define PropSheet_SetCurSelByID(hDlg, id) SendMessageW(hDlg, PSM_SETCURSELID, 0, (LPARAM)(id))
#define PropSheet_RemovePage(hDlg, index, hpage) \
    SendMessageW(hDlg, PSM_REMOVEPAGE, (WPARAM)(index), (LPARAM)(hpage))
#define PropSheet_AddPage(hDlg, hpage) SendMessageW(hDlg, PSM_ADDPAGE, 0, (LPARAM)(hpage))
#define PropSheet_Changed(hDlg, hwnd) SendMessageW(hDlg, PSM_CHANGED, (WPARAM)(hwnd), 0L)
#define PropSheet_UnChanged(hDlg, hwnd) SendMessageW(hDlg, PSM_UNCHANGED, (WPARAM)(hwnd), 0L)
#define PropSheet_RestartWindows(hDlg) SendMessageW(hDlg, PSM_RESTARTWINDOWS, 0, 0L)
#define PropSheet_RebootSystem(hDlg) SendMessageW(hDlg, PSM_REBOOTSYSTEM, 0, 0L)
#define PropSheet_CancelToClose(hDlg) PostMessageW(hDlg, PSM_CANCELTOCLOSE, 0, 0L)
#define PropSheet_QuerySiblings(hDlg, wParam, lParam) \
    SendMessageW(hDlg, PSM_QUERYSIBLINGS, (WPARAM)(wParam), (LPARAM)(lParam))
#define PropSheet_Apply(hDlg) SendMessageW(hDlg, PSM_APPLY, 0, 0L)
#define PropSheet_SetTitle(hDlg, wStyle, lpszText) \
    SendMessageW(hDlg, PSM_SETTITLEW, (WPARAM)(wStyle), (LPARAM)(LPCWSTR)(lpszText))
#define PropSheet_PressButton(hDlg, iButton) \
    PostMessageW(hDlg, PSM_PRESSBUTTON, (WPARAM)(iButton), 0)
#define PropSheet_GetTabControl(hDlg) (HWND) SendMessageW(hDlg, PSM_GETTABCONTROL, 0, 0)
#define PropSheet_IsDialogMessage(hDlg, pMsg) \
    (BOOL) SendMessageW(hDlg, PSM_ISDIALOGMESSAGE, 0, (LPARAM)(pMsg))
#define PropSheet_GetCurrentPageHwnd(hDlg) (HWND) SendMessageW(hDlg, PSM_GETCURRENTPAGEHWND, 0, 0L)
#endif  // RC_INVOKED
