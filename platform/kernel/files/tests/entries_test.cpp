#include <windows.h>

#include "testing/image_device.h"

namespace tovarin::kernel::testing {
namespace {

using FoldersAndEntriesTest = ImageDeviceTest;

TEST_F(FoldersAndEntriesTest, FoldersAreCreatedAndRemovedWithDocumentedErrors) {
    EXPECT_TRUE(CreateDirectoryW(L"\\My Documents", nullptr));
    EXPECT_TRUE(CreateDirectoryW(L"\\my documents\\Мои Приветствия", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(Host("My Documents/Мои Приветствия")));

    EXPECT_FALSE(CreateDirectoryW(L"\\MY DOCUMENTS", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    image_.AddFile("file.txt", "x");
    EXPECT_FALSE(CreateDirectoryW(L"\\file.txt", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(L"\\Missing\\Child", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_FALSE(RemoveDirectoryW(L"\\My Documents"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryW(L"\\file.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_TRUE(RemoveDirectoryW(L"\\My Documents\\мои приветствия"));
    EXPECT_FALSE(RemoveDirectoryW(L"\\My Documents\\мои приветствия"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FoldersAndEntriesTest, AttributesOfFilesFoldersAndMissingEntries) {
    image_.AddFile("Windows/Ansley.dll", "x");
    image_.AddFolder("Storage Card");
    EXPECT_EQ(GetFileAttributesW(L"\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(L"\\windows"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(L"\\Windows\\ANSLEY.DLL"),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesW(L"\\storage card"),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));

    EXPECT_EQ(GetFileAttributesW(L"\\Windows\\none.dll"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(L"\\None\\none.dll"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(SetFileAttributesW(L"\\Windows\\Ansley.dll", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(GetFileAttributesW(L"\\Windows\\Ansley.dll"),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(DeleteFileW(L"\\Windows\\Ansley.dll"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(SetFileAttributesW(L"\\Windows\\Ansley.dll", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(L"\\Windows\\Ansley.dll"),
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(DeleteFileW(L"\\windows\\ansley.dll"));
    EXPECT_FALSE(std::filesystem::exists(Host("Windows/Ansley.dll")));
}

TEST_F(FoldersAndEntriesTest, AnOpenFileCannotBeDeletedOrMoved) {
    image_.AddFile("rec.amr", "frames");
    HANDLE open = CreateFileW(L"\\rec.amr", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeleteFileW(L"\\REC.AMR"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileW(L"\\rec.amr", L"\\moved.amr"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(open);
    EXPECT_TRUE(MoveFileW(L"\\rec.amr", L"\\moved.amr"));
    EXPECT_EQ(HostContent("moved.amr"), "frames");
}

TEST_F(FoldersAndEntriesTest, MoveRefusesAnExistingTargetButRenamesLetterCase) {
    image_.AddFile("a.txt", "a");
    image_.AddFile("b.txt", "b");
    EXPECT_FALSE(MoveFileW(L"\\a.txt", L"\\B.TXT"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(MoveFileW(L"\\none.txt", L"\\c.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(MoveFileW(L"\\a.txt", L"\\No Folder\\a.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_TRUE(MoveFileW(L"\\a.txt", L"\\A.TXT"));
    EXPECT_TRUE(std::filesystem::exists(Host("A.TXT")));
    EXPECT_FALSE(std::filesystem::exists(Host("a.txt")));
    EXPECT_EQ(HostContent("b.txt"), "b");
}

TEST_F(FoldersAndEntriesTest, CopyHonoursFailIfExistsAndKeepsTheSource) {
    image_.AddFile("src.txt", "greeting");
    image_.AddFile("dst.txt", "old");
    EXPECT_FALSE(CopyFileW(L"\\src.txt", L"\\dst.txt", TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(HostContent("dst.txt"), "old");

    EXPECT_TRUE(CopyFileW(L"\\SRC.txt", L"\\dst.txt", FALSE));
    EXPECT_EQ(HostContent("dst.txt"), "greeting");
    EXPECT_EQ(HostContent("src.txt"), "greeting");

    EXPECT_FALSE(CopyFileW(L"\\src.txt", L"\\src.txt", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(HostContent("src.txt"), "greeting");
    EXPECT_FALSE(CopyFileW(L"\\none.txt", L"\\x.txt", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FoldersAndEntriesTest, PathsThatCannotNameAnEntryAreRefused) {
    EXPECT_EQ(GetFileAttributesW(nullptr), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(DeleteFileW(L"\\a<b>.txt"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_FALSE(CreateDirectoryW(L"\\..\\outside", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_FALSE(std::filesystem::exists(image_.root().parent_path() / "outside"));

    // A relative path is taken from the root.
    EXPECT_TRUE(CreateDirectoryW(L"Relative", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(Host("Relative")));
}

}  // namespace
}  // namespace tovarin::kernel::testing

namespace tovarin::kernel::testing {
namespace {

// A device with its hives in the image's "registry" folder, and a folder outside the image.
class ProtectedPlacesTest : public ::testing::Test {
  protected:
    ProtectedPlacesTest() { self_.emplace("test"); }
    ~ProtectedPlacesTest() override { self_.reset(); }

    static bool Opens(const wchar_t* path, DWORD access, DWORD disposition) {
        HANDLE file = CreateFileW(path, access, 0, nullptr, disposition, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        CloseHandle(file);
        return true;
    }

    TempImage outside_;
    TempImage image_;
    Device device_{{.clock = ClockMode::Simulated,
                    .image_root = image_.root(),
                    .registry_dir = image_.root() / "registry"}};
    std::optional<AttachedThread> self_;
};

TEST_F(ProtectedPlacesTest, SymbolicLinksNeverLeadOutOfTheImage) {
    namespace fs = std::filesystem;
    outside_.AddFile("secret.txt", "host data");
    image_.AddFile("Windows/a.dll", "x");
    const fs::path documents = image_.AddFolder("My Documents");
    fs::create_directory_symlink(outside_.root(), documents / "out");
    fs::create_symlink(outside_.root() / "secret.txt", documents / "leaf");
    fs::create_symlink(outside_.root() / "made.txt", documents / "dangling");
    fs::create_directory_symlink(image_.root() / "Windows", documents / "inner");

    EXPECT_FALSE(Opens(L"\\My Documents\\out\\secret.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_FALSE(Opens(L"\\My Documents\\leaf", GENERIC_READ, OPEN_EXISTING));
    EXPECT_FALSE(Opens(L"\\My Documents\\out\\new.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_FALSE(Opens(L"\\My Documents\\dangling", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_FALSE(DeleteFileW(L"\\My Documents\\out\\secret.txt"));
    EXPECT_TRUE(fs::exists(outside_.root() / "secret.txt"));
    EXPECT_FALSE(fs::exists(outside_.root() / "new.txt"));
    EXPECT_FALSE(fs::exists(outside_.root() / "made.txt"));

    // A link that stays inside the image is an ordinary way in.
    EXPECT_TRUE(Opens(L"\\My Documents\\inner\\a.dll", GENERIC_READ, OPEN_EXISTING));

    WIN32_FIND_DATAW found{};
    std::vector<std::wstring> names;
    HANDLE search = FindFirstFileW(L"\\My Documents\\*", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(names, std::vector<std::wstring>{L"inner"});
}

TEST_F(ProtectedPlacesTest, TheHivesAreNoFilesOfTheDevice) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kept", 0, nullptr, 0, 0, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    const std::filesystem::path hive = image_.root() / "registry" / "HKLM.reg";
    ASSERT_TRUE(std::filesystem::exists(hive));

    EXPECT_FALSE(DeleteFileW(L"\\registry\\HKLM.reg"));
    EXPECT_FALSE(Opens(L"\\REGISTRY\\HKLM.reg", GENERIC_WRITE, OPEN_EXISTING));
    EXPECT_FALSE(MoveFileW(L"\\registry\\HKLM.reg", L"\\HKLM.reg"));
    EXPECT_FALSE(RemoveDirectoryW(L"\\registry"));
    EXPECT_TRUE(std::filesystem::exists(hive));
    EXPECT_EQ(GetFileAttributesW(L"\\registry"), INVALID_FILE_ATTRIBUTES);

    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(L"\\*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            EXPECT_NE(std::wstring(found.cFileName), L"registry");
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
}

}  // namespace
}  // namespace tovarin::kernel::testing
