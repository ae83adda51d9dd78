// Key input that device code reaches by name only: coredll's "UnregisterFunc1" (the host side,
// the key observers, is host/keys.h).
#pragma once

#include <windef.h>

// coredll's "UnregisterFunc1": releases the hot key on the key `id` (a virtual key) with the
// modifier keys of fsModifiers, whoever registered it, so that the caller can register it in
// turn. MOD_KEYUP in fsModifiers does not matter. FALSE (ERROR_HOTKEY_NOT_REGISTERED) when no hot
// key was on that key.
TOVARIN_EXTERN_C BOOL WINAPI UnregisterFunc1(UINT fsModifiers, UINT id);
