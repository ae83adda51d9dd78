// Hot keys: keys (with modifier keys held) that post WM_HOTKEY to a window instead of reaching
// the foreground window.
#pragma once

#include <cstdint>
#include <vector>

#include <windows.h>

namespace tovarin::gwes {

struct HotKey {
    HWND hwnd = nullptr;  // null: posted to the registering thread with no window
    int id = 0;
    UINT modifiers = 0;  // MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN, MOD_KEYUP
    UINT vk = 0;
    uint32_t thread_id = 0;  // the registering thread
};

// The modifier keys of a modifier set, without MOD_KEYUP.
inline UINT ModifierKeys(UINT modifiers) {
    return modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT | MOD_WIN);
}

// Guarded by the kernel lock.
class HotKeyTable {
  public:
    // Registers a hot key; one with the same window and id is replaced. Returns 0 or the error
    // code of the documented failure (the key combination belongs to another hot key).
    DWORD Register(const HotKey& hot_key);
    bool Unregister(HWND hwnd, int id, uint32_t thread_id);
    // Releases every hot key on this key combination, whoever registered it.
    bool ReleaseKey(UINT modifiers, UINT vk);

    void ForgetWindow(HWND hwnd);
    void ForgetThread(uint32_t thread_id);

    // Whether a key event with these modifier keys held belongs to hot keys, and the hot keys it
    // fires: those registered with MOD_KEYUP fire on release, the others on press.
    bool Takes(UINT held_modifiers, UINT vk) const;
    std::vector<HotKey> Fired(UINT held_modifiers, UINT vk, bool up) const;

  private:
    std::vector<HotKey> hot_keys_;
};

}  // namespace tovarin::gwes
