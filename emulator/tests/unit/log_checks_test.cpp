#include "console/log_checks.h"

#include <gtest/gtest.h>

namespace tovarin::emulator::console {
namespace {

using kernel::IoctlRecord;
using kernel::KeyRecord;
using kernel::LogEntry;
using kernel::MessageRecord;
using kernel::StartedRecord;
using kernel::TraceLine;

IoctlRecord Ioctl(std::wstring device, uint32_t code, std::vector<uint32_t> words) {
    IoctlRecord call{.device = std::move(device), .code = code};
    for (uint32_t word : words) {
        for (int shift = 0; shift < 32; shift += 8) {
            call.input.push_back(static_cast<uint8_t>(word >> shift));
        }
    }
    return call;
}

class LogChecks : public ::testing::Test {
  protected:
    std::vector<LogEntry> log = {
        {100, TraceLine{100, L"Ansley.dll", L"AutoAns 1\r\n"}},
        {150, KeyRecord{.vk = 0x72, .up = true}},
        {200, Ioctl(L"WAV1:", 0x001D000C, {0, 0x614, 0, 0, 0})},
        {300, StartedRecord{L"\\Windows\\Oxbane.exe", L""}},
        {400, MessageRecord{L"HHTaskBar", L"", 0x0484, 2, 0, false}},
        {500, TraceLine{500, L"phone", L"call ended\r\n"}},
    };
};

TEST_F(LogChecks, TraceMatchesASubstringOfTheTextAsWritten) {
    EXPECT_TRUE(CheckTrace(log, {L"AutoAns 1", false}).held);
    EXPECT_TRUE(CheckTrace(log, {L"ns 1\r", false}).held);
    EXPECT_FALSE(CheckTrace(log, {L"autoans 1", false}).held);  // case counts

    CheckResult missing = CheckTrace(log, {L"AutoAns 3", false});
    EXPECT_FALSE(missing.held);
    ASSERT_EQ(missing.found.size(), 2u);  // the trace lines that were there
    EXPECT_NE(missing.found[0].find("Ansley.dll: AutoAns 1"), std::string::npos);
    EXPECT_NE(missing.found[1].find("phone: call ended"), std::string::npos);
}

TEST_F(LogChecks, NegatedTraceShowsTheLineThatShouldNotBeThere) {
    EXPECT_TRUE(CheckTrace(log, {L"AutoAns 3", true}).held);
    CheckResult present = CheckTrace(log, {L"call ended", true});
    EXPECT_FALSE(present.held);
    ASSERT_EQ(present.found.size(), 1u);
    EXPECT_NE(present.found[0].find("0.500"), std::string::npos);
}

TEST_F(LogChecks, AnEmptyWindowReportsThatNothingHappened) {
    CheckResult result = CheckTrace({}, {L"AutoAns", false});
    EXPECT_FALSE(result.held);
    ASSERT_EQ(result.found.size(), 1u);
    EXPECT_NE(result.found[0].find("no trace lines"), std::string::npos);
    EXPECT_TRUE(CheckTrace({}, {L"AutoAns", true}).held);
}

TEST_F(LogChecks, IoctlMatchesDeviceCodeAndLeadingWords) {
    EXPECT_TRUE(CheckIoctl(log, {L"WAV1:", 0x001D000C, {}, false}).held);
    EXPECT_TRUE(CheckIoctl(log, {L"wav1:", 0x001D000C, {0, 0x614}, false}).held);
    EXPECT_TRUE(CheckIoctl(log, {L"WAV1:", 0x001D000C, {0, 0x614, 0, 0, 0}, false}).held);
    EXPECT_FALSE(CheckIoctl(log, {L"WAV1:", 0x001D000C, {0, 0x615}, false}).held);
    EXPECT_FALSE(CheckIoctl(log, {L"WAV1:", 0x001D000C, {0, 0x614, 0, 0, 0, 0}, false}).held);
    EXPECT_FALSE(CheckIoctl(log, {L"WAV1:", 0x001D0010, {}, false}).held);
    EXPECT_FALSE(CheckIoctl(log, {L"KBM0:", 0x001D000C, {}, false}).held);
}

TEST_F(LogChecks, NegatedIoctlWithAndWithoutCode) {
    EXPECT_FALSE(CheckIoctl(log, {L"WAV1:", std::nullopt, {}, true}).held);
    EXPECT_FALSE(CheckIoctl(log, {L"WAV1:", 0x001D000C, {}, true}).held);
    EXPECT_TRUE(CheckIoctl(log, {L"WAV1:", 0x45600001, {}, true}).held);
    EXPECT_TRUE(CheckIoctl(log, {L"HAL", std::nullopt, {}, true}).held);
}

TEST_F(LogChecks, KeyCountsOnlyAPress) {
    // The log holds only the release of 0x72.
    EXPECT_FALSE(CheckKey(log, {0x72, false}).held);
    EXPECT_TRUE(CheckKey(log, {0x72, true}).held);
    log.push_back({600, KeyRecord{.vk = 0x72, .up = false}});
    EXPECT_TRUE(CheckKey(log, {0x72, false}).held);
    EXPECT_FALSE(CheckKey(log, {0x72, true}).held);
    EXPECT_FALSE(CheckKey(log, {0x73, false}).held);
}

TEST_F(LogChecks, StartedByFileNameOrByWholePath) {
    EXPECT_TRUE(CheckStarted(log, {L"Oxbane.exe", false}).held);
    EXPECT_TRUE(CheckStarted(log, {L"OXBANE.EXE", false}).held);
    EXPECT_TRUE(CheckStarted(log, {L"\\Windows\\Oxbane.exe", false}).held);
    EXPECT_FALSE(CheckStarted(log, {L"\\Temp\\Oxbane.exe", false}).held);
    EXPECT_FALSE(CheckStarted(log, {L"Oxbane", false}).held);
    EXPECT_TRUE(CheckStarted(log, {L"Drumlet.exe", true}).held);
    EXPECT_FALSE(CheckStarted(log, {L"Oxbane.exe", true}).held);
}

TEST_F(LogChecks, MessageByClassMessageAndOptionalWParam) {
    EXPECT_TRUE(CheckMessage(log, {L"HHTaskBar", 0x0484, std::nullopt, false}).held);
    EXPECT_TRUE(CheckMessage(log, {L"hhtaskbar", 0x0484, 2, false}).held);
    EXPECT_FALSE(CheckMessage(log, {L"HHTaskBar", 0x0484, 3, false}).held);
    EXPECT_FALSE(CheckMessage(log, {L"Dialog", 0x0484, std::nullopt, false}).held);
    EXPECT_TRUE(CheckMessage(log, {L"Dialog", 0x0111, 2, true}).held);
    EXPECT_FALSE(CheckMessage(log, {L"HHTaskBar", 0x0484, std::nullopt, true}).held);
}

TEST(LogChecksLimits, AFailureShowsOnlyTheLatestEntries) {
    std::vector<LogEntry> log;
    for (uint64_t i = 0; i < 30; ++i) {
        log.push_back({i, TraceLine{i, L"x", L"line " + std::to_wstring(i) + L"\r\n"}});
    }
    CheckResult result = CheckTrace(log, {L"absent", false});
    ASSERT_FALSE(result.held);
    ASSERT_EQ(result.found.size(), 13u);
    EXPECT_NE(result.found.front().find("18 earlier"), std::string::npos);
    EXPECT_NE(result.found.back().find("line 29"), std::string::npos);
}

}  // namespace
}  // namespace tovarin::emulator::console
