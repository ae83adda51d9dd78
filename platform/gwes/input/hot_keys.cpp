#include "gwes/input/hot_keys.h"

#include <algorithm>

namespace tovarin::gwes {
namespace {

bool SameOwner(const HotKey& hot_key, HWND hwnd, int id, uint32_t thread_id) {
    // A hot key without a window belongs to the thread that registered it.
    return hot_key.hwnd == hwnd && hot_key.id == id && (hwnd || hot_key.thread_id == thread_id);
}

bool SameKey(const HotKey& hot_key, UINT modifiers, UINT vk) {
    return hot_key.vk == vk && ModifierKeys(hot_key.modifiers) == ModifierKeys(modifiers);
}

}  // namespace

DWORD HotKeyTable::Register(const HotKey& hot_key) {
    for (const HotKey& existing : hot_keys_) {
        if (SameKey(existing, hot_key.modifiers, hot_key.vk) &&
            (existing.modifiers & MOD_KEYUP) == (hot_key.modifiers & MOD_KEYUP) &&
            !SameOwner(existing, hot_key.hwnd, hot_key.id, hot_key.thread_id)) {
            return ERROR_HOTKEY_ALREADY_REGISTERED;
        }
    }
    std::erase_if(hot_keys_, [&](const HotKey& existing) {
        return SameOwner(existing, hot_key.hwnd, hot_key.id, hot_key.thread_id);
    });
    hot_keys_.push_back(hot_key);
    return 0;
}

bool HotKeyTable::Unregister(HWND hwnd, int id, uint32_t thread_id) {
    return std::erase_if(hot_keys_, [&](const HotKey& existing) {
               return SameOwner(existing, hwnd, id, thread_id);
           }) > 0;
}

bool HotKeyTable::ReleaseKey(UINT modifiers, UINT vk) {
    return std::erase_if(hot_keys_, [&](const HotKey& existing) {
               return SameKey(existing, modifiers, vk);
           }) > 0;
}

void HotKeyTable::ForgetWindow(HWND hwnd) {
    std::erase_if(hot_keys_, [&](const HotKey& existing) { return existing.hwnd == hwnd; });
}

void HotKeyTable::ForgetThread(uint32_t thread_id) {
    std::erase_if(hot_keys_, [&](const HotKey& existing) {
        return !existing.hwnd && existing.thread_id == thread_id;
    });
}

bool HotKeyTable::Takes(UINT held_modifiers, UINT vk) const {
    return std::any_of(hot_keys_.begin(), hot_keys_.end(),
                       [&](const HotKey& hot_key) { return SameKey(hot_key, held_modifiers, vk); });
}

std::vector<HotKey> HotKeyTable::Fired(UINT held_modifiers, UINT vk, bool up) const {
    std::vector<HotKey> fired;
    for (const HotKey& hot_key : hot_keys_) {
        if (SameKey(hot_key, held_modifiers, vk) && ((hot_key.modifiers & MOD_KEYUP) != 0) == up) {
            fired.push_back(hot_key);
        }
    }
    return fired;
}

}  // namespace tovarin::gwes
