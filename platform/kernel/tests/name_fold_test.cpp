// Names compare without regard to case, for Cyrillic as for Latin.
#include <gtest/gtest.h>

#include "kernel/name_fold.h"

namespace tovarin::kernel {
namespace {

TEST(NameFoldTest, FoldsLatinCyrillicAndGreekCapitals) {
    EXPECT_TRUE(NamesEqual(L"Active Call Count", L"ACTIVE CALL COUNT"));
    EXPECT_TRUE(
        NamesEqual(L"АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ", L"абвгдежзийклмнопрстуфхцчшщъыьэюя"));
    EXPECT_TRUE(NamesEqual(L"Ёлка", L"ёЛКА"));
    EXPECT_TRUE(NamesEqual(L"ЇЄІЎ", L"їєіў"));
    EXPECT_TRUE(NamesEqual(L"ÀÉÖÞ", L"àéöþ"));
    EXPECT_TRUE(NamesEqual(L"ŁŃŽĞ", L"łńžğ"));
    EXPECT_TRUE(NamesEqual(L"ΑΩΆ", L"αωά"));
    EXPECT_TRUE(NamesEqual(L"", L""));

    EXPECT_FALSE(NamesEqual(L"Е", L"Ё"));  // different letters, not case variants
    EXPECT_FALSE(NamesEqual(L"×", L"÷"));  // signs are not letters
    EXPECT_FALSE(NamesEqual(L"State", L"States"));
    EXPECT_FALSE(NamesEqual(L"[", L"{"));  // 0x5B and 0x7B are 0x20 apart but not letters
    EXPECT_EQ(L"phone ёж 42", FoldName(L"Phone ЁЖ 42"));
}

}  // namespace
}  // namespace tovarin::kernel
