// The device's texts cross between UTF-16 (its records and exported files), UTF-8 (the host's
// files) and wide strings through one codec: characters past U+FFFF survive every crossing,
// and malformed input is kept, replaced or refused as each reader needs, never misread.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernel/strings/utf16.h"
#include "host/text.h"

#include <windows.h>

namespace tovarin::kernel {
namespace {

std::u16string UnitsOfBytes(const std::vector<unsigned char>& bytes, ByteOrder order) {
    return Utf16Units(std::as_bytes(std::span(bytes)), order);
}

TEST(TextCodecTest, SurrogatePairsBecomeOneCharacterAndBack) {
    // U+1F600 is D83D DE00 in UTF-16 and F0 9F 98 80 in UTF-8.
    const std::u16string units = u"A\xD83D\xDE00Я";
    const std::wstring wide = L"A\U0001F600Я";
    EXPECT_EQ(wide, Utf16ToWide(units, LoneSurrogates::Keep));
    EXPECT_EQ(wide, WellFormedUtf16ToWide(units));
    EXPECT_EQ(units, WideToUtf16(wide, LoneSurrogates::Replace));
    EXPECT_EQ("A\xF0\x9F\x98\x80\xD0\xAF", WideToUtf8(wide));
    EXPECT_EQ(wide, Utf8ToWide("A\xF0\x9F\x98\x80\xD0\xAF"));
    // A pair spelled as two wide characters is one character in UTF-8.
    EXPECT_EQ("\xF0\x9F\x98\x80", WideToUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}));
    // The highest code point, and the edges of each UTF-8 length.
    const std::wstring edges = {wchar_t(0x7F),   wchar_t(0x80),    wchar_t(0x7FF),   wchar_t(0x800),
                                wchar_t(0xFFFF), wchar_t(0x10000), wchar_t(0x10FFFF)};
    EXPECT_EQ(edges, Utf8ToWide(WideToUtf8(edges)));
    EXPECT_EQ(edges, Utf16ToWide(WideToUtf16(edges, LoneSurrogates::Keep), LoneSurrogates::Keep));
    EXPECT_EQ(u"\xDBFF\xDFFF",
              WideToUtf16(std::wstring(1, wchar_t(0x10FFFF)), LoneSurrogates::Keep));
}

TEST(TextCodecTest, BytesGiveUnitsInEitherOrder) {
    EXPECT_EQ(u"\x0422\xD83D", UnitsOfBytes({0x22, 0x04, 0x3D, 0xD8}, ByteOrder::LittleEndian));
    EXPECT_EQ(u"\x0422\xD83D", UnitsOfBytes({0x04, 0x22, 0xD8, 0x3D}, ByteOrder::BigEndian));
    // An odd last byte is no unit.
    EXPECT_EQ(u"\x0422", UnitsOfBytes({0x22, 0x04, 0x41}, ByteOrder::LittleEndian));
}

TEST(TextCodecTest, LoneSurrogatesAreKeptReplacedOrRefused) {
    const std::u16string lone_high_at_end = u"A\xD83D";
    const std::u16string lone_low = u"\xDE00\x42";            // then 'B'
    const std::u16string high_before_letter = u"\xD83D\x43";  // then 'C'
    const std::u16string two_highs_then_low = u"\xD83D\xD83D\xDE00";

    EXPECT_EQ((std::wstring{L'A', wchar_t(0xD83D)}),
              Utf16ToWide(lone_high_at_end, LoneSurrogates::Keep));
    EXPECT_EQ(L"A\xFFFD", Utf16ToWide(lone_high_at_end, LoneSurrogates::Replace));
    EXPECT_EQ(L"\xFFFD\x42", Utf16ToWide(lone_low, LoneSurrogates::Replace));
    EXPECT_EQ(L"\xFFFD\x43", Utf16ToWide(high_before_letter, LoneSurrogates::Replace));
    // The second high surrogate pairs with the low one; only the first stands alone.
    EXPECT_EQ(L"\xFFFD\U0001F600", Utf16ToWide(two_highs_then_low, LoneSurrogates::Replace));
    EXPECT_EQ((std::wstring{wchar_t(0xD83D), wchar_t(0x1F600)}),
              Utf16ToWide(two_highs_then_low, LoneSurrogates::Keep));

    EXPECT_EQ(std::nullopt, WellFormedUtf16ToWide(lone_high_at_end));
    EXPECT_EQ(std::nullopt, WellFormedUtf16ToWide(lone_low));
    EXPECT_EQ(std::nullopt, WellFormedUtf16ToWide(high_before_letter));
    EXPECT_EQ(std::nullopt, WellFormedUtf16ToWide(two_highs_then_low));

    // Wide text: a lone surrogate is kept or replaced; a value past U+10FFFF is always replaced.
    const std::wstring wide = {wchar_t(0xDC00), wchar_t(0x110000)};
    EXPECT_EQ(u"\xDC00\xFFFD", WideToUtf16(wide, LoneSurrogates::Keep));
    EXPECT_EQ(u"\xFFFD\xFFFD", WideToUtf16(wide, LoneSurrogates::Replace));
    EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", WideToUtf8(wide));
}

TEST(TextCodecTest, Utf16TextFilesReadAsUtf8OnlyWhenWellFormed) {
    const std::string little{"\x22\x04\x35\x04\x3D\xD8\x00\xDE", 8};  // "Те" and U+1F600
    const std::string big{"\x04\x22\x04\x35\xD8\x3D\xDE\x00", 8};
    EXPECT_EQ("\xD0\xA2\xD0\xB5\xF0\x9F\x98\x80", Utf16TextToUtf8(little, ByteOrder::LittleEndian));
    EXPECT_EQ("\xD0\xA2\xD0\xB5\xF0\x9F\x98\x80", Utf16TextToUtf8(big, ByteOrder::BigEndian));
    EXPECT_EQ(std::nullopt, Utf16TextToUtf8(little.substr(0, 7), ByteOrder::LittleEndian));
    EXPECT_EQ(std::nullopt, Utf16TextToUtf8(little.substr(0, 6), ByteOrder::LittleEndian));
    const std::string lone_low{"\x00\xDE\x41\x00", 4};            // DE00 'A'
    const std::string high_before_letter{"\xD8\x3D\x00\x41", 4};  // D83D 'A'
    EXPECT_EQ(std::nullopt, Utf16TextToUtf8(lone_low, ByteOrder::LittleEndian));
    EXPECT_EQ(std::nullopt, Utf16TextToUtf8(high_before_letter, ByteOrder::BigEndian));
    EXPECT_EQ("", Utf16TextToUtf8("", ByteOrder::LittleEndian));
}

TEST(TextCodecTest, InvalidUtf8BecomesOneReplacementPerByteAndDecodingGoesOn) {
    EXPECT_EQ(L"\xFFFD\xFFFD/", Utf8ToWide("\xC0\xAF/"));                    // overlong '/'
    EXPECT_EQ(L"\xFFFD\xFFFD\xFFFD", Utf8ToWide("\xED\xA0\x80"));            // an encoded surrogate
    EXPECT_EQ(L"\xFFFD\xFFFD\xFFFD\xFFFD", Utf8ToWide("\xF4\x90\x80\x80"));  // past U+10FFFF
    EXPECT_EQ(L"\xFFFD\xFFFD\x41", Utf8ToWide("\xE2\x82\x41"));              // cut short before 'A'
    EXPECT_EQ(L"\xFFFD\x42", Utf8ToWide("\x80\x42"));  // a continuation with no lead, then 'B'
    EXPECT_EQ(L"\xFFFD", Utf8ToWide("\xFF"));
    // A zero byte inside the text is a character, not the end.
    EXPECT_EQ((std::wstring{L'a', L'\0', L'b'}), Utf8ToWide(std::string_view("a\0b", 3)));
}

// Device code reads UTF-8 files through MultiByteToWideChar: the count first, then the text.
TEST(TextCodecTest, MultiByteToWideCharConvertsUtf8AsTheCodecDoes) {
    const char text[] = "Справка \xF0\x9F\x98\x80\xFF";
    const std::wstring expected = L"Справка \U0001F600\uFFFD";
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0),
              static_cast<int>(expected.size()) + 1);
    wchar_t wide[32] = {};
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 32),
              static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(std::wstring(wide), expected);
    // A counted text has no terminator of its own.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, 4, wide, 32), 2);

    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(MultiByteToWideChar(1251, 0, text, -1, wide, 32), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace tovarin::kernel
