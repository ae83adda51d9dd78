// CWnd: attaching objects to windows, subclassing, and the thin wrappers over the window calls.
#include <afxwin.h>

#include "afx/handle_map.h"

CWnd::~CWnd() {
    if (m_hWnd && tovarin::afx::FindPermanent(m_hWnd) == this) {
        DestroyWindow();
    }
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) {
        return NULL;
    }
    CWnd* object = FromHandlePermanent(hWnd);
    return object ? object : tovarin::afx::TemporaryFor(hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    return hWnd ? tovarin::afx::FindPermanent(hWnd) : NULL;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew)) {
        return FALSE;
    }
    m_hWnd = hWndNew;
    tovarin::afx::AddPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd) {
        tovarin::afx::RemovePermanent(hwnd);
    }
    m_hWnd = NULL;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!::IsWindow(hWnd) || !Attach(hWnd)) {
        return FALSE;
    }
    const LONG previous = ::SetWindowLongW(
        hWnd, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    m_pfnSuper = reinterpret_cast<WNDPROC>(static_cast<LONG_PTR>(previous));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID) {
    HWND hwnd = ::CreateWindowExW(
        0, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : NULL,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), AfxGetInstanceHandle(), NULL);
    if (!hwnd) {
        return FALSE;
    }
    if (!SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) {
        return FALSE;
    }
    HWND hwnd = m_hWnd;
    const BOOL destroyed = ::DestroyWindow(hwnd);
    if (m_hWnd == hwnd && !::IsWindow(hwnd)) {
        Detach();  // a window destroyed without passing through this object
    }
    return destroyed;
}

void CWnd::PostNcDestroy() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange exchange(this, bSaveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    return ::ShowWindow(m_hWnd, nCmdShow);
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, bRepaint);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    ::GetWindowRect(m_hWnd, lpRect);
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    return ::EnableWindow(m_hWnd, bEnable);
}

BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(::SendMessageW(
        m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    ::SetWindowTextW(m_hWnd, lpszString);
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    rString = text.c_str();
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) {
    return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw);
}

int CWnd::GetScrollPos(int nBar) const {
    return ::GetScrollPos(m_hWnd, nBar);
}

void CWnd::ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect, LPCRECT lpClipRect) {
    // Without a rectangle the whole client area moves, and the child windows with it.
    ::ScrollWindowEx(m_hWnd, xAmount, yAmount, lpRect, lpClipRect, NULL, NULL,
                     lpRect ? 0 : SW_SCROLLCHILDREN);
    ::InvalidateRect(m_hWnd, NULL, TRUE);
}

int CWnd::ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip,
                         HANDLE hrgnUpdate, LPRECT lpRectUpdate, UINT flags) {
    return ::ScrollWindowEx(m_hWnd, dx, dy, lpRectScroll, lpRectClip, hrgnUpdate, lpRectUpdate,
                            flags);
}

void CWnd::Invalidate(BOOL bErase) {
    ::InvalidateRect(m_hWnd, NULL, bErase);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnClose() {
    Default();
}

void CWnd::OnSize(UINT, int, int) {
    Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
