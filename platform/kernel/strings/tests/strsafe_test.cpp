// The strsafe functions: their results, and what they leave in the destination.
#include <cstdarg>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <strsafe.h>

namespace {

// A destination of N characters filled with a marker, to see what a call wrote.
template <size_t N>
struct Buffer {
    Buffer() { std::fill_n(chars, N, L'#'); }
    std::wstring Text() const { return std::wstring(chars, wcsnlen(chars, N)); }
    bool Untouched() const { return std::wstring(chars, N) == std::wstring(N, L'#'); }
    wchar_t chars[N];
};

TEST(StringCchCopy, CopiesOrCutsAtExactlyTheBufferSize) {
    Buffer<6> fits;
    EXPECT_EQ(StringCchCopyW(fits.chars, 6, L"abcde"), S_OK);
    EXPECT_EQ(fits.Text(), L"abcde");

    Buffer<5> short_by_one;
    EXPECT_EQ(StringCchCopyW(short_by_one.chars, 5, L"abcde"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(short_by_one.Text(), L"abcd");
    EXPECT_EQ(short_by_one.chars[4], L'\0');
}

TEST(StringCchCopy, RejectsBadCountsWithoutTouchingTheBuffer) {
    Buffer<4> buffer;
    EXPECT_EQ(StringCchCopyW(buffer.chars, 0, L"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchCopyW(buffer.chars, size_t{STRSAFE_MAX_CCH} + 1, L"a"),
              STRSAFE_E_INVALID_PARAMETER);
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(StringCchCopyW(buffer.chars, 4, nullptr), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buffer.Text(), L"");
}

TEST(StringCchCopyN, TakesAtMostTheGivenCountAndReadsNoFurther) {
    const wchar_t unterminated[3] = {L'x', L'y', L'z'};
    Buffer<8> buffer;
    EXPECT_EQ(StringCchCopyNW(buffer.chars, 8, unterminated, 3), S_OK);
    EXPECT_EQ(buffer.Text(), L"xyz");
    EXPECT_EQ(StringCchCopyNW(buffer.chars, 8, L"abcdef", 2), S_OK);
    EXPECT_EQ(buffer.Text(), L"ab");
    EXPECT_EQ(StringCchCopyNW(buffer.chars, 8, L"ab", 100), S_OK);
    EXPECT_EQ(buffer.Text(), L"ab");
    EXPECT_EQ(StringCchCopyNW(buffer.chars, 3, L"abcdef", 4), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer.Text(), L"ab");
    EXPECT_EQ(StringCchCopyNW(buffer.chars, 8, L"ab", size_t{STRSAFE_MAX_CCH} + 1),
              STRSAFE_E_INVALID_PARAMETER);
}

TEST(StringCchCat, AppendsOrCutsTheAppendedText) {
    Buffer<8> buffer;
    ASSERT_EQ(StringCchCopyW(buffer.chars, 8, L"abc"), S_OK);
    EXPECT_EQ(StringCchCatW(buffer.chars, 8, L"de"), S_OK);
    EXPECT_EQ(buffer.Text(), L"abcde");
    EXPECT_EQ(StringCchCatW(buffer.chars, 8, L"fghij"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer.Text(), L"abcdefg");
    EXPECT_EQ(StringCchCatW(buffer.chars, 8, L""), S_OK);  // full, but nothing to add
    EXPECT_EQ(StringCchCatW(buffer.chars, 8, L"x"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer.Text(), L"abcdefg");
}

TEST(StringCchCat, RejectsADestinationWithoutTerminator) {
    Buffer<4> unterminated;
    EXPECT_EQ(StringCchCatW(unterminated.chars, 4, L"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_TRUE(unterminated.Untouched());
}

TEST(StringCchLength, CountsWithinTheLimit) {
    size_t length = 99;
    EXPECT_EQ(StringCchLengthW(L"abc", 4, &length), S_OK);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(StringCchLengthW(L"abc", 100, nullptr), S_OK);

    length = 99;
    EXPECT_EQ(StringCchLengthW(L"abc", 3, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(StringCchLengthW(nullptr, 4, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthW(L"", 0, &length), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthW(L"a", size_t{STRSAFE_MAX_CCH} + 1, &length),
              STRSAFE_E_INVALID_PARAMETER);
}

TEST(StringCchPrintf, ReportsTruncationAtExactlyTheBufferSize) {
    Buffer<6> fits;
    EXPECT_EQ(StringCchPrintfW(fits.chars, 6, L"%s%d", L"ab", 123), S_OK);
    EXPECT_EQ(fits.Text(), L"ab123");

    Buffer<5> short_by_one;
    EXPECT_EQ(StringCchPrintfW(short_by_one.chars, 5, L"%s%d", L"ab", 123),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(short_by_one.Text(), L"ab12");
    EXPECT_EQ(short_by_one.chars[4], L'\0');
}

TEST(StringCchPrintf, RejectsBadParameters) {
    Buffer<4> buffer;
    EXPECT_EQ(StringCchPrintfW(buffer.chars, 0, L"x"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_EQ(StringCchPrintfW(buffer.chars, 4, nullptr), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buffer.Text(), L"");
}

HRESULT PrintThroughVaList(wchar_t* dest, size_t cch, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const HRESULT result = StringCchVPrintfW(dest, cch, fmt, args);
    va_end(args);
    return result;
}

TEST(StringCchVPrintf, FormatsFromAVaList) {
    Buffer<32> buffer;
    EXPECT_EQ(PrintThroughVaList(buffer.chars, 32, L"%s=%lu", L"Status", DWORD{0x20000000}), S_OK);
    EXPECT_EQ(buffer.Text(), L"Status=536870912");
}

TEST(StringCb, CountsBytesOfTheHostWideCharacter) {
    // 8 bytes hold two host characters: one and the terminator.
    Buffer<4> buffer;
    EXPECT_EQ(StringCbCopyW(buffer.chars, 2 * sizeof(wchar_t), L"abc"),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer.Text(), L"a");
    EXPECT_EQ(buffer.chars[2], L'#');

    EXPECT_EQ(StringCbCopyW(buffer.chars, sizeof buffer.chars, L"ab"), S_OK);
    EXPECT_EQ(StringCbCatW(buffer.chars, sizeof buffer.chars, L"cd"),
              STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(buffer.Text(), L"abc");

    EXPECT_EQ(StringCbPrintfW(buffer.chars, sizeof buffer.chars - 1, L"%02d", 7), S_OK);
    EXPECT_EQ(buffer.Text(), L"07");
    EXPECT_EQ(StringCbCopyW(buffer.chars, sizeof(wchar_t) - 1, L""), STRSAFE_E_INVALID_PARAMETER);
}

}  // namespace
