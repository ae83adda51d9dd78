// The main dialog: its layout in either orientation, the entry lists read from the file, and the
// rows built from them on the page.
#include "quellbrooks.h"

#include "common/names.h"
#include "greeting_manager_resources.h"

std::vector<std::wstring> greetingFiles;
CString listFilePath;
int rowCount = 0;
int lastRowIndex = -1;
int nextControlId = 130;
int rowChecked[MAX_ROWS];
int lastAnswerSel[MAX_ROWS];
int checkedCount = 0;
CButton* rowCheckBoxes[MAX_ROWS];
CEdit* rowNameFields[MAX_ROWS];
CComboBox* rowGreetingBoxes[MAX_ROWS];
CComboBox* rowAnswerTimeBoxes[MAX_ROWS];
BOOL landscapeLayout = FALSE;
CButton deleteButton;

namespace {

const DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | BS_NOTIFY | BS_AUTOCHECKBOX;
const DWORD kNameStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY;
const DWORD kGreetingStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DISABLENOSCROLL | CBS_DROPDOWNLIST;
const DWORD kAnswerTimeStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_AUTOHSCROLL | CBS_DROPDOWNLIST;
// The answer-time box's first item, 10сек; items 138..140 follow one another.
const int kAnswerTimeItems = 3;

// The number of rows the lists give, within the row tables.
int RowsOf(const GreetingList& list) {
    const size_t entries = list.checkContacts.size();
    return entries > MAX_ROWS ? MAX_ROWS : static_cast<int>(entries);
}

}  // namespace

BEGIN_MESSAGE_MAP(CQuellbrooksDlg, CDialog)
ON_BN_CLICKED(IDC_ADD, OnAdd)
ON_WM_LBUTTONDOWN()
ON_BN_CLICKED(IDC_DELETE, OnDelete)
ON_WM_CLOSE()
ON_WM_PAINT()
ON_WM_SIZE()
END_MESSAGE_MAP()

CQuellbrooksDlg::CQuellbrooksDlg(CWnd* pParent)
    : CDialog(IDD_QUELLBROOKS_PORTRAIT, pParent),
      icon(LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_QUELLBROOKS))),
      workingList(),
      screenWidth(0),
      screenHeight(0),
      columns(RowColumnsFor(FALSE)),
      rebuildPending(FALSE),
      resetScrollOnAdd(FALSE),
      greetingsRewritten(FALSE) {}

CQuellbrooksDlg::~CQuellbrooksDlg() {
    // Rows whose windows went with the dialog (closed without OK) leave their objects behind.
    for (int row = 0; row < MAX_ROWS; ++row) {
        DestroyRow(row);
    }
    CloseListFile(&workingList);
}

void CQuellbrooksDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DELETE, deleteButton);
    DDX_Control(pDX, IDC_ROW_FRAME, rowFrame);
}

BOOL CQuellbrooksDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);

    page.Create(IDD_GREETING_PAGE, &rowFrame);
    PlacePage();

    for (int row = 0; row < MAX_ROWS; ++row) {
        rowChecked[row] = 0;
        lastAnswerSel[row] = kAnswerTimeItems;
    }
    resetScrollOnAdd = FALSE;
    rebuildPending = TRUE;

    listFilePath.LoadString(IDS_LIST_FILE_PATH);
    SetGreetingListStrings(AfxGetResourceHandle());
    ReloadEntries();
    ScanGreetingFiles();
    rowCount = RowsOf(workingList);
    RebuildRows();
    // The rows built here get their scroll range at once: the dialog has taken its full-screen
    // size above, so no later size change is bound to rebuild them.
    page.OnPageSize(0, 0, 0);
    return TRUE;
}

void CQuellbrooksDlg::PlacePage() {
    if (!page.m_hWnd) {
        return;
    }
    CRect frame;
    rowFrame.GetClientRect(&frame);
    page.ShowWindow(SW_SHOW);
    page.MoveWindow(&frame);
}

// Reopens the list file and reads its entries. A file that cannot be opened at all leaves the
// lists empty: no rows, and nothing is written.
void CQuellbrooksDlg::ReloadEntries() {
    if (!OpenListFile(&workingList, listFilePath)) {
        CloseListFile(&workingList);
    }
    ParseEntries(&workingList);
    rowCount = RowsOf(workingList);
}

void CQuellbrooksDlg::ScanGreetingFiles() {
    greetingFiles.clear();
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(kFolderGreetingsSearchPattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if (found.dwFileAttributes != FILE_ATTRIBUTE_DIRECTORY) {
            greetingFiles.push_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void CQuellbrooksDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    CDialog::OnLButtonDown(nFlags, point);
}

void CQuellbrooksDlg::OnClose() {
    CDialog::OnClose();
}

void CQuellbrooksDlg::OnPaint() {
    rebuildPending = TRUE;
    CDialog::OnPaint();
}

void CQuellbrooksDlg::OnOK() {
    for (int row = 0; row < rowCount; ++row) {
        DestroyRow(row);
    }
    CDialog::OnOK();
}

void CQuellbrooksDlg::OnSize(UINT nType, int cx, int cy) {
    CDialog::OnSize(nType, cx, cy);
    screenWidth = GetSystemMetrics(SM_CXSCREEN);
    screenHeight = GetSystemMetrics(SM_CYSCREEN);
    landscapeLayout = IsLandscapeScreen(screenWidth, screenHeight);
    columns = RowColumnsFor(landscapeLayout);
    RelayoutDialog(AfxGetResourceHandle(), m_hWnd,
                   MAKEINTRESOURCEW(MainTemplateFor(screenWidth, screenHeight)));
    // The page follows the frame as the template has just placed it.
    PlacePage();
    if (rebuildPending) {
        ReloadEntries();
        RebuildRows();
        rebuildPending = FALSE;
    }
}

void CQuellbrooksDlg::DestroyRow(int row) {
    CWnd** tables[] = {
        reinterpret_cast<CWnd**>(rowCheckBoxes), reinterpret_cast<CWnd**>(rowNameFields),
        reinterpret_cast<CWnd**>(rowGreetingBoxes), reinterpret_cast<CWnd**>(rowAnswerTimeBoxes)};
    for (CWnd** table : tables) {
        if (table[row]) {
            table[row]->DestroyWindow();
            delete table[row];
            table[row] = NULL;
        }
    }
}

void CQuellbrooksDlg::RebuildRows() {
    for (int row = 0; row <= lastRowIndex; ++row) {
        DestroyRow(row);
    }
    nextControlId = 130;
    rowCount = RowsOf(workingList);
    lastRowIndex = -1;
    checkedCount = 0;
    if (rowCount == 0 && page.m_hWnd) {
        page.OnPageSize(0, 0, 0);
    }
    greetingsRewritten = FALSE;
    for (int row = 0; row < rowCount; ++row) {
        AddRow();
    }
    // The rows that got the default greeting are written with one save.
    if (greetingsRewritten) {
        SaveListFile(&workingList);
    }
    resetScrollOnAdd = TRUE;
}

void CQuellbrooksDlg::AddRow() {
    const int row = ++lastRowIndex;
    ++nextControlId;
    if (resetScrollOnAdd) {
        page.OnPageSize(0, 0, 0);
        page.ResetScroll();
    }
    const RowRects rects = RowRectsFor(columns, row);

    scratch.LoadString(IDC_ROW_CHECK);
    CButton* check = new CButton;
    check->Create(scratch, kCheckBoxStyle, rects.check, &page, IDC_ROW_CHECK);
    if (rowChecked[row] == 1) {
        deleteButton.EnableWindow(TRUE);
        check->SetCheck(BST_CHECKED);
    }

    ++nextControlId;
    CEdit* name = new CEdit;
    name->Create(kNameStyle, rects.name, &page, static_cast<UINT>(nextControlId));
    std::wstring text;
    if (GetEntryField(&workingList, row, kListElementContactName, &text)) {
        name->SetWindowText(text.c_str());
    }

    ++nextControlId;
    CComboBox* greeting = new CComboBox;
    greeting->Create(kGreetingStyle, rects.greeting, &page, IDC_ROW_GREETING);
    FillGreetingBox(greeting, row);

    ++nextControlId;
    CComboBox* answerTime = new CComboBox;
    answerTime->Create(kAnswerTimeStyle, rects.answerTime, &page, IDC_ROW_ANSWER_TIME);
    FillAnswerTimeBox(answerTime, row);

    rowCheckBoxes[row] = check;
    rowNameFields[row] = name;
    rowGreetingBoxes[row] = greeting;
    rowAnswerTimeBoxes[row] = answerTime;
}

void CQuellbrooksDlg::FillGreetingBox(CComboBox* box, int row) {
    CString defaultGreeting;
    defaultGreeting.LoadString(IDS_DEFAULT_GREETING);
    box->AddString(defaultGreeting);
    for (const std::wstring& file : greetingFiles) {
        box->AddString(file.c_str());
    }
    std::wstring playFile;
    if (!GetEntryField(&workingList, row, kListElementPlayFile, &playFile)) {
        // An entry without a greeting field shows the default one; there is nothing to rewrite.
        box->SelectString(-1, defaultGreeting);
        return;
    }
    if (playFile == kSoundGreeting || box->SelectString(0, playFile.c_str()) == CB_ERR) {
        // The default greeting, or a file that is no longer in the greetings folder.
        greetingsRewritten |= SetGreetingPlayFile(&workingList, row, kSoundGreeting);
        box->SelectString(-1, defaultGreeting);
    }
}

void CQuellbrooksDlg::FillAnswerTimeBox(CComboBox* box, int row) {
    for (int item = 0; item < kAnswerTimeItems; ++item) {
        scratch.LoadString(IDS_ANSWER_10 + item);
        box->AddString(scratch);
    }
    std::wstring answerTime;
    if (!GetEntryField(&workingList, row, kListElementAnswerTime, &answerTime)) {
        lastAnswerSel[row] = CB_ERR;  // no answer time stored: none selected
        return;
    }
    scratch.LoadString(IDS_SECONDS_SUFFIX);
    const std::wstring wanted = answerTime + static_cast<LPCTSTR>(scratch);
    box->SelectString(0, wanted.c_str());
    // The row remembers what it shows now, whichever entry it showed before the rebuild, so that
    // a pick of any other delay is written.
    lastAnswerSel[row] = box->GetCurSel();
}
