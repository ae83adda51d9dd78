// SHInitDialog: the shell makes a dialog one of the phone's full-screen dialogs.
//
// SHIDIF_DONEBUTTON puts the OK button in the caption (WS_EX_CAPTIONOKBTN: the taskbar shows it
// and tapping it sends WM_COMMAND IDOK to the dialog); SHIDIF_SIZEDLG and SHIDIF_SIZEDLGFULLSCREEN
// size the dialog to the work area between the taskbar and the menu bar, SHIDIF_FULLSCREENNOMENUBAR
// down to the bottom of the screen, and the shell keeps it so when the screen turns;
// SHIDIF_EMPTYMENU gives it an empty menu bar. Without SHIDIM_FLAGS nothing changes.
#include <aygshell.h>
#include <windows.h>

#include "gwes/window_manager.h"
#include "host/screen.h"
#include "kernel/handles.h"

using tovarin::kernel::SetError;

extern "C" {

BOOL WINAPI SHInitDialog(PSHINITDLGINFO pshidi) {
    if (!pshidi) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HWND dialog = pshidi->hDlg;
    if (!tovarin::gwes::IsWindowOrFail(dialog)) {
        return FALSE;
    }
    if (!(pshidi->dwMask & SHIDIM_FLAGS)) {
        return TRUE;
    }
    const DWORD flags = pshidi->dwFlags;
    if (flags & (SHIDIF_DONEBUTTON | SHIDIF_CANCELBUTTON)) {
        SetWindowLongW(dialog, GWL_EXSTYLE,
                       GetWindowLongW(dialog, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_CAPTIONOKBTN));
    }
    if (flags & SHIDIF_FULLSCREENNOMENUBAR) {
        tovarin::gwes::KeepFullScreen(dialog, /*cover_menu_bar=*/true);
    } else if (flags & (SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN)) {
        tovarin::gwes::KeepFullScreen(dialog, /*cover_menu_bar=*/false);
    }
    if (flags & SHIDIF_EMPTYMENU) {
        SHMENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        bar.hwndParent = dialog;
        bar.dwFlags = SHCMBF_EMPTYBAR;
        if (!SHCreateMenuBar(&bar)) {
            return FALSE;
        }
    }
    return TRUE;
}

}  // extern "C"
