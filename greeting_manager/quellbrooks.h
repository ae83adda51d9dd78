// Quellbrooks.exe, the greeting manager: one full-screen dialog with a row per entry of the
// per-caller greeting list (contact, greeting, answer delay), on a scrolling page inside the
// dialog's framed list area. Every change is written to the list file at once.
#pragma once

#include <afxwin.h>
#include <afxcmn.h>

#include <string>
#include <vector>

#include "greeting_list.h"
#include "row_geometry.h"

// The page that carries the rows. The row controls are its children, so their notifications
// arrive here: the check marks decide whether "Удалить" is enabled, and every change of a
// greeting or a delay is written straight into the list file.
class CPage : public CDialog {
    DECLARE_DYNAMIC(CPage)

  public:
    CPage();
    ~CPage() override;
    BOOL OnInitDialog() override;

    // Recomputes the scroll bar for the rows there are now.
    void OnPageSize(UINT nType, int cx, int cy);
    // Back to the top: position, last step and the scroll bar.
    void ResetScroll();

    int viewportHeight;
    int scrollPos;
    int lastStep;
    int lastStepNegated;

  protected:
    void OnPageScroll(UINT nSBCode, UINT nPos);
    afx_msg void OnCheckClicked();
    afx_msg void OnAnswerTimeChanged();
    afx_msg void OnGreetingChanged();
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnClose();

    CString listPath;
    GreetingList pageList;  // reopened from the file for every change
    CString scratch;

    DECLARE_MESSAGE_MAP()
};

class CQuellbrooksDlg : public CDialog {
  public:
    explicit CQuellbrooksDlg(CWnd* pParent = NULL);
    ~CQuellbrooksDlg() override;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    afx_msg void OnAdd();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnDelete();
    afx_msg void OnClose();
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);

    void ReloadEntries();
    void RebuildRows();
    void AddRow();
    void ScanGreetingFiles();
    void FillGreetingBox(CComboBox* box, int row);
    void FillAnswerTimeBox(CComboBox* box, int row);
    void DestroyRow(int row);
    void PlacePage();

    HICON icon;
    CPage page;
    CString scratch;
    GreetingList workingList;
    int screenWidth;
    int screenHeight;
    RowColumns columns;
    BOOL rebuildPending;
    BOOL resetScrollOnAdd;
    // Set while the rows are built when a row's greeting was rewritten to the default one.
    BOOL greetingsRewritten;
    CListCtrl rowFrame;

    DECLARE_MESSAGE_MAP()
};

class CQuellbrooksApp : public CWinApp {
  public:
    CQuellbrooksApp();
    BOOL InitInstance() override;

  protected:
    DECLARE_MESSAGE_MAP()
};

// Program-wide row state, shared by the dialog and its page.
extern std::vector<std::wstring> greetingFiles;
extern CString listFilePath;
extern int rowCount;
extern int lastRowIndex;
extern int nextControlId;
extern int rowChecked[MAX_ROWS];
extern int lastAnswerSel[MAX_ROWS];
extern int checkedCount;
extern CButton* rowCheckBoxes[MAX_ROWS];
extern CEdit* rowNameFields[MAX_ROWS];
extern CComboBox* rowGreetingBoxes[MAX_ROWS];
extern CComboBox* rowAnswerTimeBoxes[MAX_ROWS];
extern BOOL landscapeLayout;
extern CButton deleteButton;
// The height of a full-screen dialog when the page was made; the scroll steps follow it.
extern int pageHeight;

// Picks a contact and one of its numbers with the phone's contact chooser. 0 with the name (cut
// to its buffer) and the number copied; -1 when the chooser was cancelled or failed; -2 when the
// number does not fit its buffer (a cut number would be someone else's).
int ChooseContactNumber(LPWSTR number, int numberChars, LPWSTR name, int nameChars);
