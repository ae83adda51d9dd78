// Low-level keyboard hooks (SetWindowsHookExW with WH_KEYBOARD_LL): device procedures that see
// every key before the windows do. Each belongs to the thread that set it. The device's hooks
// have their own lock: keys are offered to them with no other lock held.
#pragma once

#include <windows.h>
#include <pwinuser.h>

#include <cstdint>
#include <vector>

namespace tovarin::gwes {

HHOOK AddKeyboardHook(HOOKPROC procedure, uint32_t thread_id);
bool RemoveKeyboardHook(HHOOK hook);
// A thread has ended: its hooks go with it.
void ForgetKeyboardHooksOf(uint32_t thread_id);
// The hooks' procedures, the latest set first.
std::vector<HOOKPROC> KeyboardHooksInCallOrder();

}  // namespace tovarin::gwes
