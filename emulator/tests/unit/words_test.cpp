#include "console/words.h"

#include <gtest/gtest.h>

namespace tovarin::emulator::console {
namespace {

std::vector<std::string> Texts(const SplitLine& split) {
    std::vector<std::string> texts;
    for (const Word& word : split.words) {
        texts.push_back(word.text);
    }
    return texts;
}

TEST(SplitWords, SeparatesBySpacesAndTabs) {
    SplitLine split = SplitWords("  reg\tget   HKLM ");
    EXPECT_EQ(split.error, "");
    EXPECT_EQ(Texts(split), (std::vector<std::string>{"reg", "get", "HKLM"}));
}

TEST(SplitWords, QuotedWordKeepsSpacesAndBackslashesAsWritten) {
    SplitLine split = SplitWords(R"(reg get HKLM "\System\State\Phone" "Active Call Count")");
    ASSERT_EQ(split.error, "");
    ASSERT_EQ(split.words.size(), 5u);
    EXPECT_EQ(split.words[3].text, R"(\System\State\Phone)");
    EXPECT_TRUE(split.words[3].quoted);
    EXPECT_EQ(split.words[4].text, "Active Call Count");
    EXPECT_FALSE(split.words[0].quoted);
}

TEST(SplitWords, EmptyQuotesAreAnEmptyWord) {
    SplitLine split = SplitWords(R"(call incoming "")");
    ASSERT_EQ(split.words.size(), 3u);
    EXPECT_EQ(split.words[2].text, "");
    EXPECT_TRUE(split.words[2].quoted);
}

TEST(SplitWords, BackslashBeforeAQuoteIsNoEscape) {
    // The quoted word ends at the first quote after it opened.
    SplitLine split = SplitWords(R"(file delete "C:\" next)");
    ASSERT_EQ(split.error, "");
    EXPECT_EQ(Texts(split), (std::vector<std::string>{"file", "delete", "C:\\", "next"}));
}

TEST(SplitWords, RejectsMalformedQuotes) {
    EXPECT_NE(SplitWords(R"(expect trace "open)").error, "");
    EXPECT_NE(SplitWords(R"(expect trace "a"b)").error, "");
    EXPECT_NE(SplitWords(R"(expect trace a"b")").error, "");
}

TEST(SplitWords, RejectsAZeroCharacterInsteadOfCuttingAtIt) {
    using namespace std::string_view_literals;
    EXPECT_FALSE(SplitWords("reg set HKLM \"K\" \"A\0B\" dword 1"sv).error.empty());
    EXPECT_FALSE(SplitWords("sz \"text\0more\""sv).error.empty());
    EXPECT_FALSE(SplitWords("bare\0word"sv).error.empty());
}

TEST(ParseNumber, DecimalAndHexWithinTheLimit) {
    EXPECT_EQ(ParseNumber("0", 10), 0u);
    EXPECT_EQ(ParseNumber("0x72", 0xFF), 0x72u);
    EXPECT_EQ(ParseNumber("0X1d000C", 0xFFFFFFFF), 0x1D000Cu);
    EXPECT_EQ(ParseNumber("4294967295", 0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(ParseNumber("0xFFFFFFFFFFFFFFFF", UINT64_MAX), UINT64_MAX);
    EXPECT_EQ(ParseNumber("010", 100), 10u);  // no octal
}

TEST(ParseNumber, RejectsWhatIsNotANumberOrTooLarge) {
    EXPECT_EQ(ParseNumber("4294967296", 0xFFFFFFFF), std::nullopt);
    EXPECT_EQ(ParseNumber("0x100", 0xFF), std::nullopt);
    EXPECT_EQ(ParseNumber("18446744073709551616", UINT64_MAX), std::nullopt);
    EXPECT_EQ(ParseNumber("", 10), std::nullopt);
    EXPECT_EQ(ParseNumber("0x", 10), std::nullopt);
    EXPECT_EQ(ParseNumber("-1", 10), std::nullopt);
    EXPECT_EQ(ParseNumber("12ms", 100), std::nullopt);
    EXPECT_EQ(ParseNumber("0xG", 100), std::nullopt);
}

TEST(IsBlankOrComment, OnlyBlankAndHashLines) {
    EXPECT_TRUE(IsBlankOrComment(""));
    EXPECT_TRUE(IsBlankOrComment("  \t\r"));
    EXPECT_TRUE(IsBlankOrComment("# a comment"));
    EXPECT_TRUE(IsBlankOrComment("   # indented"));
    EXPECT_FALSE(IsBlankOrComment("boot # not a comment after a command"));
}

}  // namespace
}  // namespace tovarin::emulator::console
