// The property sheet's life as its pages and its callbacks see it: made on
// first show, notified in order, destroyed and released at the end. The sheet
// runs modally on a device thread; the test acts on it as the user does (taps
// on the tabs, Help, OK) and compares what was heard, the pages' messages and
// the callbacks in one table.
#include <gtest/gtest.h>

#include <commctrl.h>
#include <windows.h>

#include "gwes/commctrl/sheets/property_sheet.h"
#include "testing/device_fixture.h"
#include "testing/message_sequence.h"

namespace tovarin::gwes::sheets::testing {
namespace {

using tovarin::testing::ExpectedMessage;
using tovarin::testing::kCallback;
using tovarin::testing::kCheckLparam;
using tovarin::testing::kSent;

// The pages' messages, each to its page's window, and the callbacks: the sheet's with no
// window, a page's with the page's lParam (its index) as lParam.
tovarin::testing::MessageLog g_heard;
LPARAM g_refuse_kill_on = -1;  // the page that keeps the focus when asked to leave

INT_PTR CALLBACK PageProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG: {
            const auto* psp = reinterpret_cast<const PROPSHEETPAGEW*>(lparam);
            SetWindowLongW(hwnd, GWL_USERDATA, static_cast<LONG>(psp->lParam));
            g_heard.Add({message, kSent, wparam, psp->lParam, hwnd});
            return TRUE;
        }
        case WM_NOTIFY: {
            const auto* notify = reinterpret_cast<const PSHNOTIFY*>(lparam);
            EXPECT_EQ(GetParent(hwnd), notify->hdr.hwndFrom);
            if (notify->hdr.code == PSN_APPLY) {
                EXPECT_TRUE(notify->lParam) << "every apply here comes from OK";
            }
            const LPARAM index = GetWindowLongW(hwnd, GWL_USERDATA);
            const bool refuse = notify->hdr.code == PSN_KILLACTIVE && index == g_refuse_kill_on;
            g_heard.Add({message, kSent, wparam, static_cast<int>(notify->hdr.code), hwnd});
            SetWindowLongW(hwnd, DWL_MSGRESULT, refuse ? TRUE : FALSE);
            return TRUE;
        }
        case WM_DESTROY:
            g_heard.Add({message, kSent, wparam, lparam, hwnd});
            return TRUE;
        default:
            return FALSE;
    }
}

UINT CALLBACK PageCallback(HWND, UINT message, PROPSHEETPAGEW* psp) {
    g_heard.Add({message, kCallback, 0, psp->lParam});
    return 1;
}

int CALLBACK SheetCallback(HWND, UINT message, LPARAM lparam) {
    g_heard.Add({message, kCallback});
    switch (message) {
        case PSCB_GETVERSION:
            return COMCTL32_VERSION;
        case PSCB_GETTITLE:
            wcscpy(reinterpret_cast<LPWSTR>(lparam), L"Автоответчик");
            break;
        case PSCB_GETLINKTEXT:
            wcscpy(reinterpret_cast<LPWSTR>(lparam), L"Справка");
            break;
    }
    return 0;
}

// The rows of the table.
ExpectedMessage Sheet(UINT callback) {
    return {callback, kCallback};
}
ExpectedMessage Page(int index, UINT callback) {
    return {callback, kCallback | kCheckLparam, 0, index};
}
ExpectedMessage To(HWND page, UINT message) {
    return {message, kSent, 0, 0, page};
}
ExpectedMessage Notified(HWND page, UINT code) {
    return {WM_NOTIFY, kSent | kCheckLparam, 0, static_cast<int>(code), page};
}

// A page's template: a child dialog without controls.
struct PageTemplate {
    DLGTEMPLATE header{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 100, 100};
    WORD menu = 0;
    WORD window_class = 0;
    WORD title = 0;
    WORD pad = 0;
};

struct SheetRun {
    INT_PTR result = -2;
    PageTemplate page_template;
};

DWORD WINAPI RunSheet(LPVOID context) {
    auto* run = static_cast<SheetRun*>(context);
    const wchar_t* titles[] = {L"Общие", L"Звук", L"Запись"};
    PROPSHEETPAGEW pages[3]{};
    for (int i = 0; i < 3; ++i) {
        pages[i].dwSize = sizeof(PROPSHEETPAGEW);
        pages[i].dwFlags = PSP_DLGINDIRECT | PSP_USETITLE | PSP_USECALLBACK;
        pages[i].pResource = &run->page_template.header;
        pages[i].pszTitle = titles[i];
        pages[i].pfnDlgProc = &PageProc;
        pages[i].lParam = i;
        pages[i].pfnCallback = &PageCallback;
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK | PSH_MAXIMIZE;
    header.pszCaption = L"Настройка";
    header.nPages = 3;
    header.nStartPage = 1;
    header.ppsp = pages;
    header.pfnCallback = &SheetCallback;
    run->result = PropertySheetW(&header);
    return 0;
}

class SheetLifeTest : public kernel::testing::SimulatedDeviceTest {
  protected:
    void TapTab(const SheetView& view, int index) {
        RECT tab{};
        SendMessageW(view.tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&tab));
        const LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        PostMessageW(view.tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(view.tabs, WM_LBUTTONUP, 0, point);
        kernel::WaitForDeviceIdle();
    }
};

TEST_F(SheetLifeTest, PagesAreMadeOnFirstShowNotifiedInOrderAndReleasedAtTheEnd) {
    g_heard.Clear();
    SheetRun run;
    HANDLE thread = CreateThread(nullptr, 0, &RunSheet, &run, 0, nullptr);
    kernel::WaitForDeviceIdle();

    HWND sheet = GetForegroundWindow();
    SheetView view;
    ASSERT_TRUE(ViewSheet(sheet, &view));
    WCHAR text[64]{};
    GetWindowTextW(sheet, text, 64);
    EXPECT_STREQ(L"Настройка", text);
    GetWindowTextW(GetDlgItem(sheet, kSheetTitleId), text, 64);
    EXPECT_STREQ(L"Автоответчик", text);
    GetWindowTextW(GetDlgItem(sheet, kSheetLinkId), text, 64);
    EXPECT_STREQ(L"Справка", text);
    EXPECT_EQ(3, view.count);
    EXPECT_EQ(1, view.current);
    TCITEMW tab{TCIF_TEXT, 0, 0, text, 64, 0, 0};
    SendMessageW(view.tabs, TCM_GETITEMW, 2, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(L"Запись", text);
    // The sheet fills the screen between the bars; the tabs are along its bottom.
    RECT work{}, frame{}, tabs{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(sheet, &frame);
    GetWindowRect(view.tabs, &tabs);
    EXPECT_EQ(work.top, frame.top);
    EXPECT_EQ(work.bottom, frame.bottom);
    EXPECT_EQ(frame.bottom, tabs.bottom);
    EXPECT_EQ(kSheetTabHeight, tabs.bottom - tabs.top);
    const HWND first_shown = view.page;

    TapTab(view, 0);
    ASSERT_TRUE(ViewSheet(sheet, &view));
    const HWND page0 = view.page;
    TapTab(view, 1);
    ASSERT_TRUE(ViewSheet(sheet, &view));
    EXPECT_EQ(first_shown, view.page) << "a page is hidden, not destroyed, and shown again";
    g_refuse_kill_on = 1;
    TapTab(view, 2);  // the page keeps the focus: nothing else happens
    ASSERT_TRUE(ViewSheet(sheet, &view));
    EXPECT_EQ(1, view.current);
    EXPECT_EQ(1, SendMessageW(view.tabs, TCM_GETCURSEL, 0, 0));
    g_refuse_kill_on = -1;
    PostMessageW(sheet, WM_HELP, 0, 0);
    PostMessageW(sheet, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    CloseHandle(thread);
    EXPECT_EQ(1, run.result);
    EXPECT_FALSE(IsWindow(sheet));

    const HWND page1 = first_shown;
    const ExpectedMessage life[] = {
        Sheet(PSCB_GETVERSION), Sheet(PSCB_PRECREATE), Sheet(PSCB_INITIALIZED),
        Sheet(PSCB_GETTITLE), Sheet(PSCB_GETLINKTEXT), Page(1, PSPCB_CREATE),
        To(page1, WM_INITDIALOG), Notified(page1, PSN_SETACTIVE),
        // tab 0
        Notified(page1, PSN_KILLACTIVE), Page(0, PSPCB_CREATE), To(page0, WM_INITDIALOG),
        Notified(page0, PSN_SETACTIVE),
        // tab 1 again: made already
        Notified(page0, PSN_KILLACTIVE), Notified(page1, PSN_SETACTIVE),
        // tab 2, refused by the shown page
        Notified(page1, PSN_KILLACTIVE),
        // Help, then OK
        Notified(page1, PSN_HELP), Notified(page1, PSN_KILLACTIVE), Notified(page0, PSN_APPLY),
        Notified(page1, PSN_APPLY),
        // the end: pages in order, each destroyed then released; page 2 never made
        To(page0, WM_DESTROY), Page(0, PSPCB_RELEASE), To(page1, WM_DESTROY),
        Page(1, PSPCB_RELEASE), Page(2, PSPCB_RELEASE)};
    EXPECT_SEQUENCE(g_heard.Take(), life);
}

TEST_F(SheetLifeTest, PageHandlesAndBadHeaders) {
    PageTemplate page_template;
    PROPSHEETPAGEW page{};
    page.dwSize = sizeof(page);
    page.dwFlags = PSP_DLGINDIRECT;
    page.pResource = &page_template.header;
    page.pfnDlgProc = &PageProc;
    HPROPSHEETPAGE handle = CreatePropertySheetPageW(&page);
    ASSERT_NE(nullptr, handle);
    page.dwSize = 8;
    EXPECT_EQ(nullptr, CreatePropertySheetPageW(&page));

    HPROPSHEETPAGE handles[2] = {handle, reinterpret_cast<HPROPSHEETPAGE>(0x1234)};
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.nPages = 2;
    header.phpage = handles;
    EXPECT_EQ(-1, PropertySheetW(&header)) << "a handle that is no page";
    header.nPages = 0;
    EXPECT_EQ(-1, PropertySheetW(&header));
    header.nPages = 1;
    header.dwSize = 4;
    EXPECT_EQ(-1, PropertySheetW(&header));
    // A failed sheet leaves the caller's handles to the caller.
    EXPECT_TRUE(DestroyPropertySheetPage(handle));
    EXPECT_FALSE(DestroyPropertySheetPage(handle));
}

}  // namespace
}  // namespace tovarin::gwes::sheets::testing
