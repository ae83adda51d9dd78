// Device drivers of the phone that the services drive, and the maker's control codes they send.
// The emulator's drivers answer to the same names and codes.
#pragma once

#include <cstdint>

// Wave driver; the answering service sends it one driver message before it answers a call.
inline constexpr wchar_t kDeviceWave[] = L"WAV1:";
// Keyboard driver; the call-recording service switches its call mode on and off.
inline constexpr wchar_t kDeviceKeyboard[] = L"KBM0:";
// Backlight driver; the device-event listener switches the backlight on through it.
inline constexpr wchar_t kDeviceBacklight[] = L"BKL1:";
// Ring-tone router; the device-event listener routes the ring to the headset or the speaker.
inline constexpr wchar_t kDeviceRingToneRouter[] = L"RUT1:";

// kDeviceWave control that carries a wave driver message (five 32-bit words: device, message,
// user, parameter 1, parameter 2).
inline constexpr uint32_t kIoctlWaveMessage = 0x001D000C;
// The wave driver message that the answering service sends with parameter 1 = 0 before it
// presses the talk key.
inline constexpr uint32_t kWaveMessageBeforeAnswer = 0x614;

// kDeviceKeyboard controls, sent without buffers: call mode on while a call is in progress with
// call recording enabled, off when the call is over.
inline constexpr uint32_t kIoctlKeyboardCallModeOn = 0x45600001;
inline constexpr uint32_t kIoctlKeyboardCallModeOff = 0x45600000;

// Hardware-abstraction control (KernelIoControl) that locks or unlocks the keypad; its input is
// one 32-bit flag, 1 when "KeyPad Lock" is 0 and 0 otherwise.
inline constexpr uint32_t kHalIoctlKeypadLock = 0x01013FFC;

// kDeviceRingToneRouter control; its input is two 32-bit words, kRingToneRouteCommand and the
// route.
inline constexpr uint32_t kIoctlRingToneRoute = 1;
inline constexpr uint32_t kRingToneRouteCommand = 0x5A00;
// Route when "HeadSet Ring" is not 0.
inline constexpr uint32_t kRingToneRouteHeadset = 0x5A01;
// Route when "HeadSet Ring" is 0.
inline constexpr uint32_t kRingToneRouteSpeaker = 0x5A02;
