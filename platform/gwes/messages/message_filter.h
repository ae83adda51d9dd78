// Which messages a GetMessageW / PeekMessageW call takes: a window and a range of message values.
#pragma once

#include <windows.h>

namespace tovarin::gwes {

struct MessageFilter {
    HWND hwnd = nullptr;  // null: any; (HWND)-1: only messages posted with no window
    UINT first = 0;       // first and last both 0: every message
    UINT last = 0;

    bool Matches(HWND message_hwnd, UINT message) const {
        if (hwnd == kThreadMessagesOnly) {
            if (message_hwnd != nullptr) {
                return false;
            }
        } else if (hwnd && message_hwnd != hwnd) {
            return false;
        }
        return (first == 0 && last == 0) || (message >= first && message <= last);
    }

    static inline const HWND kThreadMessagesOnly =
        reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
};

}  // namespace tovarin::gwes
