// The device clock of an image: a fresh phone starts at 2026-01-01 00:00:00, a time set before
// boot is the one the phone boots with, and the time at shutdown is where the next boot goes on.
#include "image/device_clock.h"

#include <windows.h>

#include "booted_emulator.h"
#include "console/host_commands.h"

namespace tovarin::emulator::testing {
namespace {

class DeviceClockTest : public BootedEmulatorTest {
  protected:
    static SYSTEMTIME Local() {
        SYSTEMTIME now{};
        GetLocalTime(&now);
        return now;
    }
};

TEST_F(DeviceClockTest, AFreshImageStartsOnNewYearsDayAndASetTimeCarriesOver) {
    Boot();
    SYSTEMTIME fresh = Local();
    EXPECT_EQ(2026, fresh.wYear);
    EXPECT_EQ(1, fresh.wMonth);
    EXPECT_EQ(1, fresh.wDay);
    EXPECT_EQ(0, fresh.wHour);

    // Set while up, then 90 s of device time, then shut down: the image keeps 09:31:30.
    emulator().device().SetWallClockMs(*console::ParseLocalTime("2026-03-08 09:30:00"));
    kernel::AdvanceDeviceTime(90'000);
    emulator_.reset();
    EXPECT_EQ(*console::ParseLocalTime("2026-03-08 09:31:30"), ReadImageClock(image_.root()));

    // A time written before boot (the console's `time set` on an image that is not up).
    std::string error;
    ASSERT_TRUE(
        WriteImageClock(image_.root(), *console::ParseLocalTime("2027-12-31 23:59:59"), &error))
        << error;
    emulator_ = Emulator::Boot({image_.root(), kernel::ClockMode::Simulated}, &error);
    ASSERT_NE(nullptr, emulator_) << error;
    SYSTEMTIME set = Local();
    EXPECT_EQ(2027, set.wYear);
    EXPECT_EQ(12, set.wMonth);
    EXPECT_EQ(31, set.wDay);
    EXPECT_EQ(59, set.wSecond);
}

TEST(LocalTimeTextTest, TakesOnlyRealTimesInTheOneForm) {
    EXPECT_EQ(1'767'225'600'000, console::ParseLocalTime("2026-01-01 00:00:00"));
    EXPECT_TRUE(console::ParseLocalTime("2028-02-29 23:59:59"));
    EXPECT_FALSE(console::ParseLocalTime("2027-02-29 12:00:00"));  // not a leap year
    EXPECT_FALSE(console::ParseLocalTime("2026-01-01 24:00:00"));
    EXPECT_FALSE(console::ParseLocalTime("2026-1-01 00:00:00"));
    EXPECT_FALSE(console::ParseLocalTime("2026-01-01T00:00:00"));
    EXPECT_FALSE(console::ParseLocalTime("2026-01-01 00:00:00x"));
}

}  // namespace
}  // namespace tovarin::emulator::testing
