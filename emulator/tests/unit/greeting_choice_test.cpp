#include "greeting_choice.h"

#include <gtest/gtest.h>

namespace {

std::wstring Choose(DWORD found, LPCWSTR playFile, LPCWSTR saveDir, LPCWSTR fileName,
                    size_t cch = MAX_PATH) {
    WCHAR path[MAX_PATH];
    ChooseGreetingPath(found, playFile, saveDir, fileName, path, cch);
    return path;
}

TEST(GreetingChoice, TheCallersOwnGreetingComesFirst) {
    EXPECT_EQ(Choose(1, L"gr101500.amr", L"\\Windows", L"greeting.amr"),
              L"\\My Documents\\Мои Приветствия\\gr101500.amr");
    EXPECT_EQ(Choose(1, L"GREETING.AMR", L"\\My Documents", L"x.amr"), L"\\Windows\\GREETING.AMR");
    EXPECT_EQ(Choose(1, L"\\Storage Card\\hello.amr", L"", L""), L"\\Storage Card\\hello.amr");
}

TEST(GreetingChoice, WithoutOneTheControlPanelsChoice) {
    EXPECT_EQ(Choose(0, L"gr101500.amr", L"\\My Documents\\Мои Приветствия", L"gr090000.amr"),
              L"\\My Documents\\Мои Приветствия\\gr090000.amr");
    EXPECT_EQ(Choose(1, L"", L"\\Windows\\", L"greeting.amr"), L"\\Windows\\greeting.amr");
}

TEST(GreetingChoice, OtherwiseTheBuiltInGreeting) {
    EXPECT_EQ(Choose(0, L"", L"", L""), L"\\Windows\\greeting.amr");
    EXPECT_EQ(Choose(0, L"", L"\\Windows", L""), L"\\Windows\\greeting.amr");
    EXPECT_EQ(Choose(2, L"x.amr", L"", L"y.amr"), L"\\Windows\\greeting.amr");
}

TEST(GreetingChoice, APathIsCutToTheBuffer) {
    std::wstring cut = Choose(0, L"", L"\\Windows", L"greeting.amr", 8);
    EXPECT_EQ(cut, L"\\Window");
}

}  // namespace

namespace {

TEST(GreetingChoice, OnlyTheGreetingsFolderAndWindowsArePlayable) {
    EXPECT_TRUE(IsPlayableGreeting(L"\\Windows\\greeting.amr"));
    EXPECT_TRUE(IsPlayableGreeting(L"\\windows\\Kiss.amr"));
    EXPECT_TRUE(IsPlayableGreeting(L"\\My Documents\\Мои Приветствия\\gr101500.amr"));
    // What a published "QuellbrookPlayFile" could make of the path.
    EXPECT_FALSE(IsPlayableGreeting(L"\\My Documents\\Мои Приветствия\\..\\..\\x"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Windows\\.\\..\\registry\\hklm.reg"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Windows"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Windows\\"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\WindowsX\\a.amr"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Storage Card\\hello.amr"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Windows/../x.amr"));
    EXPECT_FALSE(IsPlayableGreeting(L"\\Windows\\\\a.amr"));
    EXPECT_FALSE(IsPlayableGreeting(L"Windows\\a.amr"));
}

}  // namespace
