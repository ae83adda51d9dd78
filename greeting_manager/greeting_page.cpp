// The rows page: scrolling, the check marks, and the greeting and delay changes written to the
// list file through a document of its own that it reopens for every change.
#include "quellbrooks.h"

#include "common/names.h"
#include "greeting_manager_resources.h"

int pageHeight = 0;

IMPLEMENT_DYNAMIC(CPage, CDialog)

BEGIN_MESSAGE_MAP(CPage, CDialog)
ON_BN_CLICKED(IDC_ROW_CHECK, OnCheckClicked)
ON_CBN_SELCHANGE(IDC_ROW_ANSWER_TIME, OnAnswerTimeChanged)
ON_CBN_SELCHANGE(IDC_ROW_GREETING, OnGreetingChanged)
ON_WM_VSCROLL()
ON_WM_SIZE()
ON_WM_CLOSE()
END_MESSAGE_MAP()

CPage::CPage()
    : viewportHeight(VIEWPORT_PORTRAIT),
      scrollPos(0),
      lastStep(0),
      lastStepNegated(0),
      pageList() {}

CPage::~CPage() {
    CloseListFile(&pageList);
}

BOOL CPage::OnInitDialog() {
    CDialog::OnInitDialog();
    CRect window;
    GetWindowRect(&window);
    pageHeight = window.bottom - window.top;
    scrollPos = 0;
    return TRUE;
}

void CPage::OnSize(UINT nType, int cx, int cy) {
    OnPageSize(nType, cx, cy);
}

void CPage::OnPageSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    viewportHeight = landscapeLayout ? VIEWPORT_LANDSCAPE : VIEWPORT_PORTRAIT;
    SCROLLINFO info = {};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = PageScrollMax(lastRowIndex + 1);
    info.nPage = static_cast<UINT>(viewportHeight);
    SetScrollInfo(SB_VERT, &info, TRUE);
}

void CPage::ResetScroll() {
    scrollPos = 0;
    lastStep = 0;
    lastStepNegated = 0;
    SetScrollPos(SB_VERT, 0, TRUE);
}

void CPage::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*) {
    OnPageScroll(nSBCode, nPos);
}

void CPage::OnPageScroll(UINT nSBCode, UINT nPos) {
    int step = 0;
    if (!PageScrollStep(static_cast<int>(nSBCode), static_cast<int>(nPos), scrollPos, pageHeight,
                        viewportHeight, ROW_HEIGHT * (lastRowIndex + 1), &step)) {
        return;
    }
    lastStep = step;
    lastStepNegated = -step;
    scrollPos += step;
    SetScrollPos(SB_VERT, scrollPos, TRUE);
    ScrollWindowEx(0, -step, NULL, NULL, NULL, NULL, SW_SCROLLCHILDREN | SW_INVALIDATE);
    Default();
}

void CPage::OnClose() {
    CDialog::OnClose();
}

void CPage::OnCheckClicked() {
    checkedCount = 0;
    for (int row = 0; row <= lastRowIndex; ++row) {
        if (rowCheckBoxes[row] && rowCheckBoxes[row]->GetCheck() == BST_CHECKED) {
            rowChecked[row] = 1;
            deleteButton.EnableWindow(TRUE);
            ++checkedCount;
        } else {
            rowChecked[row] = 0;
        }
    }
    deleteButton.EnableWindow(checkedCount > 0);
}

void CPage::OnAnswerTimeChanged() {
    listPath.LoadString(IDS_LIST_FILE_PATH);
    OpenListFile(&pageList, listPath);
    BOOL changed = FALSE;
    for (int row = 0; row <= lastRowIndex; ++row) {
        if (!rowAnswerTimeBoxes[row]) {
            continue;
        }
        const int selection = rowAnswerTimeBoxes[row]->GetCurSel();
        // A row without a selection keeps its stored value; a row that shows what it showed
        // when the rows were built has not been changed.
        if (selection < 0 || selection == lastAnswerSel[row]) {
            continue;
        }
        lastAnswerSel[row] = selection;
        rowAnswerTimeBoxes[row]->GetLBText(selection, scratch);
        scratch.Delete(2, 3);  // "15сек" -> "15"
        // Written only when the entry is still in the file.
        changed |= SetGreetingAnswerTime(&pageList, row, scratch);
    }
    if (changed) {
        SaveListFile(&pageList);
    }
}

void CPage::OnGreetingChanged() {
    listPath.LoadString(IDS_LIST_FILE_PATH);
    OpenListFile(&pageList, listPath);
    CString defaultGreeting;
    defaultGreeting.LoadString(IDS_DEFAULT_GREETING);
    BOOL changed = FALSE;
    for (int row = 0; row <= lastRowIndex; ++row) {
        if (!rowGreetingBoxes[row]) {
            continue;
        }
        const int selection = rowGreetingBoxes[row]->GetCurSel();
        if (selection < 0) {
            continue;
        }
        rowGreetingBoxes[row]->GetLBText(selection, scratch);
        changed |= SetGreetingPlayFile(&pageList, row,
                                       scratch == defaultGreeting ? kSoundGreeting : scratch);
    }
    // One save for the whole change, not one per row.
    if (changed) {
        SaveListFile(&pageList);
    }
}
