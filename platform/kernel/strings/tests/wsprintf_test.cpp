// wsprintfW and wvsprintfW: wide %s, the count they return and their 1024-character limit.
#include <cstdarg>
#include <string>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

int PrintThroughVaList(wchar_t* out, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const int written = wvsprintfW(out, fmt, args);
    va_end(args);
    return written;
}

TEST(Wsprintf, FormatsWideTextAndReturnsTheCount) {
    wchar_t out[1024];
    EXPECT_EQ(wsprintfW(out, L"%s %d", L"Телефонный Записи", -7), 20);
    EXPECT_STREQ(out, L"Телефонный Записи -7");
    EXPECT_EQ(PrintThroughVaList(out, L"%02d:%02d", 9, 5), 5);
    EXPECT_STREQ(out, L"09:05");
}

TEST(Wsprintf, OutputStopsAtTheDeviceLimit) {
    const std::wstring long_text(2000, L'x');
    std::wstring buffer(1100, L'#');
    EXPECT_EQ(wsprintfW(buffer.data(), L"%s", long_text.c_str()), 1023);
    EXPECT_EQ(buffer[1022], L'x');
    EXPECT_EQ(buffer[1023], L'\0');
    EXPECT_EQ(buffer[1024], L'#');
}

TEST(Wsprintf, NullPointersFailWithInvalidParameter) {
    wchar_t out[8] = L"keep";
    SetLastError(0);
    EXPECT_EQ(wsprintfW(nullptr, L"x"), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(wsprintfW(out, nullptr), 0);
    EXPECT_STREQ(out, L"keep");
}

}  // namespace
