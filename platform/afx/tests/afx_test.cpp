// The dialog framework as a program meets it: each scenario records what the handlers of a
// window's message map receive and compares it with the expected sequence.
#include <afxwin.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/screen.h"
#include "host/device.h"
#include "kernel/modules/modules.h"
#include "testing/temp_image.h"

namespace {

std::vector<std::string> g_seen;

class TestDialog : public CDialog {
  public:
    TestDialog() : CDialog(100) {}
    CButton check;
    int exchanges = 0;

  protected:
    void DoDataExchange(CDataExchange* pDX) override {
        ++exchanges;
        DDX_Control(pDX, 1003, check);
    }
    void OnOK() override { g_seen.push_back("OnOK"); }
    afx_msg void OnPress() { g_seen.push_back("press"); }
    afx_msg void OnPick() { g_seen.push_back("pick"); }
    afx_msg void OnSize(UINT type, int cx, int cy) {
        g_seen.push_back("size " + std::to_string(type) + " " + std::to_string(cx) + "x" +
                         std::to_string(cy));
    }
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar) {
        g_seen.push_back("vscroll " + std::to_string(code) + " " + std::to_string(pos) +
                         (bar ? " bar" : ""));
    }
    afx_msg void OnLButtonDown(UINT flags, CPoint point) {
        g_seen.push_back("lbutton " + std::to_string(flags) + " " + std::to_string(point.x) + "," +
                         std::to_string(point.y));
        CDialog::OnLButtonDown(flags, point);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDialog, CDialog)
ON_BN_CLICKED(1001, OnPress)
ON_CBN_SELCHANGE(1002, OnPick)
ON_WM_SIZE()
ON_WM_VSCROLL()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

// A derived dialog: its own entry for the button wins, the base class's map serves the rest.
class DerivedDialog : public TestDialog {
    DECLARE_DYNAMIC(DerivedDialog)

  protected:
    afx_msg void OnPressHere() { g_seen.push_back("derived press"); }
    afx_msg void OnClose() {
        g_seen.push_back("close");
        CDialog::OnClose();
    }
    DECLARE_MESSAGE_MAP()
};

IMPLEMENT_DYNAMIC(DerivedDialog, CDialog)

BEGIN_MESSAGE_MAP(DerivedDialog, TestDialog)
ON_BN_CLICKED(1001, OnPressHere)
ON_WM_CLOSE()
END_MESSAGE_MAP()

// Runs its scenario in InitInstance, as a program does.
class TestApp : public CWinApp {
  public:
    std::function<void()> scenario;
    BOOL InitInstance() override {
        scenario();
        return FALSE;
    }
    int ExitInstance() override { return 7; }
};

class AfxTest : public ::testing::Test {
  protected:
    AfxTest() : device_(Options(image_.root())) {
        std::filesystem::copy_file(AFX_TEST_MODULE, image_.AddFolder("Windows") / "AfxTest.dll");
        self_.emplace("test");
        tovarin::kernel::modules::RegisterPlatformBuiltins();
        module_ = LoadLibraryW(L"AfxTest.dll");
        EXPECT_NE(nullptr, module_);
        g_seen.clear();
    }
    ~AfxTest() override {
        self_.reset();
        tovarin::kernel::modules::UnloadAll();
    }
    static tovarin::kernel::DeviceOptions Options(const std::filesystem::path& root) {
        tovarin::kernel::DeviceOptions options;
        options.clock = tovarin::kernel::ClockMode::Simulated;
        options.image_root = root;
        return options;
    }
    // Runs the scenario inside the framework's WinMain; its result is ExitInstance's.
    int Run(std::function<void()> scenario) {
        app_.scenario = std::move(scenario);
        return AfxWinMain(module_, NULL, const_cast<LPWSTR>(L""), SW_SHOW);
    }

    tovarin::kernel::testing::TempImage image_;
    tovarin::kernel::Device device_;
    std::optional<tovarin::kernel::AttachedThread> self_;
    HMODULE module_ = nullptr;
    TestApp app_;
};

TEST_F(AfxTest, MessagesReachTheHandlersOfTheMapAndItsBaseMaps) {
    EXPECT_EQ(7, Run([] {
                  DerivedDialog dialog;
                  ASSERT_TRUE(dialog.Create(100));
                  HWND hwnd = dialog.m_hWnd;
                  EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(hwnd));
                  EXPECT_TRUE(dialog.IsKindOf(RUNTIME_CLASS(CDialog)));
                  EXPECT_FALSE(dialog.IsKindOf(RUNTIME_CLASS(CButton)));
                  EXPECT_STREQ("DerivedDialog", dialog.GetRuntimeClass()->m_lpszClassName);
                  g_seen.clear();

                  HWND button = GetDlgItem(hwnd, 1001);
                  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED),
                               reinterpret_cast<LPARAM>(button));
                  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1001, BN_SETFOCUS),
                               reinterpret_cast<LPARAM>(button));
                  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(1002, CBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(GetDlgItem(hwnd, 1002)));
                  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100));
                  SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
                  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
                  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                  // WM_CLOSE goes on to the dialog manager, which clicks Cancel: the dialog ends.
                  SendMessageW(hwnd, WM_CLOSE, 0, 0);
                  MSG message;
                  while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) {
                      DispatchMessageW(&message);
                  }
                  EXPECT_FALSE(IsWindowVisible(hwnd));
                  const std::vector<std::string> expected = {
                      "derived press", "pick", "size 0 200x100", "vscroll 5 40",
                      "lbutton 1 3,4", "OnOK", "close"};
                  EXPECT_EQ(expected, g_seen);
                  dialog.DestroyWindow();
                  EXPECT_EQ(nullptr, dialog.m_hWnd);
                  EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
              }));
}

TEST_F(AfxTest, DataExchangeBindsAControlOnceAndLetsItGoWithItsWindow) {
    Run([] {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Create(100));
        HWND box = GetDlgItem(dialog.m_hWnd, 1003);
        EXPECT_EQ(1, dialog.exchanges);
        EXPECT_EQ(box, dialog.check.m_hWnd);
        EXPECT_EQ(&dialog.check, CWnd::FromHandlePermanent(box));
        // The bound control still works as itself, through the framework's procedure.
        dialog.check.SetCheck(BST_CHECKED);
        EXPECT_EQ(BST_CHECKED, static_cast<int>(IsDlgButtonChecked(dialog.m_hWnd, 1003)));
        EXPECT_EQ(BST_CHECKED, dialog.check.GetCheck());
        dialog.UpdateData(TRUE);
        EXPECT_EQ(2, dialog.exchanges);
        EXPECT_EQ(box, dialog.check.m_hWnd);
        // A control of the dialog without an object gets a temporary one.
        CWnd* button = dialog.GetDlgItem(1001);
        ASSERT_NE(nullptr, button);
        EXPECT_EQ(GetDlgItem(dialog.m_hWnd, 1001), button->m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(button->m_hWnd));
        dialog.DestroyWindow();
        EXPECT_EQ(nullptr, dialog.check.m_hWnd);
        EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(box));
    });
}

TEST_F(AfxTest, EveryDialogStartsFullScreenAndAModalOneEndsWithItsResult) {
    Run([] {
        struct Modal : CDialog {
            Modal() : CDialog(100) {}
            BOOL OnInitDialog() override {
                CDialog::OnInitDialog();
                CRect rect;
                GetWindowRect(&rect);
                rectangle = rect;
                exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
                child.Create(101, this);
                child.GetWindowRect(&rect);
                childHeight = rect.Height();
                childExStyle = GetWindowLongW(child.m_hWnd, GWL_EXSTYLE);
                PostMessageW(m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return TRUE;
            }
            CDialog child;
            CRect rectangle;
            LONG exStyle = 0;
            LONG childExStyle = 0;
            int childHeight = 0;
        } modal;
        EXPECT_EQ(IDCANCEL, modal.DoModal());
        // The work area between the taskbar and the menu bar of the upright screen.
        EXPECT_EQ(0, modal.rectangle.left);
        EXPECT_EQ(52, modal.rectangle.top);
        EXPECT_EQ(480, modal.rectangle.Width());
        EXPECT_EQ(536, modal.rectangle.Height());
        EXPECT_TRUE(modal.exStyle & WS_EX_CAPTIONOKBTN);
        EXPECT_EQ(536, modal.childHeight);
        EXPECT_FALSE(modal.childExStyle & WS_EX_CAPTIONOKBTN);
        EXPECT_EQ(nullptr, modal.m_hWnd);
        EXPECT_EQ(nullptr, modal.child.m_hWnd);

        CString text;
        EXPECT_TRUE(text.LoadString(7));
        EXPECT_EQ(0, text.Compare(L"Строка семь"));
        text.Delete(6, 20);  // past the end: up to the end
        EXPECT_EQ(0, text.Compare(L"Строка"));
        text = L"15сек";
        EXPECT_EQ(2, text.Delete(2, 3));
        EXPECT_TRUE(text == L"15");
        EXPECT_FALSE(text.LoadString(8));
        EXPECT_TRUE(text.IsEmpty());
    });
}

}  // namespace
