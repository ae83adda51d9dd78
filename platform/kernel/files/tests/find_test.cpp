#include <windows.h>

#include <string>
#include <vector>

#include "testing/image_device.h"
#include "host/wildcard.h"

namespace tovarin::kernel::testing {
namespace {

TEST(WildcardTest, StarsQuestionMarksAndLetterCase) {
    EXPECT_TRUE(MatchesPattern(L"*.amr", L"Привет.AMR"));
    EXPECT_FALSE(MatchesPattern(L"*.amr", L"a.amr.bak"));
    EXPECT_TRUE(MatchesPattern(L"*.*", L"README"));  // every name, dot or not
    EXPECT_FALSE(MatchesPattern(L"*.", L"README.txt"));
    EXPECT_TRUE(MatchesPattern(L"ЗАП?СЬ*", L"запись 1.amr"));
    EXPECT_FALSE(MatchesPattern(L"a?c", L"ac"));
    EXPECT_TRUE(MatchesPattern(L"*a*b*c", L"xxaxxbxxbxc"));  // a * takes more after a miss
    EXPECT_FALSE(MatchesPattern(L"*a*b*c", L"xxaxxbxxbx"));
    EXPECT_TRUE(MatchesPattern(L"*", L""));
}

class FindTest : public ImageDeviceTest {
  protected:
    // Every name the search reports, with its attributes, until ERROR_NO_MORE_FILES.
    std::vector<std::pair<std::wstring, DWORD>> FindAll(const wchar_t* pattern) {
        std::vector<std::pair<std::wstring, DWORD>> found;
        WIN32_FIND_DATAW data{};
        HANDLE search = FindFirstFileW(pattern, &data);
        if (search == INVALID_HANDLE_VALUE) {
            return found;
        }
        do {
            found.emplace_back(data.cFileName, data.dwFileAttributes);
        } while (FindNextFileW(search, &data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(search));
        return found;
    }
};

TEST_F(FindTest, GreetingsInACyrillicFolderAreFoundByExtension) {
    image_.AddFile("My Documents/Мои Приветствия/Привет.amr", "#!AMR\n1234");
    image_.AddFile("My Documents/Мои Приветствия/Work.AMR", "#!AMR\n");
    image_.AddFile("My Documents/Мои Приветствия/notes.txt", "");
    image_.AddFolder("My Documents/Мои Приветствия/old.amr");

    auto found = FindAll(L"\\My Documents\\мои приветствия\\*.amr");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], std::make_pair(std::wstring(L"old.amr"),
                                       static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)));
    EXPECT_EQ(found[1], std::make_pair(std::wstring(L"Work.AMR"),
                                       static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)));
    EXPECT_EQ(found[2], std::make_pair(std::wstring(L"Привет.amr"),
                                       static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)));

    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW(L"\\My Documents\\Мои Приветствия\\привет.AMR", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, L"Привет.amr");
    EXPECT_EQ(data.nFileSizeLow, 10u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_NE(data.ftLastWriteTime.dwHighDateTime, 0u);
    FindClose(search);
}

TEST_F(FindTest, TheRootListsFoldersAndTheStorageCardWithoutDotEntries) {
    image_.AddFolder("Windows");
    image_.AddFolder("Storage Card");
    image_.AddFile("boot.txt", "x");
    auto found = FindAll(L"\\*");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].first, L"boot.txt");
    EXPECT_EQ(found[1], std::make_pair(std::wstring(L"Storage Card"),
                                       static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY |
                                                          FILE_ATTRIBUTE_TEMPORARY)));
    EXPECT_EQ(found[2], std::make_pair(std::wstring(L"Windows"),
                                       static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)));

    // Only the root's card folder is a card; a folder of that name elsewhere is a folder.
    image_.AddFolder("Windows/Storage Card");
    EXPECT_EQ(FindAll(L"\\Windows\\*")[0].second, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(FindTest, FailuresTellAnEmptyResultFromAMissingFolder) {
    image_.AddFolder("Empty");
    WIN32_FIND_DATAW data{};
    EXPECT_EQ(FindFirstFileW(L"\\Empty\\*.amr", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileW(L"\\Missing\\*.amr", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FindFirstFileW(L"\\Em*\\x", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FindTest, AnEntryRemovedDuringTheSearchIsSkipped) {
    image_.AddFile("a.txt", "");
    image_.AddFile("b.txt", "");
    image_.AddFile("c.txt", "");
    WIN32_FIND_DATAW data{};
    HANDLE search = FindFirstFileW(L"\\*.txt", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, L"a.txt");
    ASSERT_TRUE(DeleteFileW(L"\\b.txt"));
    ASSERT_TRUE(FindNextFileW(search, &data));
    EXPECT_STREQ(data.cFileName, L"c.txt");
    EXPECT_FALSE(FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindNextFileW(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace tovarin::kernel::testing
