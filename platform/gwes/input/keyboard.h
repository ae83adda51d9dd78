// The device's key input, host side. keybd_event records each key in the device log and then
// feeds it to the key observers below, then to the hot keys; a key that no hot key takes goes to
// the foreground window as WM_KEYDOWN / WM_KEYUP.
//
// Observers stand for the parts of the phone that listen to the keypad outside any window (the
// phone application answers a ringing call on the talk key). They run on the thread that called
// keybd_event, with no platform lock held, so they may call the platform.
#pragma once

#include <cstdint>
#include <functional>

#include <windef.h>

namespace tovarin::gwes {

// Registers an observer on the device that is up; returns its id for UnsubscribeKeys.
int SubscribeKeys(std::function<void(uint8_t vk, bool up)> observer);
void UnsubscribeKeys(int id);

}  // namespace tovarin::gwes

// coredll's "UnregisterFunc1": releases the hot key on the key `id` (a virtual key) with the
// modifier keys of fsModifiers, whoever registered it, so that the caller can register it in
// turn. MOD_KEYUP in fsModifiers does not matter. FALSE (ERROR_HOTKEY_NOT_REGISTERED) when no hot
// key was on that key.
TOVARIN_EXTERN_C BOOL WINAPI UnregisterFunc1(UINT fsModifiers, UINT id);
