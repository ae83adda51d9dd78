// What DefWindowProcW (and so a dialog that leaves them to the default) answers to the
// WM_CTLCOLOR* messages that a control sends its parent before it paints: the colours set in the
// control's device context and the brush of its background.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

LRESULT DefaultControlColors(UINT message, HDC dc, HWND control);

}  // namespace tovarin::gwes

namespace tovarin::gwes {

// A dialog's WM_ERASEBKGND: its client area filled with the brush that its WM_CTLCOLORDLG answer
// gives (the dialog procedure may choose one). TRUE: erased.
LRESULT EraseDialog(HWND dialog, HDC dc);

}  // namespace tovarin::gwes
