// The backlight and power-status watchers: which power source's setting counts, and when a
// power-status broadcast switches the backlight on.
#include <pm.h>

#include "host/power.h"
#include "listener_fixture.h"

namespace wexmoor_testing {
namespace {

using tovarin::kernel::WaitForDeviceIdle;
namespace power = tovarin::kernel::power;

// Every call is the power-set control; returns how many there were.
size_t PowerSetCalls(const std::vector<IoctlRecord>& records) {
    for (const IoctlRecord& record : records) {
        EXPECT_EQ(record.code, static_cast<uint32_t>(IOCTL_POWER_SET));
    }
    return records.size();
}

TEST_F(ListenerTest, BacklightChangeWithMissingSettingsLeavesTheBacklightAlone) {
    StartListener();
    Mark();
    SignalBacklightChange();
    SetBacklightTaps(2, 2);  // only 1 asks for the backlight
    SignalBacklightChange();
    EXPECT_EQ(PowerSetCalls(IoctlsSinceMark(L"BKL1:")), 0u);
}

TEST_F(ListenerTest, BacklightChangeMadeManualResetByAnotherProcessActsOncePerSignal) {
    HANDLE madeFirst = CreateEventW(NULL, TRUE, FALSE, kEventBackLightChange);
    ASSERT_NE(madeFirst, static_cast<HANDLE>(NULL));
    SetBacklightTaps(1, 1);
    StartListener();

    Mark();
    SetEvent(madeFirst);
    WaitForDeviceIdle();
    EXPECT_EQ(PowerSetCalls(IoctlsSinceMark(L"BKL1:")), 1u);
    EXPECT_EQ(WaitForSingleObject(madeFirst, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(madeFirst);
}

}  // namespace
}  // namespace wexmoor_testing
