#include "gwes/messages/thread_queue.h"

#include <algorithm>

namespace tovarin::gwes {

void SentMessage::Reply(kernel::Scheduler& scheduler, LRESULT result) {
    if (replied_) {
        return;
    }
    result_ = result;
    replied_ = true;
    scheduler.Signalled(*this);
}

ThreadQueue::ThreadQueue(uint32_t thread_id)
    : thread_id_(thread_id),
      sent_signal_("sent messages", [this] { return !sent_.empty(); }),
      input_signal_("message queue", [this] { return HasInput(); }) {}

bool ThreadQueue::HasInput() const {
    if (quit_code_ || timers_changed_) {
        return true;
    }
    if (std::any_of(needs_paint_.begin(), needs_paint_.end(),
                    [&](HWND hwnd) { return wait_filter_.Matches(hwnd, WM_PAINT); })) {
        return true;
    }
    return std::any_of(posted_.begin(), posted_.end(), [&](const MSG& message) {
        return wait_filter_.Matches(message.hwnd, message.message);
    });
}

void ThreadQueue::Post(kernel::Scheduler& scheduler, const MSG& message) {
    if (ended_) {
        return;
    }
    posted_.push_back(message);
    scheduler.Signalled(input_signal_);
}

void ThreadQueue::PostFirst(kernel::Scheduler& scheduler, const MSG& message) {
    if (ended_) {
        return;
    }
    posted_.push_front(message);
    scheduler.Signalled(input_signal_);
}

void ThreadQueue::PostQuit(kernel::Scheduler& scheduler, int exit_code) {
    quit_code_ = exit_code;
    scheduler.Signalled(input_signal_);
}

void ThreadQueue::Send(kernel::Scheduler& scheduler, std::shared_ptr<SentMessage> message) {
    if (ended_) {
        message->Reply(scheduler, 0);
        return;
    }
    sent_.push_back(std::move(message));
    scheduler.Signalled(sent_signal_);
}

std::shared_ptr<SentMessage> ThreadQueue::NextSent() {
    if (sent_.empty()) {
        return nullptr;
    }
    std::shared_ptr<SentMessage> next = std::move(sent_.front());
    sent_.pop_front();
    return next;
}

void ThreadQueue::Withdraw(const SentMessage& message) {
    std::erase_if(sent_, [&](const auto& queued) { return queued.get() == &message; });
}

std::optional<MSG> ThreadQueue::Take(const MessageFilter& filter, bool remove, uint64_t now_ms,
                                     const PaintPicker& paint) {
    auto posted = std::find_if(posted_.begin(), posted_.end(), [&](const MSG& message) {
        return filter.Matches(message.hwnd, message.message);
    });
    if (posted != posted_.end()) {
        MSG message = *posted;
        if (remove) {
            posted_.erase(posted);
        }
        return message;
    }
    // The quit request comes once nothing that the filter takes is posted, whatever the filter.
    if (quit_code_) {
        MSG message{};
        message.message = WM_QUIT;
        message.wParam = static_cast<WPARAM>(*quit_code_);
        message.time = static_cast<DWORD>(now_ms);
        if (remove) {
            quit_code_.reset();
        }
        return message;
    }
    // WM_PAINT stays until the window is validated (BeginPaint), so taking it removes nothing.
    if (paint && !needs_paint_.empty()) {
        if (std::optional<MSG> message = paint(filter)) {
            message->time = static_cast<DWORD>(now_ms);
            return message;
        }
    }
    return timers_.TakeDue(filter, now_ms, remove);
}

uint32_t ThreadQueue::PrepareWait(const MessageFilter& filter, uint64_t now_ms) {
    wait_filter_ = filter;
    timers_changed_ = false;
    std::optional<uint64_t> due = timers_.NextDue(filter);
    if (!due) {
        return INFINITE;
    }
    uint64_t wait_ms = *due > now_ms ? *due - now_ms : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(wait_ms, INFINITE - 1));
}

void ThreadQueue::TimersChanged(kernel::Scheduler& scheduler) {
    timers_changed_ = true;
    scheduler.Signalled(input_signal_);
}

void ThreadQueue::SetNeedsPaint(kernel::Scheduler& scheduler, HWND hwnd, bool needs_paint) {
    if (!needs_paint) {
        needs_paint_.erase(hwnd);
        return;
    }
    if (!ended_ && needs_paint_.insert(hwnd).second) {
        scheduler.Signalled(input_signal_);
    }
}

void ThreadQueue::ForgetWindow(HWND hwnd) {
    needs_paint_.erase(hwnd);
    std::erase_if(posted_, [&](const MSG& message) { return message.hwnd == hwnd; });
    timers_.ForgetWindow(hwnd);
}

void ThreadQueue::End(kernel::Scheduler& scheduler) {
    ended_ = true;
    posted_.clear();
    needs_paint_.clear();
    while (std::shared_ptr<SentMessage> waiting = NextSent()) {
        waiting->Reply(scheduler, 0);
    }
}

}  // namespace tovarin::gwes
