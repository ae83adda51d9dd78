// Texts compare as on the phone: without regard to case for Cyrillic as for Latin, and in the
// order of the Russian language where the API is locale-aware.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <windows.h>

#include "kernel/strings/text_case.h"
#include "testing/device_fixture.h"

namespace tovarin::kernel {
namespace {

TEST(TextCaseTest, FoldsLatinCyrillicAndGreekCapitals) {
    EXPECT_TRUE(TextsEqualIgnoringCase(L"Active Call Count", L"ACTIVE CALL COUNT"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ",
                                       L"абвгдежзийклмнопрстуфхцчшщъыьэюя"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"Ёлка", L"ёЛКА"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"ЇЄІЎ", L"їєіў"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"ÀÉÖÞŁŃŽĞ", L"àéöþłńžğ"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"ΑΩΆ", L"αωά"));
    EXPECT_TRUE(TextsEqualIgnoringCase(L"", L""));

    EXPECT_FALSE(TextsEqualIgnoringCase(L"Е", L"Ё"));  // different letters, not case variants
    EXPECT_FALSE(TextsEqualIgnoringCase(L"×", L"÷"));  // signs are not letters
    EXPECT_FALSE(TextsEqualIgnoringCase(L"State", L"States"));
    EXPECT_FALSE(TextsEqualIgnoringCase(L"[", L"{"));  // 0x20 apart but not letters
    EXPECT_EQ(L"phone ёж 42", FoldText(L"Phone ЁЖ 42"));
}

using CompareTest = testing::SimulatedDeviceTest;

TEST_F(CompareTest, CaseInsensitiveCallsTreatCyrillicAsLatin) {
    EXPECT_EQ(0, lstrcmpiW(L"ГР142530.AMR", L"гр142530.amr"));
    EXPECT_EQ(0, _wcsicmp(L"ГР142530.AMR", L"гр142530.amr"));
    EXPECT_EQ(0, wcsicmp(L"Запись", L"зАПИСЬ"));
    EXPECT_EQ(0, _wcsnicmp(L"ГР142530.AMR", L"гр14xxxx", 4));
    EXPECT_LT(_wcsnicmp(L"ГР142530.AMR", L"гр15", 4), 0);
    EXPECT_EQ(CSTR_EQUAL,
              CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, L"Ёж", -1, L"ёЖ", -1));
    // Case still counts without the flag, and for lstrcmpW.
    EXPECT_NE(0, lstrcmpW(L"ГР142530.AMR", L"гр142530.amr"));
    EXPECT_EQ(0, lstrcmpW(L"гр", L"гр"));
    // lstrcmp's order of missing strings.
    EXPECT_EQ(0, lstrcmpiW(nullptr, nullptr));
    EXPECT_LT(lstrcmpiW(nullptr, L""), 0);
    EXPECT_GT(lstrcmpW(L"", nullptr), 0);

    // _wcsicmp orders by code after folding to lower case ('_' 0x5F is below 'a' 0x61), while
    // lstrcmpiW orders as the language does.
    EXPECT_LT(_wcsicmp(L"_", L"A"), 0);
    EXPECT_GT(_wcsicmp(L"я", L"Б"), 0);
}

TEST_F(CompareTest, SortsRussianNamesInTheLanguageOrder) {
    std::vector<std::wstring> names = {L"Яблоко.amr", L"ёлка.amr",  L"Елена.amr", L"жук.amr",
                                       L"Ж.amr",      L"zebra.amr", L"Apple.amr", L"10.amr",
                                       L"2.amr",      L"ель.amr"};
    std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    // Digits before letters, Latin before Cyrillic, Ё beside Е (not after Я, where its code
    // point would put it), case ignored.
    std::vector<std::wstring> expected = {L"10.amr",    L"2.amr",     L"Apple.amr", L"zebra.amr",
                                          L"Елена.amr", L"ёлка.amr",  L"ель.amr",   L"Ж.amr",
                                          L"жук.amr",   L"Яблоко.amr"};
    EXPECT_EQ(expected, names);
}

TEST_F(CompareTest, CompareStringCountsFlagsAndLocales) {
    EXPECT_EQ(CSTR_EQUAL, CompareStringW(0x0419, 0, L"абвXYZ", 3, L"абв", -1));
    EXPECT_EQ(CSTR_LESS_THAN, CompareStringW(LOCALE_USER_DEFAULT, 0, L"а", -1, L"б", -1));
    EXPECT_EQ(CSTR_GREATER_THAN, CompareStringW(0x0409, 0, L"b", -1, L"a", -1));
    EXPECT_EQ(CSTR_EQUAL,
              CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORENONSPACE, L"ё", -1, L"е", -1));
    EXPECT_EQ(CSTR_EQUAL,
              CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORESYMBOLS, L"а-б", -1, L"аб", -1));

    EXPECT_EQ(0, CompareStringW(LOCALE_USER_DEFAULT, 0x40000000, L"a", -1, L"a", -1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_FLAGS), GetLastError());
    EXPECT_EQ(0, CompareStringW(LOCALE_USER_DEFAULT, 0, nullptr, -1, L"a", -1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, CompareStringW(0x7777, 0, L"a", -1, L"a", -1));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST_F(CompareTest, CharUpperAndLowerConvertStringsAndSingleCharacters) {
    wchar_t text[] = L"Гр142530.amr";
    EXPECT_EQ(text, CharUpperW(text));
    EXPECT_STREQ(L"ГР142530.AMR", text);
    EXPECT_EQ(12u, CharLowerBuffW(text, 12));
    EXPECT_STREQ(L"гр142530.amr", text);
    EXPECT_EQ(static_cast<uintptr_t>(L'Ж'),
              reinterpret_cast<uintptr_t>(CharUpperW(reinterpret_cast<LPWSTR>(L'ж'))));
    EXPECT_EQ(static_cast<uintptr_t>(L'ё'),
              reinterpret_cast<uintptr_t>(CharLowerW(reinterpret_cast<LPWSTR>(L'Ё'))));
}

}  // namespace
}  // namespace tovarin::kernel
