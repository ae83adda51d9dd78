#include <locale.h>
#include <wchar.h>

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "testing/image_device.h"

namespace tovarin::kernel::testing {
namespace {

using WideOpenTest = ImageDeviceTest;

std::vector<std::wstring> ReadLines(FILE* stream) {
    std::vector<std::wstring> lines;
    wchar_t line[256];
    while (fgetws(line, 256, stream)) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST_F(WideOpenTest, ReadsUtf8LinesWithoutAFinalLineEndAndRewinds) {
    image_.AddFile("Windows/Quellbrooks.xml",
                   "<Name>Мама</Name>\n<PlayFile>\\Мои Приветствия\\мама.amr</PlayFile>\nконец");
    const locale_t thread_locale = uselocale(static_cast<locale_t>(0));

    FILE* list = _wfopen(L"\\windows\\QUELLBROOKS.xml", L"r");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(uselocale(static_cast<locale_t>(0)), thread_locale);  // restored at once

    std::vector<std::wstring> lines = ReadLines(list);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], L"<Name>Мама</Name>\n");
    EXPECT_EQ(lines[1], L"<PlayFile>\\Мои Приветствия\\мама.amr</PlayFile>\n");
    EXPECT_EQ(lines[2], L"конец");
    EXPECT_TRUE(feof(list));

    rewind(list);
    EXPECT_FALSE(feof(list));
    wchar_t first[8];
    ASSERT_NE(fgetws(first, 8, list), nullptr);  // cut to the buffer: 7 characters
    EXPECT_STREQ(first, L"<Name>М");
    EXPECT_EQ(fclose(list), 0);
}

TEST_F(WideOpenTest, TextModeDropsCarriageReturnsBeforeLineFeeds) {
    image_.AddFile("dos.txt", "первая\r\nвторая\r\nтретья");
    FILE* text = _wfopen(L"\\dos.txt", L"rt");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(ReadLines(text), (std::vector<std::wstring>{L"первая\n", L"вторая\n", L"третья"}));
    fclose(text);

    FILE* binary = _wfopen(L"\\dos.txt", L"rb");
    ASSERT_NE(binary, nullptr);
    EXPECT_EQ(ReadLines(binary)[0], L"первая\r\n");
    fclose(binary);
}

TEST_F(WideOpenTest, WritesAndAppendsUtf8) {
    FILE* out = _wfopen(L"\\out.txt", L"w");
    ASSERT_NE(out, nullptr);
    EXPECT_GE(fputws(L"Привет\n", out), 0);
    fclose(out);
    FILE* more = _wfopen(L"\\OUT.TXT", L"a");
    ASSERT_NE(more, nullptr);
    fputws(L"ещё", more);
    fclose(more);
    EXPECT_EQ(HostContent("out.txt"), "Привет\nещё");
}

TEST_F(WideOpenTest, FailuresSetErrnoAndTheLastError) {
    image_.AddFolder("Windows");
    errno = 0;
    EXPECT_EQ(_wfopen(L"\\Windows\\none.xml", L"r"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_wfopen(L"\\None\\none.xml", L"r"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    EXPECT_EQ(_wfopen(L"\\Windows\\x.txt", L"q"), nullptr);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(std::filesystem::exists(Host("Windows/x.txt")));
    EXPECT_EQ(_wfopen(L"\\Windows", L"r"), nullptr);
    EXPECT_EQ(errno, EACCES);

    image_.AddFile("ro.txt", "keep");
    ASSERT_TRUE(SetFileAttributesW(L"\\ro.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(_wfopen(L"\\ro.txt", L"w"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(HostContent("ro.txt"), "keep");
}

}  // namespace
}  // namespace tovarin::kernel::testing
