#include "console/log_format.h"

#include <gtest/gtest.h>

namespace tovarin::emulator::console {
namespace {

TEST(FormatDeviceTime, SecondsWithMilliseconds) {
    EXPECT_EQ(FormatDeviceTime(12500), "[   12.500]");
    EXPECT_EQ(FormatDeviceTime(0), "[    0.000]");
    EXPECT_EQ(FormatDeviceTime(123456789), "[123456.789]");
}

TEST(TraceTextLines, SplitsOnEveryKindOfLineEnd) {
    EXPECT_EQ(TraceTextLines(L"AutoAns 1\r\n"), std::vector<std::wstring>{L"AutoAns 1"});
    EXPECT_EQ(TraceTextLines(L"Out of memory!\n"), std::vector<std::wstring>{L"Out of memory!"});
    EXPECT_EQ(TraceTextLines(L"a\r\nb\nc\rd"), (std::vector<std::wstring>{L"a", L"b", L"c", L"d"}));
    EXPECT_EQ(TraceTextLines(L"a\r\n\r\nb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(TraceTextLines(L""), std::vector<std::wstring>{L""});
}

TEST(PrintedLines, ATraceLinePerLineWithTimeAndModule) {
    kernel::LogEntry entry{12500, kernel::TraceLine{12500, L"Ansley.dll", L"a\r\nb\r\n"}};
    EXPECT_EQ(PrintedLines(entry),
              (std::vector<std::string>{"[   12.500] Ansley.dll: a", "[   12.500] Ansley.dll: b"}));
}

TEST(PrintedLines, OtherEntriesAreMarked) {
    kernel::IoctlRecord call{.device = L"WAV1:", .code = 0x001D000C, .input = {0x14, 6, 0, 0}};
    EXPECT_EQ(PrintedLines({1, call}),
              std::vector<std::string>{"[    0.001] * ioctl WAV1: 0x001D000C 0x00000614"});
    EXPECT_EQ(PrintedLines({2, kernel::KeyRecord{.vk = 0x72, .up = false}}),
              std::vector<std::string>{"[    0.002] * key 0x72 down"});
    EXPECT_EQ(PrintedLines({3, kernel::StartedRecord{L"\\Windows\\Oxbane.exe", L""}}),
              std::vector<std::string>{"[    0.003] * started \\Windows\\Oxbane.exe"});
}

}  // namespace
}  // namespace tovarin::emulator::console
