// The drivers' answers to the control calls the suite sends and to those it must not send: a
// refused call fails with the driver's error and changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "common/names.h"
#include "drivers/backlight_driver.h"
#include "drivers/keyboard_driver.h"
#include "drivers/keypad_lock_control.h"
#include "drivers/ring_tone_router.h"

namespace tovarin::emulator {
namespace {

std::vector<uint8_t> Words(std::initializer_list<uint32_t> words) {
    std::vector<uint8_t> bytes(words.size() * sizeof(uint32_t));
    std::memcpy(bytes.data(), std::data(words), bytes.size());
    return bytes;
}

struct Case {
    uint32_t code;
    std::vector<uint8_t> input;
    std::vector<uint8_t> output;
    uint32_t error;  // ERROR_SUCCESS: the call is accepted
};

// Sends the cases in order; the answered output, when accepted, must equal the output sent.
void Expect(kernel::Driver& driver, const std::vector<Case>& cases) {
    for (size_t i = 0; i < cases.size(); ++i) {
        Case call = cases[i];
        uint32_t returned = 0;
        uint32_t error = ERROR_SUCCESS;
        bool ok = driver.IoControl(call.code, call.input, call.output, &returned, &error);
        EXPECT_EQ(ok, cases[i].error == ERROR_SUCCESS) << "case " << i;
        EXPECT_EQ(error, cases[i].error) << "case " << i;
        EXPECT_EQ(call.output, cases[i].output) << "case " << i;
        EXPECT_EQ(returned, ok ? cases[i].output.size() : 0u) << "case " << i;
    }
}

constexpr uint32_t kOk = ERROR_SUCCESS;
constexpr uint32_t kBadInput = ERROR_INVALID_PARAMETER;
constexpr uint32_t kUnknown = ERROR_NOT_SUPPORTED;

TEST(Drivers, KeyboardSwitchesCallModeOnTheTwoCodesWithoutBuffers) {
    KeyboardDriver keyboard;
    EXPECT_FALSE(keyboard.call_mode());
    Expect(keyboard, {{kIoctlKeyboardCallModeOn, {}, {}, kOk},
                      {kIoctlKeyboardCallModeOff, Words({0}), {}, kBadInput},
                      {kIoctlKeyboardCallModeOff, {}, Words({0}), kBadInput},
                      {0x45600002, {}, {}, kUnknown}});
    EXPECT_TRUE(keyboard.call_mode());
    Expect(keyboard, {{kIoctlKeyboardCallModeOff, {}, {}, kOk}});
    EXPECT_FALSE(keyboard.call_mode());
}

TEST(Drivers, RingToneRouterTakesTheTwoRoutes) {
    RingToneRouter router;
    EXPECT_EQ(router.route(), RingToneRouter::kNoRoute);
    std::vector<uint8_t> seven_bytes = Words({kRingToneRouteCommand, kRingToneRouteSpeaker});
    seven_bytes.pop_back();
    Expect(router,
           {{kIoctlRingToneRoute, Words({kRingToneRouteCommand, kRingToneRouteHeadset}), {}, kOk},
            {kIoctlRingToneRoute, seven_bytes, {}, kBadInput},
            {kIoctlRingToneRoute, Words({0x5A01, kRingToneRouteSpeaker}), {}, kBadInput},
            {kIoctlRingToneRoute, Words({kRingToneRouteCommand, 0x5A03}), {}, kBadInput},
            {2, Words({kRingToneRouteCommand, kRingToneRouteSpeaker}), {}, kUnknown}});
    EXPECT_EQ(router.route(), kRingToneRouteHeadset);
    Expect(router,
           {{kIoctlRingToneRoute, Words({kRingToneRouteCommand, kRingToneRouteSpeaker}), {}, kOk}});
    EXPECT_EQ(router.route(), kRingToneRouteSpeaker);
}

TEST(Drivers, BacklightTakesTheStateInItsOutputAndAnswersItBack) {
    BacklightDriver backlight;
    EXPECT_EQ(backlight.state(), D0);
    Expect(backlight, {{IOCTL_POWER_SET, {}, Words({D1}), kOk},
                       {IOCTL_POWER_SET, {}, Words({D4}), kOk},
                       // The state travels in the output; an input alone is not enough.
                       {IOCTL_POWER_SET, Words({D0}), {}, kBadInput},
                       {IOCTL_POWER_SET, {}, {0, 0, 0}, kBadInput},
                       {IOCTL_POWER_SET, {}, Words({PwrDeviceMaximum}), kBadInput},
                       {IOCTL_POWER_GET, {}, Words({D0}), kUnknown}});
    EXPECT_EQ(backlight.state(), D4);
}

TEST(Drivers, KeypadLocksOnZeroAndUnlocksOnOne) {
    KeypadLockControl keypad;
    EXPECT_FALSE(keypad.locked());
    Expect(keypad, {{kHalIoctlKeypadLock, Words({0}), {}, kOk},
                    {kHalIoctlKeypadLock, Words({2}), {}, kBadInput},
                    {kHalIoctlKeypadLock, {1, 0}, {}, kBadInput},
                    {kHalIoctlKeypadLock + 4, Words({1}), {}, kUnknown}});
    EXPECT_TRUE(keypad.locked());
    Expect(keypad, {{kHalIoctlKeypadLock, Words({1}), {}, kOk}});
    EXPECT_FALSE(keypad.locked());
}

}  // namespace
}  // namespace tovarin::emulator
