// Key input and hot keys: keybd_event, RegisterHotKey, UnregisterHotKey, UnregisterFunc1, and
// the host's key observers.
#include "gwes/input/keyboard.h"
#include "host/keys.h"

#include <windows.h>

#include "gwes/input/keyboard_hooks.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "host/device_log.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

UINT ModifierOfKey(UINT vk) {
    switch (vk) {
        case VK_SHIFT:
        case VK_LSHIFT:
        case VK_RSHIFT:
            return MOD_SHIFT;
        case VK_CONTROL:
        case VK_LCONTROL:
        case VK_RCONTROL:
            return MOD_CONTROL;
        case VK_MENU:
        case VK_LMENU:
        case VK_RMENU:
            return MOD_ALT;
        case VK_LWIN:
        case VK_RWIN:
            return MOD_WIN;
        default:
            return 0;
    }
}

// The key message's lParam: repeat count 1, the scan code, and for a release the previous-state
// and transition bits.
LPARAM KeyMessageLParam(BYTE scan, bool up) {
    uint32_t value = 1u | (uint32_t{scan} << 16);
    if (up) {
        value |= (1u << 30) | (1u << 31);
    }
    return static_cast<LPARAM>(value);
}

// Kernel lock held.
void FireHotKey(WindowManager& wm, const HotKey& hot_key) {
    const WPARAM wparam = static_cast<WPARAM>(hot_key.id);
    const LPARAM lparam = MAKELPARAM(hot_key.modifiers, hot_key.vk);
    if (hot_key.hwnd) {
        if (const Window* window = wm.windows().Find(hot_key.hwnd)) {
            PostToWindow(wm, *window, WM_HOTKEY, wparam, lparam);
        }
        return;
    }
    if (std::shared_ptr<ThreadQueue> queue = wm.QueueOf(hot_key.thread_id)) {
        MSG posted{};
        posted.message = WM_HOTKEY;
        posted.wParam = wparam;
        posted.lParam = lparam;
        posted.time = static_cast<DWORD>(wm.scheduler().NowMs());
        queue->Post(wm.scheduler(), posted);
    }
}

// Offers a key to the low-level hooks, the latest first; true when one keeps it from the windows.
// Called with no lock held, as a hook may call back into the window manager.
bool KeyTakenByHook(WindowManager& wm, BYTE vk, BYTE scan, bool up) {
    KBDLLHOOKSTRUCT key{};
    key.vkCode = vk;
    key.scanCode = scan;
    key.flags = up ? LLKHF_UP : 0;
    key.time = static_cast<DWORD>(wm.scheduler().NowMs());
    for (HOOKPROC hook : KeyboardHooksInCallOrder()) {
        if (hook(HC_ACTION, up ? WM_KEYUP : WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

namespace tovarin::gwes {

int SubscribeKeys(std::function<void(uint8_t vk, bool up)> observer) {
    return WindowManager::Current().SubscribeKeys(std::move(observer));
}

void UnsubscribeKeys(int id) {
    WindowManager::Current().UnsubscribeKeys(id);
}

}  // namespace tovarin::gwes

extern "C" {

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, DWORD) {
    const bool up = (dwFlags & KEYEVENTF_KEYUP) != 0;
    tovarin::kernel::Record(tovarin::kernel::KeyRecord{.vk = bVk, .up = up});
    WindowManager& wm = WindowManager::Current();
    for (const auto& observer : wm.KeyObservers()) {
        observer(bVk, up);
    }
    if (KeyTakenByHook(wm, bVk, bScan, up)) {
        return;
    }

    auto lock = wm.Lock();
    const UINT modifier = ModifierOfKey(bVk);
    const UINT held = wm.ChangeHeldModifiers(modifier, up);
    if (wm.hot_keys().Takes(held, bVk)) {
        // A key that belongs to a hot key reaches no window as a key message, pressed or released.
        for (const HotKey& hot_key : wm.hot_keys().Fired(held, bVk, up)) {
            FireHotKey(wm, hot_key);
        }
        return;
    }
    if (const Window* target = wm.KeyTarget()) {
        PostToWindow(wm, *target, up ? WM_KEYUP : WM_KEYDOWN, bVk, KeyMessageLParam(bScan, up));
    }
}

HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD dwThreadId) {
    // Only the low-level keyboard hook, which is global: no thread of its own to watch.
    if (idHook != WH_KEYBOARD_LL || lpfn == nullptr || dwThreadId != 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddKeyboardHook(lpfn, CurrentThreadId());
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    if (!RemoveKeyboardHook(hhk)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

LRESULT WINAPI CallNextHookEx(HHOOK, int, WPARAM, LPARAM) {
    // The window manager offers the key to every hook in turn itself; passing it on is the
    // default, so there is nothing to call.
    return 0;
}

BOOL WINAPI RegisterHotKey(HWND hWnd, int id, UINT fsModifiers, UINT vk) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    auto lock = wm.Lock();
    if (hWnd && !wm.WindowOrFail(hWnd)) {
        return FALSE;
    }
    DWORD error = wm.hot_keys().Register(
        {.hwnd = hWnd, .id = id, .modifiers = fsModifiers, .vk = vk, .thread_id = self});
    if (error != 0) {
        SetError(error);
        return FALSE;
    }
    if (!hWnd) {
        wm.OwnQueue();  // WM_HOTKEY without a window comes to this thread's queue
    }
    return TRUE;
}

BOOL WINAPI UnregisterHotKey(HWND hWnd, int id) {
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    auto lock = wm.Lock();
    if (!wm.hot_keys().Unregister(hWnd, id, self)) {
        SetError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI UnregisterFunc1(UINT fsModifiers, UINT id) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (!wm.hot_keys().ReleaseKey(fsModifiers, id)) {
        SetError(ERROR_HOTKEY_NOT_REGISTERED);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
