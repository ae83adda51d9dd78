// The framework's map from window handles to the objects attached to them, and the message being
// handled on this thread (for CWnd::Default).
#pragma once

#include <afxwin.h>

namespace tovarin::afx {

CWnd* FindPermanent(HWND hwnd);
void AddPermanent(HWND hwnd, CWnd* object);
void RemovePermanent(HWND hwnd);
// A temporary object for a window without one; kept until the window is gone.
CWnd* TemporaryFor(HWND hwnd);

// The dialog whose window the next dialog made on this thread belongs to.
void SetPendingDialog(CDialog* dialog);
CDialog* TakePendingDialog();

// The message being handled on this thread (AfxCallWndProc sets it).
const MSG& CurrentMessage();

}  // namespace tovarin::afx
