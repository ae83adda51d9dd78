// Starting and stopping the listener: what EVL_Deinit waits for, how soon the setting watchers
// end, a restart, and the theme library.
#include "host/power.h"
#include "listener_fixture.h"

namespace wexmoor_testing {
namespace {

using tovarin::kernel::AdvanceDeviceTime;
using tovarin::kernel::WaitForDeviceIdle;
namespace power = tovarin::kernel::power;

const DWORD kDriverBusyMs = 3000;

TEST_F(ListenerTest, DeinitReturnsOnlyAfterThePowerWatcherHasEnded) {
    tovarin::kernel::RegisterDriver(kDeviceBacklight, std::make_shared<BusyDriver>(kDriverBusyMs));
    StartListener();
    power::SetExternalPower(true);
    WaitForDeviceIdle();  // the power watcher is inside the backlight driver now
    const uint64_t stopped = device_.NowMs();
    EXPECT_EQ(EVL_Deinit(0), 0);
    EXPECT_GE(device_.NowMs(), stopped + kDriverBusyMs);
}

TEST_F(ListenerTest, DeinitReturnsOnlyAfterTheBacklightWatcherHasEnded) {
    tovarin::kernel::RegisterDriver(kDeviceBacklight, std::make_shared<BusyDriver>(kDriverBusyMs));
    SetBacklightTaps(1, 0);
    StartListener();
    SignalBacklightChange();  // the backlight watcher is inside the driver now
    const uint64_t stopped = device_.NowMs();
    EXPECT_EQ(EVL_Deinit(0), 0);
    EXPECT_GE(device_.NowMs(), stopped + kDriverBusyMs);
}

TEST_F(ListenerTest, SettingWatchersEndWithinTheStopBoundAndHearNothingMore) {
    StartListener();
    ASSERT_EQ(QueueReaders(kQueueHardwareKeyLock), 1);
    ASSERT_EQ(QueueReaders(kQueueRingToneHeadsetSpeakerState), 1);

    // Deinit does not wait for them, and they end well inside the bound: the stop event wakes
    // them, no time-out has to pass.
    const uint64_t stopped = device_.NowMs();
    EXPECT_EQ(EVL_Deinit(0), 0);
    EXPECT_EQ(device_.NowMs(), stopped);
    WaitForDeviceIdle();
    EXPECT_EQ(device_.NowMs(), stopped);
    EXPECT_EQ(QueueReaders(kQueueHardwareKeyLock), 0);
    EXPECT_EQ(QueueReaders(kQueueRingToneHeadsetSpeakerState), 0);
    AdvanceDeviceTime(kSettingWatcherStopTimeoutMs);

    Mark();
    SetMySetting(kValueKeyPadLock, 1);
    SetMySetting(kValueHeadSetRing, 1);
    power::SetExternalPower(true);
    SignalBacklightChange();
    EXPECT_TRUE(IoctlsSinceMark(L"HAL").empty());
    EXPECT_TRUE(IoctlsSinceMark(L"RUT1:").empty());
    EXPECT_TRUE(IoctlsSinceMark(L"BKL1:").empty());
}

// After a restart each change reaches the drivers exactly once: a watcher of the earlier start
// left running would answer it as well, one whose flag stayed clear would not answer at all.
// A keypad, a headset and a power change each reach their driver exactly once: one watcher of
// each kind runs, never two.
class ListenerRestartTest : public ListenerTest {
  protected:
    void ExpectOneCommandPerChange() {
        Mark();
        SetMySetting(kValueKeyPadLock, 1);
        SetMySetting(kValueHeadSetRing, 1);
        power::SetExternalPower(true);
        WaitForDeviceIdle();
        EXPECT_EQ(IoctlsSinceMark(L"HAL").size(), 1u);
        EXPECT_EQ(IoctlsSinceMark(L"RUT1:").size(), 1u);
        EXPECT_EQ(IoctlsSinceMark(L"BKL1:").size(), 1u);
    }
};

TEST_F(ListenerRestartTest, InitAfterDeinitStartsEveryWatcherAgain) {
    StartListener();
    EXPECT_EQ(EVL_Deinit(0), 0);
    StartListener();  // at once: the watchers of the first start may not have ended yet
    EXPECT_EQ(QueueReaders(kQueueHardwareKeyLock), 1);

    ExpectOneCommandPerChange();
}

TEST_F(ListenerRestartTest, InitWithoutDeinitReplacesTheEarlierWatchers) {
    StartListener();
    StartListener();

    ExpectOneCommandPerChange();
}

TEST_F(ListenerTest, EveryStartCallsTheThemeLibrary) {
    StartListener();
    EXPECT_EQ(g_themeNotifyCalls, 1);
    EXPECT_EQ(EVL_Deinit(0), 0);
    StartListener();
    EXPECT_EQ(g_themeNotifyCalls, 2);
}

TEST_F(ListenerTest, ThemeLibraryWithoutTheExportIsTracedAndTheServiceRuns) {
    ProvideThemeLibrary(false);
    StartListener();
    EXPECT_EQ(g_themeNotifyCalls, 0);
    EXPECT_TRUE(TraceContains(L"InitializeThemeNotify"));

    Mark();
    SetMySetting(kValueKeyPadLock, 1);
    EXPECT_EQ(IoctlsSinceMark(L"HAL").size(), 1u);
}

}  // namespace
}  // namespace wexmoor_testing
