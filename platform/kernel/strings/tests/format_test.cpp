// The printf engine with the device's rules, called directly with chosen buffer sizes.
#include <cstdarg>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

#include "kernel/strings/format.h"

namespace {

struct Formatted {
    std::wstring text;
    int count = 0;
    bool truncated = false;
};

// Formats into a buffer of cch characters that is followed by guard characters, and checks that
// the guard survived and that the count matches the terminated text.
Formatted FormatInto(size_t cch, const wchar_t* fmt, ...) {
    constexpr size_t kGuard = 4;
    std::wstring buffer(cch + kGuard, L'#');
    Formatted result;
    va_list args;
    va_start(args, fmt);
    result.count = tovarin::strings::FormatV(buffer.data(), cch, fmt, args, &result.truncated);
    va_end(args);
    EXPECT_EQ(buffer.substr(cch), std::wstring(kGuard, L'#')) << "wrote past the buffer";
    if (cch > 0) {
        result.text = buffer.c_str();
        EXPECT_EQ(static_cast<size_t>(result.count), result.text.size());
    }
    return result;
}

#define FMT(...) FormatInto(256, __VA_ARGS__).text

TEST(FormatText, PercentSIsWideAndCapitalSIsNarrow) {
    EXPECT_EQ(FMT(L"[%s]", L"wide"), L"[wide]");
    EXPECT_EQ(FMT(L"[%S]", "narrow"), L"[narrow]");
    EXPECT_EQ(FMT(L"[%ls|%ws|%lS]", L"a", L"b", L"c"), L"[a|b|c]");
    EXPECT_EQ(FMT(L"[%hs|%hS]", "d", "e"), L"[d|e]");
    EXPECT_EQ(FMT(L"[%c%C%hc%lc]", L'Ж', 'x', 'y', L'Я'), L"[ЖxyЯ]");
}

TEST(FormatText, NullStringsPrintNull) {
    EXPECT_EQ(
        FMT(L"%s %S", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
        L"(null) (null)");
    EXPECT_EQ(FMT(L"%.3s", static_cast<const wchar_t*>(nullptr)), L"(nu");
}

TEST(FormatText, WidthPrecisionAndFlags) {
    EXPECT_EQ(FMT(L"[%6s][%-6s][%.2s][%6.2s][%-4.1S]", L"abc", L"abc", L"abc", L"abc", "xyz"),
              L"[   abc][abc   ][ab][    ab][x   ]");
    EXPECT_EQ(FMT(L"[%3c][%-3c]", L'a', L'b'), L"[  a][b  ]");
    EXPECT_EQ(FMT(L"[%*s][%-*s][%.*s]", 4, L"ab", 4, L"ab", 1, L"ab"), L"[  ab][ab  ][a]");
    EXPECT_EQ(FMT(L"[%*s]", -4, L"ab"), L"[ab  ]");  // a negative width aligns left
}

TEST(FormatText, PrecisionBoundsReadingOfUnterminatedText) {
    const wchar_t wide[3] = {L'a', L'b', L'c'};
    const char narrow[3] = {'x', 'y', 'z'};
    EXPECT_EQ(FMT(L"%.3s %.3S", wide, narrow), L"abc xyz");
}

TEST(FormatText, NarrowTextIsUtf8AndPrecisionCountsCharacters) {
    EXPECT_EQ(FMT(L"%S", "Привет"), L"Привет");
    EXPECT_EQ(FMT(L"[%.2S][%4.1S]", "Привет", "Привет"), L"[Пр][   П]");
    EXPECT_EQ(FMT(L"%S",
                  "a\xFF"
                  "b\xD0"),
              L"a\uFFFDb\uFFFD");  // broken bytes, cut sequence
}

TEST(FormatText, CyrillicInFormatAndArguments) {
    EXPECT_EQ(FMT(L"Прошло: %s %d", L"Автоответчик", 30), L"Прошло: Автоответчик 30");
}

TEST(FormatNumbers, SignedUnsignedAndBases) {
    EXPECT_EQ(FMT(L"%d %i %u %x %X %o", -42, 42, 42u, 0xBEEFu, 0xBEEFu, 8u),
              L"-42 42 42 beef BEEF 10");
    EXPECT_EQ(FMT(L"%#x %#X %#o %#x", 255u, 255u, 8u, 0u), L"0xff 0XFF 010 0");
}

TEST(FormatNumbers, LongIsThirtyTwoBitsAndKeepsLaterArgumentsInPlace) {
    const LONG minus_one = -1;
    const DWORD all_bits = 0xFFFFFFFF;
    EXPECT_EQ(FMT(L"%ld %lu %lx %d", minus_one, all_bits, minus_one, 7),
              L"-1 4294967295 ffffffff 7");
    EXPECT_EQ(FMT(L"%ld|%li", static_cast<LONG>(INT32_MIN), static_cast<LONG>(-5)),
              L"-2147483648|-5");
}

TEST(FormatNumbers, SixtyFourAndSixteenBitSizes) {
    EXPECT_EQ(FMT(L"%lld %I64u %I64x %d", INT64_MIN, UINT64_MAX, 0x123456789ABCull, 7),
              L"-9223372036854775808 18446744073709551615 123456789abc 7");
    EXPECT_EQ(FMT(L"%I32d %hd %hu %hx", -3, 70000, -1, 0x12345), L"-3 4464 65535 2345");
}

TEST(FormatNumbers, FlagsWidthAndPrecision) {
    EXPECT_EQ(FMT(L"[%+d][% d][%+ d][%05d][%-5d][%-05d]", 5, 5, 5, -42, -42, -42),
              L"[+5][ 5][+5][-0042][-42  ][-42  ]");
    EXPECT_EQ(FMT(L"[%5.3d][%05.3d][%.0d][%08X][%#06x]", 7, 7, 0, 0xBEEFu, 15u),
              L"[  007][  007][][0000BEEF][0x000f]");
    EXPECT_EQ(FMT(L"[%*d][%-*d][%.*d]", 5, 42, 4, 42, -1, 42), L"[   42][42  ][42]");
}

TEST(FormatNumbers, TimeFieldsAreTwoDigits) {
    SYSTEMTIME time{};
    time.wYear = 2008;
    time.wMonth = 3;
    time.wDay = 9;
    time.wHour = 7;
    time.wMinute = 5;
    EXPECT_EQ(FMT(L"%04d-%02d-%02d %02d:%02d:%02d", time.wYear, time.wMonth, time.wDay, time.wHour,
                  time.wMinute, time.wSecond),
              L"2008-03-09 07:05:00");
    EXPECT_EQ(FMT(L"gr%02d%02d%02d.amr", 14, 25, 30), L"gr142530.amr");
}

TEST(FormatNumbers, PointersAreUpperCaseHexOfFullWidth) {
    const std::wstring zeros(2 * sizeof(void*) - 3, L'0');
    EXPECT_EQ(FMT(L"%p", reinterpret_cast<void*>(uintptr_t{0xABC})), zeros + L"ABC");
}

TEST(FormatNumbers, FloatingPointForTheStrsafeFunctions) {
    EXPECT_EQ(FMT(L"[%f][%.2f][%8.3f][%08.2f][%-7.1f]", 3.25, 1.5, -1.5, -1.5, 2.0),
              L"[3.250000][1.50][  -1.500][-0001.50][2.0    ]");
    EXPECT_EQ(FMT(L"[%+.1e][%E][%g][%g][%G]", 12345.678, 0.5, 0.0001, 1e20, 1e-10),
              L"[+1.2e+04][5.000000E-01][0.0001][1e+20][1E-10]");
    EXPECT_EQ(FMT(L"[%.3Lf][%d]", 2.5L, 9), L"[2.500][9]");
}

TEST(FormatSyntax, PercentSignsAndStrayCharacters) {
    EXPECT_EQ(FMT(L"100%% %y %"), L"100% y ");
    int untouched = 5;
    EXPECT_EQ(FMT(L"%n%d", &untouched, 3), L"3");
    EXPECT_EQ(untouched, 5);
}

TEST(FormatBounds, ExactFitIsNotTruncated) {
    const Formatted fit = FormatInto(6, L"%s", L"abcde");
    EXPECT_EQ(fit.text, L"abcde");
    EXPECT_FALSE(fit.truncated);
}

TEST(FormatBounds, OneCharacterShortIsTruncatedAndTerminated) {
    const Formatted cut = FormatInto(5, L"%s", L"abcde");
    EXPECT_EQ(cut.text, L"abcd");
    EXPECT_EQ(cut.count, 4);
    EXPECT_TRUE(cut.truncated);
}

TEST(FormatBounds, TruncationInsidePaddingNumbersAndLiterals) {
    EXPECT_EQ(FormatInto(5, L"%10d", 1).text, L"    ");
    EXPECT_EQ(FormatInto(4, L"%d", -123456).text, L"-12");
    EXPECT_EQ(FormatInto(4, L"Время %d", 1).text, L"Вре");
    const Formatted huge = FormatInto(16, L"%2147483647d", 1);
    EXPECT_EQ(huge.text, std::wstring(15, L' '));
    EXPECT_TRUE(huge.truncated);
}

TEST(FormatBounds, TinyBuffers) {
    const Formatted one = FormatInto(1, L"x");
    EXPECT_EQ(one.text, L"");
    EXPECT_TRUE(one.truncated);
    EXPECT_FALSE(FormatInto(1, L"").truncated);
    const Formatted none = FormatInto(0, L"x");  // the guard check proves nothing was written
    EXPECT_EQ(none.count, 0);
    EXPECT_TRUE(none.truncated);
}

}  // namespace
