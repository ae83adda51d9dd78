// The drivers as device code reaches them after boot: by device name through CreateFileW and
// DeviceIoControl, and through KernelIoControl.
#include <windows.h>
#include <pkfuncs.h>
#include <pm.h>

#include "booted_emulator.h"
#include "common/names.h"

namespace tovarin::emulator::testing {
namespace {

class DeviceDriversTest : public BootedEmulatorTest {
  protected:
    void SetUp() override { Boot(); }

    // Sends one control call to a device opened by name.
    static BOOL Control(const wchar_t* device, DWORD code, void* input, DWORD input_size,
                        void* output, DWORD output_size, DWORD* returned) {
        HANDLE handle =
            CreateFileW(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(handle, INVALID_HANDLE_VALUE) << device;
        BOOL done = DeviceIoControl(handle, code, input, input_size, output, output_size, returned,
                                    nullptr);
        CloseHandle(handle);
        return done;
    }
};

TEST_F(DeviceDriversTest, EveryDriverAnswersDeviceCode) {
    const DeviceDrivers& drivers = emulator().drivers();
    EXPECT_TRUE(
        Control(kDeviceKeyboard, kIoctlKeyboardCallModeOn, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_TRUE(drivers.keyboard->call_mode());

    DWORD route[2] = {kRingToneRouteCommand, kRingToneRouteHeadset};
    EXPECT_TRUE(Control(kDeviceRingToneRouter, kIoctlRingToneRoute, route, sizeof route, nullptr, 0,
                        nullptr));
    EXPECT_EQ(drivers.ring_tone->route(), kRingToneRouteHeadset);

    CEDEVICE_POWER_STATE state = D4;
    DWORD returned = 0;
    EXPECT_TRUE(
        Control(kDeviceBacklight, IOCTL_POWER_SET, nullptr, 0, &state, sizeof state, &returned));
    EXPECT_EQ(returned, sizeof state);
    EXPECT_EQ(drivers.backlight->state(), D4);
    EXPECT_EQ(CountTraces(L"backlight off (D4)"), 1u);

    DWORD locked = 0;
    EXPECT_TRUE(KernelIoControl(kHalIoctlKeypadLock, &locked, sizeof locked, nullptr, 0, nullptr));
    EXPECT_TRUE(drivers.keypad_lock->locked());
}

}  // namespace
}  // namespace tovarin::emulator::testing
