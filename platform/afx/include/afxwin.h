// The dialog framework: an application object, windows as C++ objects found through a map from
// window handles, message maps that route a window's messages to member functions, dialogs from
// templates with data exchange, the standard controls and a string class.
//
// Every dialog the framework runs is made one of the phone's full-screen dialogs in
// CDialog::OnInitDialog: sized to the work area, the input panel lowered and, for a top-level
// dialog, the shell's OK button in its caption and an empty menu bar. A child dialog is sized the
// same way but gets no caption button or menu bar of its own.
#pragma once

#include <windows.h>
#include <aygshell.h>

#include <string>

#define afx_msg

class CObject;
class CCmdTarget;
class CWnd;
class CDialog;
class CScrollBar;

// ---------------------------------------------------------------------------------------------
// Run-time class records

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    const CRuntimeClass* m_pBaseClass;

    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)               \
  public:                                         \
    static const CRuntimeClass class##class_name; \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                      \
    const CRuntimeClass class_name::class##class_name = {                                   \
        #class_name, static_cast<int>(sizeof(class_name)), RUNTIME_CLASS(base_class_name)}; \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                              \
        return RUNTIME_CLASS(class_name);                                                   \
    }

class CObject {
  public:
    static const CRuntimeClass classCObject;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
};

// ---------------------------------------------------------------------------------------------
// Strings

class CString {
  public:
    CString() = default;
    CString(LPCTSTR text) : text_(text ? text : L"") {}
    CString(const CString&) = default;
    CString& operator=(const CString&) = default;
    CString& operator=(LPCTSTR text);

    // Loads string `id` of the program's resources; FALSE (and empty) when there is none.
    BOOL LoadString(UINT id);
    int GetLength() const { return static_cast<int>(text_.size()); }
    BOOL IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    // Removes up to `count` characters from `index`; returns the new length.
    int Delete(int index, int count = 1);
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    int Compare(LPCTSTR text) const;
    void Format(LPCTSTR format, ...);
    CString& operator+=(LPCTSTR text);
    operator LPCTSTR() const { return text_.c_str(); }
    friend bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }

  private:
    std::wstring text_;
};

// ---------------------------------------------------------------------------------------------
// Geometry

class CPoint : public POINT {
  public:
    CPoint() : POINT{0, 0} {}
    CPoint(int px, int py) : POINT{px, py} {}
    explicit CPoint(LPARAM lParam)
        : POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))} {}
};

class CRect : public RECT {
  public:
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& rect) : RECT(rect) {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
};

// ---------------------------------------------------------------------------------------------
// Message maps

typedef void (CCmdTarget::*AFX_PMSG)(void);

// How a map entry's member function is called.
enum AfxSig : UINT_PTR {
    AfxSig_end = 0,
    AfxSigCmd_v,  // void (void), from WM_COMMAND
    AfxSig_vv,    // void (void)
    AfxSig_vwii,  // void (UINT, int, int): WM_SIZE
    AfxSig_vwwW,  // void (UINT, UINT, CScrollBar*): WM_VSCROLL
    AfxSig_vwp,   // void (UINT, CPoint): mouse messages
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;    // WM_COMMAND: the notification code
    UINT nID;      // WM_COMMAND: first control id
    UINT nLastID;  // WM_COMMAND: last control id
    UINT_PTR nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                     \
  protected:                                      \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)          \
    const AFX_MSGMAP* theClass::GetMessageMap() const { \
        return GetThisMessageMap();                     \
    }                                                   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {   \
        [[maybe_unused]] typedef theClass ThisClass;    \
        typedef baseClass TheBaseClass;                 \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, 0, AfxSig_end, nullptr }                                                           \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND,                  \
     0,                           \
     static_cast<UINT>(id),       \
     static_cast<UINT>(id),       \
     AfxSigCmd_v,                 \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_CONTROL(code, id, memberFxn) \
    {WM_COMMAND,                        \
     static_cast<UINT>(code),           \
     static_cast<UINT>(id),             \
     static_cast<UINT>(id),             \
     AfxSigCmd_v,                       \
     static_cast<AFX_PMSG>(&ThisClass::memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)

#define ON_WM_PAINT() \
    {WM_PAINT,  0,    \
     0,         0,    \
     AfxSig_vv, reinterpret_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(&ThisClass::OnPaint))},
#define ON_WM_CLOSE() \
    {WM_CLOSE,  0,    \
     0,         0,    \
     AfxSig_vv, reinterpret_cast<AFX_PMSG>(static_cast<void (CWnd::*)()>(&ThisClass::OnClose))},
#define ON_WM_SIZE() \
    {WM_SIZE,        \
     0,              \
     0,              \
     0,              \
     AfxSig_vwii,    \
     reinterpret_cast<AFX_PMSG>(static_cast<void (CWnd::*)(UINT, int, int)>(&ThisClass::OnSize))},
#define ON_WM_VSCROLL()          \
    {WM_VSCROLL,                 \
     0,                          \
     0,                          \
     0,                          \
     AfxSig_vwwW,                \
     reinterpret_cast<AFX_PMSG>( \
         static_cast<void (CWnd::*)(UINT, UINT, CScrollBar*)>(&ThisClass::OnVScroll))},
#define ON_WM_LBUTTONDOWN()      \
    {WM_LBUTTONDOWN,             \
     0,                          \
     0,                          \
     0,                          \
     AfxSig_vwp,                 \
     reinterpret_cast<AFX_PMSG>( \
         static_cast<void (CWnd::*)(UINT, CPoint)>(&ThisClass::OnLButtonDown))},

class CCmdTarget : public CObject {
  public:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

// ---------------------------------------------------------------------------------------------
// Windows

class CDataExchange {
  public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

class CWnd : public CCmdTarget {
    DECLARE_DYNAMIC(CWnd)

  public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = NULL;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return GetSafeHwnd(); }

    // The object of a window: the one attached to it, else a temporary one that the framework
    // keeps until the window is gone.
    static CWnd* FromHandle(HWND hWnd);
    // The attached object only; NULL for a window that has none.
    static CWnd* FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWndNew);
    HWND Detach();
    // Routes the window's messages through this object (its own procedure still gets what the
    // message map leaves to Default).
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);

    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual BOOL DestroyWindow();
    BOOL ShowWindow(int nCmdShow);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    void SetWindowText(LPCTSTR lpszString);
    void GetWindowText(CString& rString) const;
    CWnd* GetDlgItem(int nID) const;
    CWnd* GetParent() const;
    int GetDlgCtrlID() const;
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = NULL, LPCRECT lpClipRect = NULL);
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, HANDLE hrgnUpdate,
                       LPRECT lpRectUpdate, UINT flags);
    void Invalidate(BOOL bErase = TRUE);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // The framework's message routing: the message map first, then the default procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes the message being handled to the default procedure.
    LRESULT Default();

    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

  protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // After the window's last message (WM_DESTROY): the object is detached from it.
    virtual void PostNcDestroy();

    // Default handlers: each passes the message on to Default().
    afx_msg void OnPaint();
    afx_msg void OnClose();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

    WNDPROC m_pfnSuper = NULL;  // the window's own procedure while subclassed

    friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT AfxCallWndProc(CWnd*, HWND, UINT, WPARAM, LPARAM);
};

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the object's WindowProc with the message as the one being handled on this thread; after the
// window's last message the object is detached from it.
LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0);
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Binds control nIDC of the dialog to rControl (once: the first exchange subclasses it).
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

  public:
    using CWnd::Create;
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);

    // Runs the dialog modally; the EndDialog result, or -1 when it cannot be made.
    virtual INT_PTR DoModal();
    // Makes the dialog modeless, as a child of pParentWnd when its template says so.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
    void EndDialog(int nResult);
    virtual BOOL OnInitDialog();

  protected:
    virtual void OnOK();
    virtual void OnCancel();
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }

    UINT m_nIDHelp = 0;
    LPCTSTR m_lpszTemplateName = NULL;
    CWnd* m_pParentWnd = NULL;

    DECLARE_MESSAGE_MAP()

    friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);
};

class CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)

  public:
    using CWnd::Create;
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const;
    void SetCheck(int nCheck);
};

class CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)

  public:
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
};

class CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)

  public:
    using CWnd::Create;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int AddString(LPCTSTR lpszString);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int nSelect);
    // Selects the first item (after nStartAfter, wrapping round) that begins with the text,
    // without regard to case; CB_ERR when none does.
    int SelectString(int nStartAfter, LPCTSTR lpszString);
    void GetLBText(int nIndex, CString& rString) const;
    void ResetContent();
};

class CScrollBar : public CWnd {
    DECLARE_DYNAMIC(CScrollBar)
};

class CWinApp : public CCmdTarget {
  public:
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    void SetRegistryKey(LPCTSTR lpszRegistryKey);

    HINSTANCE m_hInstance = NULL;
    LPTSTR m_lpCmdLine = NULL;
    int m_nCmdShow = 0;
    CWnd* m_pMainWnd = NULL;
    LPCTSTR m_pszAppName = NULL;
    LPCTSTR m_pszRegistryKey = NULL;

  private:
    std::wstring registry_key_;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The program's start: runs the application object's InitInstance, then its message loop only
// when InitInstance returned TRUE.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
