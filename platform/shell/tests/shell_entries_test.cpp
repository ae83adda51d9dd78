// The shell's special folders, its start-up entry reached by ordinal 9 as a program reaches it,
// and the input panel preference.
#include <algorithm>
#include <iterator>

#include <windows.h>
#include <aygshell.h>
#include <shlobj.h>

#include "testing/image_device.h"
#include "shell/input_panel.h"

namespace tovarin::shell {
namespace {

class ShellEntriesTest : public kernel::testing::ImageDeviceTest {
  protected:
    void SetUp() override { ASSERT_TRUE(CreateDirectoryW(L"\\My Documents", nullptr)); }
};

TEST_F(ShellEntriesTest, SpecialFoldersAreThePhonesAndAreMadeOnlyWhenAsked) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, 0, FALSE));
    EXPECT_STREQ(L"\\My Documents", path);
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, FALSE));
    EXPECT_STREQ(L"\\My Documents", path);

    // A folder that does not exist yet: refused without the create flag, made with it.
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_MYMUSIC, FALSE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_FALSE(std::filesystem::exists(Host("My Documents/My Music")));
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PROGRAMS, TRUE));
    EXPECT_STREQ(L"\\Windows\\Start Menu\\Programs", path);
    EXPECT_TRUE(std::filesystem::is_directory(Host("Windows/Start Menu/Programs")));

    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, CSIDL_CONTROLS, TRUE));  // virtual
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, nullptr, CSIDL_PERSONAL, FALSE));

    // Nothing is written past the terminator: a short buffer that holds the path is enough.
    wchar_t guarded[MAX_PATH];
    std::fill(std::begin(guarded), std::end(guarded), L'#');
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, guarded, 0, FALSE));
    EXPECT_STREQ(L"\\My Documents", guarded);
    EXPECT_EQ(L'#', guarded[wcslen(L"\\My Documents") + 1]);
    EXPECT_EQ(L'#', guarded[MAX_PATH - 1]);
}

TEST_F(ShellEntriesTest, TheStartUpEntryIsOrdinalNineAndRegistersTheExtraControls) {
    HMODULE shell = LoadLibraryW(L"aygshell.dll");
    ASSERT_NE(nullptr, shell);
    auto start_up = reinterpret_cast<BOOL(WINAPI*)()>(GetProcAddressW(shell, MAKEINTRESOURCEW(9)));
    ASSERT_NE(nullptr, start_up);
    EXPECT_TRUE(start_up());
    EXPECT_TRUE(start_up()) << "a second call is harmless";

    // A dialog's SIPPREF control lowers the input panel for its dialog.
    HWND dialog = CreateWindowExW(0, L"SIPPREF", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, dialog);
    ASSERT_TRUE(SHSipPreference(dialog, SIP_UP));
    EXPECT_TRUE(InputPanel().raised);
    HWND control = CreateWindowExW(0, L"SIPPREF", L"", WS_CHILD, 0, 0, 0, 0, dialog, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, control);
    EXPECT_FALSE(InputPanel().raised);
    EXPECT_EQ(dialog, InputPanel().requested_by);

    EXPECT_FALSE(SHSipPreference(nullptr, SIP_UP));
    EXPECT_FALSE(SHSipPreference(dialog, static_cast<SIPSTATE>(9)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    DestroyWindow(dialog);
    FreeLibrary(shell);
}

}  // namespace
}  // namespace tovarin::shell
