#include "gwes/messages/timer_list.h"

#include <algorithm>

namespace tovarin::gwes {

TimerList::Timer* TimerList::Find(HWND hwnd, UINT_PTR id) {
    auto found = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
        return timer.hwnd == hwnd && timer.id == id;
    });
    return found == timers_.end() ? nullptr : &*found;
}

UINT_PTR TimerList::Set(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc, uint64_t now_ms) {
    elapse_ms = std::max(elapse_ms, kMinimumElapseMs);
    Timer* timer = (hwnd || id != 0) ? Find(hwnd, id) : nullptr;
    if (!timer) {
        if (!hwnd) {
            do {
                id = next_windowless_id_++;
            } while (id == 0 || Find(nullptr, id));
        }
        timers_.push_back({.hwnd = hwnd, .id = id});
        timer = &timers_.back();
    }
    timer->elapse_ms = elapse_ms;
    timer->proc = proc;
    timer->due_ms = now_ms + elapse_ms;
    return timer->id;
}

bool TimerList::Kill(HWND hwnd, UINT_PTR id) {
    return std::erase_if(timers_, [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; }) > 0;
}

void TimerList::ForgetWindow(HWND hwnd) {
    std::erase_if(timers_, [&](const Timer& timer) { return timer.hwnd == hwnd; });
}

bool TimerList::Exists(HWND hwnd, UINT_PTR id, TIMERPROC proc) const {
    return std::any_of(timers_.begin(), timers_.end(), [&](const Timer& timer) {
        return timer.hwnd == hwnd && timer.id == id && timer.proc == proc;
    });
}

std::optional<MSG> TimerList::TakeDue(const MessageFilter& filter, uint64_t now_ms, bool restart) {
    Timer* earliest = nullptr;
    for (Timer& timer : timers_) {
        if (timer.due_ms <= now_ms && filter.Matches(timer.hwnd, WM_TIMER) &&
            (!earliest || timer.due_ms < earliest->due_ms)) {
            earliest = &timer;
        }
    }
    if (!earliest) {
        return std::nullopt;
    }
    MSG message{};
    message.hwnd = earliest->hwnd;
    message.message = WM_TIMER;
    message.wParam = earliest->id;
    message.lParam = reinterpret_cast<LPARAM>(earliest->proc);
    message.time = static_cast<DWORD>(now_ms);
    if (restart) {
        earliest->due_ms = now_ms + earliest->elapse_ms;
    }
    return message;
}

std::optional<uint64_t> TimerList::NextDue(const MessageFilter& filter) const {
    std::optional<uint64_t> next;
    for (const Timer& timer : timers_) {
        if (filter.Matches(timer.hwnd, WM_TIMER) && (!next || timer.due_ms < *next)) {
            next = timer.due_ms;
        }
    }
    return next;
}

}  // namespace tovarin::gwes
