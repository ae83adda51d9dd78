#include "phone/call_history.h"

#include <gtest/gtest.h>

#include "booted_emulator.h"
#include "host/device.h"

namespace tovarin::emulator::testing {
namespace {

using phone::CallAction;
using phone::CallDirection;
using phone::CallError;

ULONGLONG Seconds(const SYSTEMTIME& time) {
    FILETIME file_time{};
    EXPECT_TRUE(SystemTimeToFileTime(&time, &file_time));
    return ((static_cast<ULONGLONG>(file_time.dwHighDateTime) << 32) | file_time.dwLowDateTime) /
           10000000;
}

class CallHistoryTest : public BootedEmulatorTest {
  protected:
    void Miss(const std::wstring& number) {
        ASSERT_EQ(emulator().phone().Carry(CallAction::Incoming, number), CallError::None);
        ASSERT_EQ(emulator().phone().Carry(CallAction::Miss, L""), CallError::None);
    }
    void Reboot() {
        emulator_.reset();
        std::string error;
        emulator_ =
            Emulator::Boot(BootOptions{image_.root(), kernel::ClockMode::Simulated, {}}, &error);
        ASSERT_NE(emulator_, nullptr) << error;
        kernel::WaitForDeviceIdle();
    }
};

TEST_F(CallHistoryTest, KeepsTheLatestCallsNewestFirstAcrossAReboot) {
    Boot();
    for (int i = 0; i < 22; ++i) {
        Miss(L"55500" + std::to_wstring(10 + i));
    }
    std::vector<phone::CallRecord> history = phone::ReadCallHistory();
    ASSERT_EQ(history.size(), phone::kCallHistoryLimit);
    EXPECT_EQ(history.front().number, L"5550031");
    EXPECT_EQ(history.back().number, L"5550012");
    EXPECT_EQ(phone::UnseenMissedCalls(), 22u);

    Reboot();
    EXPECT_EQ(phone::ReadCallHistory(), history);
    EXPECT_EQ(phone::UnseenMissedCalls(), 22u);
    phone::MarkCallHistorySeen();
    Reboot();
    EXPECT_EQ(phone::UnseenMissedCalls(), 0u);
    EXPECT_EQ(phone::ReadCallHistory().size(), phone::kCallHistoryLimit);
}

TEST_F(CallHistoryTest, AnAnsweredCallIsKeptAtTheTimeItConnectedAndAWaitingOneAsMissed) {
    Boot();
    phone::PhoneApplication& phone = emulator().phone();
    ASSERT_EQ(phone.Carry(CallAction::Incoming, L""), CallError::None);
    ASSERT_EQ(phone.Carry(CallAction::Answer, L""), CallError::None);
    Sleep(1000);
    ASSERT_EQ(phone.Carry(CallAction::Second, L"5550002"), CallError::None);
    ASSERT_EQ(phone.Carry(CallAction::SecondEnd, L""), CallError::None);
    Sleep(64000);
    ASSERT_EQ(phone.Carry(CallAction::End, L""), CallError::None);
    Miss(L"5550003");

    const std::vector<phone::CallRecord> history = phone::ReadCallHistory();
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0].direction, CallDirection::Missed);
    EXPECT_EQ(history[1].direction, CallDirection::Incoming);
    EXPECT_EQ(history[1].number, L"");  // withheld
    EXPECT_EQ(history[2].direction, CallDirection::Missed);
    EXPECT_EQ(history[2].number, L"5550002");
    // The talk lasted 64.8 s: the entry is as old as the talk, not as the end.
    EXPECT_GE(Seconds(history[0].started) - Seconds(history[1].started), 64u);
    EXPECT_EQ(phone::UnseenMissedCalls(), 2u);
}

TEST(CallRecordText, AnEntryReadsBackAsWrittenAndADamagedOneIsNone) {
    phone::CallRecord record{CallDirection::Outgoing, {}, L"+7 912 555-01-23"};
    record.started.wYear = 2026;
    record.started.wMonth = 12;
    record.started.wDay = 7;
    record.started.wHour = 9;
    record.started.wMinute = 41;
    record.started.wSecond = 5;
    EXPECT_EQ(phone::CallRecordText(record), L"outgoing 2026-12-07 09:41:05 +7 912 555-01-23");
    EXPECT_EQ(phone::ParseCallRecord(phone::CallRecordText(record)), record);
    record.number.clear();
    EXPECT_EQ(phone::ParseCallRecord(phone::CallRecordText(record)), record);
    for (const wchar_t* damaged :
         {L"", L"missed", L"called 2026-12-07 09:41:05 5550001",
          L"missed 2026-13-07 09:41:05 5550001", L"missed 2026-12-07 09:61 5550001"}) {
        EXPECT_FALSE(phone::ParseCallRecord(damaged).has_value()) << damaged;
    }
}

}  // namespace
}  // namespace tovarin::emulator::testing
