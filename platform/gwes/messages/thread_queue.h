// The message queue of one thread: messages posted to it, messages other threads sent to it and
// wait for, the quit request and the thread's window timers.
//
// Only the owning thread takes messages out, and only it waits on the queue's two signals: one
// for sent messages (which a thread delivers even while it waits for its own SendMessageW) and
// one for input (posted messages that its current GetMessageW filter takes, the quit request,
// or a change of its timers).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>

#include <windows.h>

#include "gwes/messages/message_filter.h"
#include "gwes/messages/timer_list.h"
#include "kernel/object.h"
#include "kernel/scheduler.h"

namespace tovarin::gwes {

// A message that one thread sent to a window of another and whose result it waits for. The
// sender waits on this object; it is signalled when the receiver has replied.
class SentMessage final : public kernel::Waitable {
  public:
    SentMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
        : hwnd(hwnd), message(message), wparam(wparam), lparam(lparam) {}
    const char* TypeName() const override { return "reply to a sent message"; }
    bool IsSignalledFor(const kernel::ThreadRecord&) const override { return replied_; }

    // Kernel lock held.
    void Reply(kernel::Scheduler& scheduler, LRESULT result);
    bool replied() const { return replied_; }
    LRESULT result() const { return result_; }

    const HWND hwnd;
    const UINT message;
    const WPARAM wparam;
    const LPARAM lparam;
    bool abandoned = false;  // the sender stopped waiting (its thread is ending)

  private:
    bool replied_ = false;
    LRESULT result_ = 0;
};

// Guarded by the kernel lock.
class ThreadQueue {
  public:
    explicit ThreadQueue(uint32_t thread_id);
    ThreadQueue(const ThreadQueue&) = delete;
    ThreadQueue& operator=(const ThreadQueue&) = delete;

    uint32_t thread_id() const { return thread_id_; }
    bool ended() const { return ended_; }

    void Post(kernel::Scheduler& scheduler, const MSG& message);
    // Ahead of everything else posted: the character that TranslateMessage makes of a key.
    void PostFirst(kernel::Scheduler& scheduler, const MSG& message);
    void PostQuit(kernel::Scheduler& scheduler, int exit_code);

    void Send(kernel::Scheduler& scheduler, std::shared_ptr<SentMessage> message);
    std::shared_ptr<SentMessage> NextSent();
    void Withdraw(const SentMessage& message);

    // The next posted message, quit request, paint request or due timer that the filter takes,
    // in that order. `paint` picks which of the windows that need painting gets WM_PAINT.
    using PaintPicker = std::function<std::optional<MSG>(const MessageFilter&)>;
    std::optional<MSG> Take(const MessageFilter& filter, bool remove, uint64_t now_ms,
                            const PaintPicker& paint = {});

    // The thread's windows with something to paint: WM_PAINT comes while one is left.
    void SetNeedsPaint(kernel::Scheduler& scheduler, HWND hwnd, bool needs_paint);
    const std::set<HWND>& needs_paint() const { return needs_paint_; }
    // Before the owner blocks: what wakes it, and for how long at most (INFINITE: no timer).
    uint32_t PrepareWait(const MessageFilter& filter, uint64_t now_ms);

    TimerList& timers() { return timers_; }
    // Wakes the owner if it waits, so that it looks at its timers again.
    void TimersChanged(kernel::Scheduler& scheduler);

    // A window is gone: its posted messages and timers go with it.
    void ForgetWindow(HWND hwnd);
    // The thread has ended: the senders that wait get 0 and nothing is queued any more.
    void End(kernel::Scheduler& scheduler);

    kernel::Waitable& sent_signal() { return sent_signal_; }
    kernel::Waitable& input_signal() { return input_signal_; }

  private:
    class Signal final : public kernel::Waitable {
      public:
        Signal(const char* type_name, std::function<bool()> is_set)
            : type_name_(type_name), is_set_(std::move(is_set)) {}
        const char* TypeName() const override { return type_name_; }
        bool IsSignalledFor(const kernel::ThreadRecord&) const override { return is_set_(); }

      private:
        const char* type_name_;
        std::function<bool()> is_set_;
    };

    bool HasInput() const;

    const uint32_t thread_id_;
    std::deque<MSG> posted_;
    std::deque<std::shared_ptr<SentMessage>> sent_;
    std::optional<int> quit_code_;
    std::set<HWND> needs_paint_;
    TimerList timers_;
    MessageFilter wait_filter_;
    bool timers_changed_ = false;
    bool ended_ = false;
    Signal sent_signal_;
    Signal input_signal_;
};

}  // namespace tovarin::gwes
