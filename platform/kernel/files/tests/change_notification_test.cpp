// Folder-change notifications: which changes signal a watch (its folder, its subtree, its
// filter), that a wait does not take the signal, and that a change before the re-arm is kept.
#include <windows.h>
#include <projects.h>

#include "host/folder_changes.h"
#include "testing/image_device.h"

namespace tovarin::kernel {
namespace {

class ChangeNotificationTest : public testing::ImageDeviceTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(L"\\My Documents", nullptr));
        ASSERT_TRUE(CreateDirectoryW(L"\\My Documents\\Записи", nullptr));
    }
    static bool Signalled(HANDLE watch) { return WaitForSingleObject(watch, 0) == WAIT_OBJECT_0; }
    static void MakeFile(const wchar_t* path) {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
    }
};

TEST_F(ChangeNotificationTest, NameChangesSignalTheWatchesThatSeeThem) {
    HANDLE files =
        FindFirstChangeNotificationW(L"\\My Documents", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    HANDLE folders = FindFirstChangeNotificationW(L"\\", FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
    HANDLE subtree =
        FindFirstChangeNotificationW(L"\\My Documents", TRUE, FILE_NOTIFY_CHANGE_FILE_NAME);
    ASSERT_NE(INVALID_HANDLE_VALUE, files);
    ASSERT_NE(INVALID_HANDLE_VALUE, folders);
    ASSERT_NE(INVALID_HANDLE_VALUE, subtree);
    EXPECT_FALSE(Signalled(files));

    // A file one level down: only the subtree watch sees it.
    MakeFile(L"\\My Documents\\Записи\\a.amr");
    EXPECT_FALSE(Signalled(files));
    EXPECT_TRUE(Signalled(subtree));
    EXPECT_FALSE(Signalled(folders));

    // Creating, renaming and deleting a file in the folder; each re-arm clears the signal.
    struct Step {
        const char* what;
        bool (*act)();
    };
    const Step steps[] = {
        {"create",
         [] {
             HANDLE file = CreateFileW(L"\\My Documents\\b.txt", GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, 0, nullptr);
             return file != INVALID_HANDLE_VALUE && CloseHandle(file) != 0;
         }},
        {"rename",
         [] { return MoveFileW(L"\\My Documents\\B.TXT", L"\\My Documents\\c.txt") != 0; }},
        {"delete", [] { return DeleteFileW(L"\\My Documents\\c.txt") != 0; }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ASSERT_TRUE(FindNextChangeNotification(files));
        EXPECT_FALSE(Signalled(files));
        ASSERT_TRUE(step.act());
        EXPECT_TRUE(Signalled(files));
        EXPECT_TRUE(Signalled(files)) << "a wait does not take the signal";
        EXPECT_FALSE(Signalled(folders)) << "a file is no folder-name change";
    }

    // Folders in the root: the directory-name watch only.
    ASSERT_TRUE(FindNextChangeNotification(files));
    ASSERT_TRUE(CreateDirectoryW(L"\\Карта", nullptr));
    EXPECT_TRUE(Signalled(folders));
    ASSERT_TRUE(FindNextChangeNotification(folders));
    ASSERT_TRUE(RemoveDirectoryW(L"\\Карта"));
    EXPECT_TRUE(Signalled(folders));
    EXPECT_FALSE(Signalled(files));

    // The host side (the console's card commands) reaches the same watches.
    ASSERT_TRUE(FindNextChangeNotification(folders));
    NotifyFolderChange(Host("Storage Card"), FolderChange::DirName);
    EXPECT_TRUE(Signalled(folders));

    EXPECT_TRUE(FindCloseChangeNotification(files));
    EXPECT_TRUE(FindCloseChangeNotification(folders));
    EXPECT_TRUE(FindCloseChangeNotification(subtree));
    EXPECT_FALSE(FindCloseChangeNotification(files));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(ChangeNotificationTest, AChangeAfterTheSeenSignalIsKeptForTheReArm) {
    HANDLE watch = FindFirstChangeNotificationW(L"\\", FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
    ASSERT_NE(INVALID_HANDLE_VALUE, watch);
    ASSERT_TRUE(CreateDirectoryW(L"\\a", nullptr));
    ASSERT_TRUE(CreateDirectoryW(L"\\b", nullptr));  // before any wait: one signal covers both
    ASSERT_TRUE(Signalled(watch));
    ASSERT_TRUE(FindNextChangeNotification(watch));
    EXPECT_FALSE(Signalled(watch));

    ASSERT_TRUE(CreateDirectoryW(L"\\c", nullptr));
    ASSERT_TRUE(Signalled(watch));                   // seen by a wait...
    ASSERT_TRUE(CreateDirectoryW(L"\\d", nullptr));  // ...and one more before the re-arm
    ASSERT_TRUE(FindNextChangeNotification(watch));
    EXPECT_TRUE(Signalled(watch)) << "the change after the seen signal was lost";
    ASSERT_TRUE(FindNextChangeNotification(watch));
    EXPECT_FALSE(Signalled(watch));
    FindCloseChangeNotification(watch);
}

TEST_F(ChangeNotificationTest, RefusesBadFoldersAndFilters) {
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              FindFirstChangeNotificationW(L"\\Нет", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstChangeNotificationW(L"\\My Documents", FALSE, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              FindFirstChangeNotificationW(L"\\My Documents", FALSE, 0x80000000));
    EXPECT_FALSE(FindNextChangeNotification(INVALID_HANDLE_VALUE));
}

// The storage-card query of Note_prj.dll, reached as the suite reaches it: by ordinal 7.
TEST_F(ChangeNotificationTest, TheCardQueryFindsTheTemporaryFolderInTheRoot) {
    HMODULE library = LoadLibraryW(L"Note_prj.dll");
    ASSERT_NE(nullptr, library);
    auto find_first = reinterpret_cast<HANDLE(WINAPI*)(LPWIN32_FIND_DATAW)>(
        GetProcAddressW(library, MAKEINTRESOURCEW(7)));
    ASSERT_NE(nullptr, find_first);

    WIN32_FIND_DATAW card{};
    EXPECT_EQ(INVALID_HANDLE_VALUE, find_first(&card)) << "no card yet";
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());

    ASSERT_TRUE(CreateDirectoryW(L"\\Another", nullptr));  // an ordinary folder is no card
    std::filesystem::create_directory(Host("Storage Card"));
    HANDLE search = find_first(&card);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_STREQ(L"Storage Card", card.cFileName);
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY),
              card.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
    EXPECT_FALSE(FindNextFlashCard(search, &card));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    EXPECT_TRUE(FindClose(search));
    FreeLibrary(library);
}

}  // namespace
}  // namespace tovarin::kernel
