// CDialog: modal and modeless dialogs from the program's templates, data exchange, and the
// framework's full-screen rule.
#include <afxwin.h>

#include "afx/handle_map.h"

namespace {

// A dialog inside another window (a page inside a frame) has no caption and no menu bar.
bool IsChildDialog(HWND dialog) {
    return (::GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD) != 0;
}

// The phone's full-screen dialog: sized to the work area with the input panel lowered; a
// top-level dialog also gets the shell's OK button in its caption and an empty menu bar.
void MakeFullScreen(HWND dialog) {
    SHINITDLGINFO info{};
    info.dwMask = SHIDIM_FLAGS;
    info.hDlg = dialog;
    info.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN;
    if (!IsChildDialog(dialog)) {
        info.dwFlags |= SHIDIF_DONEBUTTON | SHIDIF_EMPTYMENU;
    }
    ::SHInitDialog(&info);
    ::SHSipPreference(dialog, SIP_DOWN);
}

}  // namespace

// The dialog procedure of every framework dialog. Its first message (WM_INITDIALOG) attaches the
// object that is making the dialog and routes the window's messages through AfxWndProc; after
// that it only runs OnInitDialog, and everything else is the dialog manager's default.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) {
        return FALSE;
    }
    CDialog* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    if (!dialog) {
        dialog = tovarin::afx::TakePendingDialog();
        if (!dialog || !dialog->SubclassWindow(hWnd)) {
            return TRUE;
        }
    }
    return dialog->OnInitDialog();
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOKCommand)
ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate),
      m_lpszTemplateName(MAKEINTRESOURCEW(nIDTemplate)),
      m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd || !m_lpszTemplateName) {
        return -1;
    }
    tovarin::afx::SetPendingDialog(this);
    const INT_PTR result =
        ::DialogBoxParamW(AfxGetResourceHandle(), m_lpszTemplateName,
                          m_pParentWnd ? m_pParentWnd->m_hWnd : NULL, &AfxDlgProc, 0);
    tovarin::afx::TakePendingDialog();  // not taken when the dialog could not be made
    return result;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    if (m_hWnd) {
        return FALSE;
    }
    m_nIDHelp = nIDTemplate;
    m_lpszTemplateName = MAKEINTRESOURCEW(nIDTemplate);
    m_pParentWnd = pParentWnd;
    tovarin::afx::SetPendingDialog(this);
    HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), m_lpszTemplateName,
                                     pParentWnd ? pParentWnd->m_hWnd : NULL, &AfxDlgProc, 0);
    tovarin::afx::TakePendingDialog();
    return hwnd != NULL && m_hWnd == hwnd;
}

void CDialog::EndDialog(int nResult) {
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    MakeFullScreen(m_hWnd);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) {
        return;  // bound at the first exchange
    }
    rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}
