// The power status and the system power state as device code reads them, and as the host changes
// them.
#include <cstring>
#include <cwchar>

#include <windows.h>
#include <pm.h>

#include "host/power.h"
#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using PowerStatusTest = SimulatedDeviceTest;

SYSTEM_POWER_STATUS_EX ReadStatus() {
    SYSTEM_POWER_STATUS_EX status;
    std::memset(&status, 0xCC, sizeof status);
    EXPECT_TRUE(GetSystemPowerStatusEx(&status, FALSE));
    return status;
}

TEST_F(PowerStatusTest, BootsOnAFullBatteryAndChargesOnExternalPower) {
    SYSTEM_POWER_STATUS_EX status = ReadStatus();
    EXPECT_EQ(AC_LINE_OFFLINE, status.ACLineStatus);
    EXPECT_EQ(BATTERY_FLAG_HIGH, status.BatteryFlag);
    EXPECT_EQ(100, status.BatteryLifePercent);
    EXPECT_EQ(BATTERY_LIFE_UNKNOWN, status.BatteryLifeTime);
    EXPECT_EQ(BATTERY_LIFE_UNKNOWN, status.BatteryFullLifeTime);
    EXPECT_EQ(BATTERY_FLAG_UNKNOWN, status.BackupBatteryFlag);
    EXPECT_EQ(BATTERY_PERCENTAGE_UNKNOWN, status.BackupBatteryLifePercent);
    EXPECT_EQ(BATTERY_LIFE_UNKNOWN, status.BackupBatteryLifeTime);
    EXPECT_EQ(BATTERY_LIFE_UNKNOWN, status.BackupBatteryFullLifeTime);
    EXPECT_FALSE(power::ExternalPower());

    SetLastError(0);
    EXPECT_FALSE(GetSystemPowerStatusEx(nullptr, TRUE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    // External power sets the line and charges the battery.
    power::SetExternalPower(true);
    status = ReadStatus();
    EXPECT_EQ(AC_LINE_ONLINE, status.ACLineStatus);
    EXPECT_EQ(BATTERY_FLAG_HIGH | BATTERY_FLAG_CHARGING, status.BatteryFlag);
    EXPECT_EQ(100, status.BatteryLifePercent);
    EXPECT_TRUE(power::ExternalPower());
    power::SetExternalPower(false);
    status = ReadStatus();
    EXPECT_EQ(AC_LINE_OFFLINE, status.ACLineStatus);
    EXPECT_EQ(BATTERY_FLAG_HIGH, status.BatteryFlag);
}

TEST_F(PowerStatusTest, StateNameAndFlagsWithBufferChecks) {
    WCHAR name[100];
    DWORD flags = 0;
    ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetSystemPowerState(name, 100, &flags));
    EXPECT_STREQ(L"on", name);
    EXPECT_EQ(static_cast<DWORD>(POWER_STATE_ON), flags);

    ASSERT_TRUE(power::SetSystemPowerState(L"BacklightOff"));  // any case
    // The name needs its terminator: 12 characters do not hold "backlightoff".
    wmemset(name, L'#', 100);
    flags = 0;
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetSystemPowerState(name, 12, &flags));
    EXPECT_EQ(L'#', name[0]);
    EXPECT_EQ(0u, flags);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetSystemPowerState(name, 13, &flags));
    EXPECT_STREQ(L"backlightoff", name);
    EXPECT_EQ(L'#', name[13]);
    EXPECT_EQ(static_cast<DWORD>(POWER_STATE_ON), flags);

    // Only the flags; a name may be left out too.
    ASSERT_TRUE(power::SetSystemPowerState(L"unattended"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetSystemPowerState(nullptr, 0, &flags));
    EXPECT_EQ(static_cast<DWORD>(POWER_STATE_UNATTENDED), flags);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetSystemPowerState(name, 100, nullptr));
    EXPECT_STREQ(L"unattended", name);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetSystemPowerState(nullptr, 5, &flags));
}

TEST_F(PowerStatusTest, EveryKnownStateCarriesItsFlagsAndUnknownNamesChangeNothing) {
    const struct {
        const wchar_t* name;
        DWORD flags;
    } states[] = {
        {L"useridle", POWER_STATE_USERIDLE},
        {L"suspend", POWER_STATE_SUSPEND},
        {L"resuming", 0},
        {L"unattended", POWER_STATE_UNATTENDED},
        {L"backlightoff", POWER_STATE_ON},
        {L"on", POWER_STATE_ON},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(::testing::Message() << "state " << state.name);
        ASSERT_TRUE(power::SetSystemPowerState(state.name));
        power::SystemPowerState current = power::CurrentSystemPowerState();
        EXPECT_EQ(state.name, current.name);
        EXPECT_EQ(state.flags, current.flags);
        WCHAR name[32];
        DWORD flags = 0xFFFFFFFF;
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetSystemPowerState(name, 32, &flags));
        EXPECT_STREQ(state.name, name);
        EXPECT_EQ(state.flags, flags);
    }
    ASSERT_TRUE(power::SetSystemPowerState(L"USERIDLE"));
    EXPECT_FALSE(power::SetSystemPowerState(L"hibernate"));
    EXPECT_FALSE(power::SetSystemPowerState(L""));
    EXPECT_EQ(L"useridle", power::CurrentSystemPowerState().name);
}

// The status and the state belong to the device: the next one boots afresh.
TEST(PowerPerDeviceTest, ANewDeviceBootsWithTheDefaultPower) {
    DeviceOptions options;
    options.clock = ClockMode::Simulated;
    {
        Device device(options);
        power::SetExternalPower(true);
        ASSERT_TRUE(power::SetSystemPowerState(L"suspend"));
    }
    Device device(options);
    EXPECT_FALSE(power::ExternalPower());
    SYSTEM_POWER_STATUS_EX status = ReadStatus();
    EXPECT_EQ(AC_LINE_OFFLINE, status.ACLineStatus);
    EXPECT_EQ(BATTERY_FLAG_HIGH, status.BatteryFlag);
    EXPECT_EQ(L"on", power::CurrentSystemPowerState().name);
    EXPECT_EQ(static_cast<uint32_t>(POWER_STATE_ON), power::CurrentSystemPowerState().flags);
}

}  // namespace
}  // namespace tovarin::kernel::testing
