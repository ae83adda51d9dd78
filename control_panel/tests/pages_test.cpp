// The settings pages as the sheet shows them, made and destroyed in the test's thread: the phone
// page, shown twice while the library stays loaded, writes only what the user changed in that
// opening; the background-effects page sets its service's event when it closes.
#include "control_panel_fixture.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "host/audio.h"
#include "host/device.h"
#include "host/trace.h"
#include "media/sounds.h"
#include "pages/pages.h"
#include "applet/applet.h"

namespace marrowfen_testing {
namespace {

class PagesTest : public ControlPanelTest {
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

TEST_F(PagesTest, EachOpeningWritesOnlyWhatWasChangedInIt) {
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

TEST_F(PagesTest, WithoutThePhonesOwnKeyTheAutoAnswerIsStillStored) {
    // HKCU\ControlPanel\Phone is not there: the page's own value is written, the mirror is not
    // made up.
    OpenTapAndClose(IDC_PHONE_AUTO_ANSWER);
    EXPECT_EQ(3u, StoredDword(kKeyMySetting, kValueAutoAnswer));
    EXPECT_FALSE(HasPhoneValue(kValueAutoAns));
}

TEST_F(PagesTest, TheEffectsPageSetsItsServiceEventWhenItCloses) {
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

TEST_F(PagesTest, ARecorderThatCannotStartStaysIdle) {
    // No capture hardware: the recorder cannot start. The dialog must not pretend to record:
    // stop stays disabled, record enabled, the clock at zero, and the user hears why.
    tovarin::media::SetCaptureFormats({});
    HWND recorder = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(IDD_GREETING_RECORDER), Sheet(),
                                       GreetingRecorderPageProc, 0);
    ASSERT_NE(nullptr, recorder);
    SendDlgItemMessageW(recorder, IDC_RECORDER_RECORD, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(recorder, IDC_RECORDER_STOP)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(recorder, IDC_RECORDER_RECORD)));
    WCHAR elapsed[16] = {};
    GetDlgItemTextW(recorder, IDC_RECORDER_ELAPSED, elapsed, 16);
    EXPECT_STREQ(L"00:00:00", elapsed);
    size_t beeps = 0;
    for (const auto& line : tovarin::kernel::Device::Current().trace().Lines()) {
        beeps += line.text.find(L"MessageBeep") != std::wstring::npos ? 1 : 0;
    }
    EXPECT_EQ(1u, beeps);
    DestroyWindow(recorder);
}

}  // namespace
}  // namespace marrowfen_testing
