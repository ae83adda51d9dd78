// The settings pages as the sheet shows them, made and destroyed in the test's thread: the phone
// page, shown twice while the library stays loaded, writes only what the user changed in that
// opening; the background-effects page sets its service's event when it closes.
#include "control_panel_fixture.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "pages/pages.h"
#include "applet/applet.h"

namespace marrowfen_testing {
namespace {

class PhonePageTest : public ControlPanelTest {
  protected:
    // The pages are children of the sheet, as a property sheet makes them.
    HWND Sheet() {
        if (!sheet_) {
            sheet_ = CreateWindowExW(0, L"ComboBox", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL,
                                     NULL);
        }
        return sheet_;
    }
    HWND OpenPage() {
        return CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_PHONE_PAGE), Sheet(),
                                  PhonePageProc, 0);
    }
    void TearDown() override {
        if (sheet_) {
            DestroyWindow(sheet_);
        }
        ControlPanelTest::TearDown();
    }
    HWND sheet_ = NULL;
    // Opens the page, taps the box `id` (none for 0) and closes the page, as the sheet does.
    void OpenTapAndClose(int id) {
        HWND page = OpenPage();
        ASSERT_NE(nullptr, page);
        if (id != 0) {
            SendDlgItemMessageW(page, id, BM_CLICK, 0, 0);
        }
        DestroyWindow(page);
    }
    static BOOL HasPhoneValue(LPCWSTR name) {
        HKEY key = NULL;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyControlPanelPhone, 0, KEY_READ, &key) !=
            ERROR_SUCCESS) {
            return FALSE;
        }
        const BOOL present = RegQueryValueExW(key, name, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
        RegCloseKey(key);
        return present;
    }
};

TEST_F(PhonePageTest, EachOpeningWritesOnlyWhatWasChangedInIt) {
    OpenTapAndClose(IDC_PHONE_VIBRATE);
    EXPECT_EQ(1u, StoredDword(kKeyMySetting, kValueVibrateIfMOCallAnswered));

    // The value goes behind the page's back; an opening closed untouched writes nothing.
    HKEY key = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, 0, &key));
    RegDeleteValueW(key, kValueVibrateIfMOCallAnswered);
    RegCloseKey(key);
    OpenTapAndClose(0);
    EXPECT_EQ(0xDEADBEEFu, StoredDword(kKeyMySetting, kValueVibrateIfMOCallAnswered));
}

TEST_F(PhonePageTest, WithoutThePhonesOwnKeyTheAutoAnswerIsStillStored) {
    // HKCU\ControlPanel\Phone is not there: the page's own value is written, the mirror is not
    // made up.
    OpenTapAndClose(IDC_PHONE_AUTO_ANSWER);
    EXPECT_EQ(3u, StoredDword(kKeyMySetting, kValueAutoAnswer));
    EXPECT_FALSE(HasPhoneValue(kValueAutoAns));
}

TEST_F(PhonePageTest, TheEffectsPageSetsItsServiceEventWhenItCloses) {
    // The mixing component holds the event, clear, while the sheet is open.
    HANDLE event = CreateEventW(NULL, TRUE, FALSE, kEventOverdubService);
    ASSERT_NE(nullptr, event);
    HWND page = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_OVERDUB_PAGE), Sheet(),
                                   OverdubPageProc, 0);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(event, 0));
    DestroyWindow(page);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    EXPECT_EQ(0u, StoredDword(kKeyOverdub, kValueBackgroundIndex));
    CloseHandle(event);
}

}  // namespace
}  // namespace marrowfen_testing
