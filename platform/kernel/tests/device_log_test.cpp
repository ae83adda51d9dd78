// The device log's bounds: whatever the mark asks it to keep, it holds at most kMostEntries
// entries and kMostBytes bytes of them, and says where what it holds begins.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/device_log.h"

namespace tovarin::kernel {
namespace {

LogEntry TraceEntry(uint64_t tick, std::wstring text) {
    return {tick, TraceLine{tick, L"Ansley.dll", std::move(text)}};
}

TEST(DeviceLogBounds, EntriesPastTheCountGoOldestFirstEvenSinceTheMark) {
    DeviceLog log;
    const size_t added = DeviceLog::kMostEntries + 25;
    for (size_t i = 0; i < added; ++i) {
        log.Add({i, KeyRecord{0x72, false}});
    }
    EXPECT_EQ(log.Size(), added);
    EXPECT_EQ(log.Kept(), DeviceLog::kMostEntries);
    EXPECT_EQ(log.FirstKept(), size_t{25});
    std::vector<LogEntry> since_boot = log.Since(0);
    ASSERT_EQ(since_boot.size(), DeviceLog::kMostEntries);
    EXPECT_EQ(since_boot.front().tick_ms, 25u);
    EXPECT_EQ(since_boot.back().tick_ms, added - 1);
}

TEST(DeviceLogBounds, EntriesPastTheBytesGoAndTheHistoryStaysWithinThem) {
    DeviceLog log;
    const std::wstring long_line(4096, L'x');
    const size_t each = EntryBytes(TraceEntry(0, long_line));
    ASSERT_GE(each, long_line.size() * sizeof(wchar_t));
    const size_t fit = DeviceLog::kMostBytes / each;
    for (size_t i = 0; i < fit + 10; ++i) {
        log.Add(TraceEntry(i, long_line));
    }
    EXPECT_EQ(log.Kept(), fit);
    EXPECT_EQ(log.FirstKept(), size_t{10});
    // A mark keeps at most the last kHistory entries before it, and cuts nothing after it.
    log.KeepFrom(log.Size());
    EXPECT_EQ(log.Kept(), std::min(fit, DeviceLog::kHistory));
    log.Add(TraceEntry(fit + 10, L"after the mark"));
    EXPECT_EQ(log.FirstKept() + log.Kept(), log.Size());
    ASSERT_EQ(log.Since(log.Size() - 1).size(), 1u);
}

}  // namespace
}  // namespace tovarin::kernel
