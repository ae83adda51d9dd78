// Window timers of one thread, in device time. A due timer is turned into WM_TIMER when its
// thread looks for messages, as on the phone: WM_TIMER is never queued twice for one timer, and a
// thread that waits for messages waits at most until its earliest timer is due.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <windows.h>

#include "gwes/messages/message_filter.h"

namespace tovarin::gwes {

// Guarded by the kernel lock.
class TimerList {
  public:
    // Starts or restarts a timer; returns its identifier. A timer without a window gets an
    // identifier of its own unless `id` names one of the thread's windowless timers.
    UINT_PTR Set(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc, uint64_t now_ms);
    bool Kill(HWND hwnd, UINT_PTR id);
    void ForgetWindow(HWND hwnd);
    bool Exists(HWND hwnd, UINT_PTR id, TIMERPROC proc) const;
    size_t Count() const { return timers_.size(); }

    // The WM_TIMER of the earliest due timer that the filter takes. With `restart` the timer
    // starts its next period at `now_ms`.
    std::optional<MSG> TakeDue(const MessageFilter& filter, uint64_t now_ms, bool restart);
    // When the earliest timer that the filter takes is due.
    std::optional<uint64_t> NextDue(const MessageFilter& filter) const;

    // The shortest period: shorter ones would keep a thread busy without ever letting time move.
    static constexpr UINT kMinimumElapseMs = 10;

  private:
    struct Timer {
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        UINT elapse_ms = 0;
        TIMERPROC proc = nullptr;
        uint64_t due_ms = 0;
    };
    Timer* Find(HWND hwnd, UINT_PTR id);

    std::vector<Timer> timers_;
    UINT_PTR next_windowless_id_ = 1;
};

}  // namespace tovarin::gwes
