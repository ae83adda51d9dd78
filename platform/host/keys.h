// The device's keypad, host side: the parts of the phone that listen to the keys outside any
// window (the phone application answers a ringing call on the talk key) observe them here.
//
// keybd_event records each key in the device log and then feeds it to the observers, then to the
// hot keys; a key that no hot key takes goes to the foreground window as WM_KEYDOWN / WM_KEYUP.
// Observers run on the thread that called keybd_event, with no platform lock held, so they may
// call the platform.
#pragma once

#include <cstdint>
#include <functional>

namespace tovarin::gwes {

// Registers an observer on the device that is up; returns its id for UnsubscribeKeys.
int SubscribeKeys(std::function<void(uint8_t vk, bool up)> observer);
void UnsubscribeKeys(int id);

}  // namespace tovarin::gwes
