// CPlApplet's answers that the host's listing does not show: applet numbers out of range leave
// the output alone and open nothing, and each applet reports its own names and icon.
#include <cpl.h>

#include <string>

#include "applet/applet.h"
#include "applet/simple_property_sheet.h"
#include "control_panel_fixture.h"
#include "host/device.h"
#include "host/trace.h"
#include "marrowfen_resources.h"
#include "pages/pages.h"

extern "C" LONG WINAPI CPlApplet(HWND hwndCPl, UINT msg, LPARAM lParam1, LPARAM lParam2);

namespace marrowfen_testing {
namespace {

class AppletTest : public ControlPanelTest {
  protected:
    void SetUp() override {
        ControlPanelTest::SetUp();
        LoadTitles();
    }
};

TEST_F(AppletTest, EachAppletReportsItsOwnNamesAndIcon) {
    EXPECT_EQ(2, CPlApplet(NULL, CPL_GETCOUNT, 0, 0));

    NEWCPLINFO info = {};
    EXPECT_EQ(0, CPlApplet(NULL, CPL_NEWINQUIRE, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(sizeof(NEWCPLINFO), info.dwSize);
    EXPECT_EQ(0, info.lData);
    EXPECT_NE(nullptr, info.hIcon);
    EXPECT_STREQ(L"Tovarin", info.szName);
    EXPECT_STREQ(L"Tovarin", info.szInfo);

    info = {};
    EXPECT_EQ(0, CPlApplet(NULL, CPL_NEWINQUIRE, 1, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(1, info.lData);
    EXPECT_EQ(nullptr, info.hIcon);
    EXPECT_STREQ(L"Greeting Setting", info.szName);
    EXPECT_STREQ(L"Greeting Setting", info.szInfo);
    EXPECT_STREQ(L"", info.szHelpFile);

    WCHAR idName[CPL_IDNAME_LENGTH] = {};
    EXPECT_EQ(0, CPlApplet(NULL, CPL_IDNAME, 0, reinterpret_cast<LPARAM>(idName)));
    EXPECT_STREQ(L"Marrowfen", idName);
    EXPECT_EQ(0, CPlApplet(NULL, CPL_IDNAME, 1, reinterpret_cast<LPARAM>(idName)));
    EXPECT_STREQ(L"Greeting Setting", idName);
}

TEST_F(AppletTest, AnAppletNumberOutOfRangeLeavesTheOutputAloneAndOpensNothing) {
    NEWCPLINFO info = {};
    info.szName[0] = L'x';
    EXPECT_EQ(0, CPlApplet(NULL, CPL_NEWINQUIRE, 2, reinterpret_cast<LPARAM>(&info)));
    EXPECT_EQ(0u, info.dwSize);
    EXPECT_EQ(L'x', info.szName[0]);

    WCHAR idName[CPL_IDNAME_LENGTH] = L"unchanged";
    EXPECT_EQ(0, CPlApplet(NULL, CPL_IDNAME, 2, reinterpret_cast<LPARAM>(idName)));
    EXPECT_STREQ(L"unchanged", idName);

    // Low word 2 (with a start page in the high word): no such applet.
    EXPECT_EQ(0, CPlApplet(NULL, CPL_DBLCLK, MAKELONG(2, 1), 0));
    EXPECT_EQ(nullptr, FindWindowW(L"CPL_Tovarin", NULL));

    // Messages the library does not act on answer 0.
    EXPECT_EQ(0, CPlApplet(NULL, CPL_STOP, 0, 0));
    EXPECT_EQ(0, CPlApplet(NULL, CPL_EXIT, 0, 0));
}

// The trace lines since the device started that hold `text`.
size_t TraceCount(const std::wstring& text) {
    size_t count = 0;
    for (const auto& line : tovarin::kernel::Device::Current().trace().Lines()) {
        count += line.text.find(text) != std::wstring::npos ? 1 : 0;
    }
    return count;
}

TEST_F(AppletTest, ASheetThatCannotBeShownDestroysEveryPageItMade) {
    // More pages than a sheet can hold: the platform refuses the sheet and leaves the pages to
    // the applet, which destroys each of them.
    CSimplePropertySheet sheet(g_instance);
    const int pages = MAXPROPPAGES + 1;
    for (int i = 0; i < pages; ++i) {
        ASSERT_EQ(i + 1, sheet.addPage(L"Телефон", IDD_PHONE_PAGE, PhonePageProc));
    }
    EXPECT_FALSE(sheet.show(L"Настройки", L"Телефон", L"", NULL, 0));
    EXPECT_EQ(1u, TraceCount(L"MultiCPlApplet: Call PropertySheet() API is failure."));
    EXPECT_EQ(static_cast<size_t>(pages), TraceCount(L"Leave DestroyPropertySheetPage"));
    // The list is empty: nothing is left to show or to destroy again.
    EXPECT_FALSE(sheet.show(L"Настройки", L"Телефон", L"", NULL, 0));
    sheet.destroy();
    EXPECT_EQ(static_cast<size_t>(pages), TraceCount(L"Leave DestroyPropertySheetPage"));
}

}  // namespace
}  // namespace marrowfen_testing
