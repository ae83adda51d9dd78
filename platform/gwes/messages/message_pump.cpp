#include "gwes/messages/message_pump.h"

#include <set>

#include "gwes/input/focus.h"
#include "gwes/messages/message_log.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

namespace tovarin::gwes {
namespace {

// Replies to a sent message whatever way its window procedure is left: with its result, or with 0
// when the receiving thread is ended inside it.
class ReplyOnExit {
  public:
    ReplyOnExit(WindowManager& wm, std::shared_ptr<SentMessage> message)
        : wm_(wm), message_(std::move(message)) {}
    ReplyOnExit(const ReplyOnExit&) = delete;
    ReplyOnExit& operator=(const ReplyOnExit&) = delete;
    ~ReplyOnExit() {
        auto lock = wm_.Lock();
        message_->Reply(wm_.scheduler(), result_);
    }
    void set_result(LRESULT result) { result_ = result; }

  private:
    WindowManager& wm_;
    std::shared_ptr<SentMessage> message_;
    LRESULT result_ = 0;
};

// Takes a sent message back when its sender stops waiting before the reply: the receiver must
// not run it (its parameters may point into the sender's stack) once the sender has gone.
class WithdrawUnlessReplied {
  public:
    WithdrawUnlessReplied(WindowManager& wm, std::shared_ptr<SentMessage> message,
                          std::shared_ptr<ThreadQueue> target)
        : wm_(wm), message_(std::move(message)), target_(std::move(target)) {}
    WithdrawUnlessReplied(const WithdrawUnlessReplied&) = delete;
    WithdrawUnlessReplied& operator=(const WithdrawUnlessReplied&) = delete;
    ~WithdrawUnlessReplied() {
        auto lock = wm_.Lock();
        if (!message_->replied()) {
            message_->abandoned = true;
            target_->Withdraw(*message_);
        }
    }

  private:
    WindowManager& wm_;
    std::shared_ptr<SentMessage> message_;
    std::shared_ptr<ThreadQueue> target_;
};

LRESULT SendToOtherThread(WindowManager& wm, std::unique_lock<std::mutex>& lock,
                          const Window& window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::shared_ptr<ThreadQueue> target = wm.QueueOf(window.thread_id);
    if (!target || target->ended()) {
        return 0;
    }
    RecordMessageFromOtherThread(window, message, wparam, lparam, /*posted=*/false);
    auto sent = std::make_shared<SentMessage>(window.handle, message, wparam, lparam);
    target->Send(wm.scheduler(), sent);
    std::shared_ptr<ThreadQueue> own = wm.OwnQueue();
    lock.unlock();

    WithdrawUnlessReplied withdraw(wm, sent, target);
    kernel::Waitable* objects[] = {sent.get(), &own->sent_signal()};
    for (;;) {
        uint32_t error = 0;
        uint32_t woken = wm.scheduler().Wait(objects, false, INFINITE, &error);
        if (woken == WAIT_OBJECT_0) {
            auto relock = wm.Lock();
            return sent->result();
        }
        if (woken == WAIT_OBJECT_0 + 1) {
            DeliverSentMessages(wm);  // the receiver may be sending to us: no deadlock
            continue;
        }
        kernel::SetError(error);  // a host thread's wait ended by the deadlock report
        return 0;
    }
}

// Kernel lock held: WM_PAINT for one of the thread's windows with something to paint, a parent
// before its children, as the filter allows.
std::optional<MSG> PaintMessage(WindowManager& wm, const ThreadQueue& queue,
                                const MessageFilter& filter) {
    const std::set<HWND>& pending = queue.needs_paint();
    HWND chosen = nullptr;
    for (HWND hwnd : pending) {
        if (!filter.Matches(hwnd, WM_PAINT)) {
            continue;
        }
        const Window* window = wm.windows().Find(hwnd);
        if (!window) {
            continue;
        }
        bool parent_pending = false;
        for (const Window* parent = window->parent; parent; parent = parent->parent) {
            if (pending.count(parent->handle) && filter.Matches(parent->handle, WM_PAINT)) {
                parent_pending = true;
                break;
            }
        }
        if (!parent_pending) {
            chosen = hwnd;
            break;
        }
        chosen = chosen ? chosen : hwnd;
    }
    if (!chosen) {
        return std::nullopt;
    }
    MSG message{};
    message.hwnd = chosen;
    message.message = WM_PAINT;
    return message;
}

}  // namespace

LRESULT CallWindowProcedure(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    return proc ? proc(hwnd, message, wparam, lparam) : 0;
}

LRESULT SendToWindow(WindowManager& wm, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const uint32_t self = CurrentThreadId();
    auto lock = wm.Lock();
    const Window* window = wm.WindowOrFail(hwnd);
    if (!window) {
        return 0;
    }
    if (window->thread_id != self) {
        return SendToOtherThread(wm, lock, *window, message, wparam, lparam);
    }
    WNDPROC proc = window->proc;
    lock.unlock();
    return CallWindowProcedure(proc, hwnd, message, wparam, lparam);
}

void PostToWindow(WindowManager& wm, const Window& window, UINT message, WPARAM wparam,
                  LPARAM lparam) {
    std::shared_ptr<ThreadQueue> queue = wm.QueueOf(window.thread_id);
    if (!queue) {
        return;
    }
    if (window.thread_id != CurrentThreadId()) {
        RecordMessageFromOtherThread(window, message, wparam, lparam, /*posted=*/true);
    }
    MSG posted{};
    posted.hwnd = window.handle;
    posted.message = message;
    posted.wParam = wparam;
    posted.lParam = lparam;
    posted.time = static_cast<DWORD>(wm.scheduler().NowMs());
    queue->Post(wm.scheduler(), posted);
}

void DeliverSentMessages(WindowManager& wm) {
    for (;;) {
        std::shared_ptr<SentMessage> sent;
        WNDPROC proc = nullptr;
        {
            auto lock = wm.Lock();
            sent = wm.OwnQueue()->NextSent();
            if (!sent) {
                return;
            }
            const Window* window = wm.windows().Find(sent->hwnd);
            if (!window || sent->abandoned) {
                sent->Reply(wm.scheduler(), 0);
                continue;
            }
            proc = window->proc;
        }
        ReplyOnExit reply(wm, sent);
        reply.set_result(
            CallWindowProcedure(proc, sent->hwnd, sent->message, sent->wparam, sent->lparam));
    }
}

NextResult NextMessage(WindowManager& wm, const MessageFilter& filter, bool remove, bool block,
                       MSG* out) {
    std::shared_ptr<ThreadQueue> queue;
    {
        auto lock = wm.Lock();
        queue = wm.OwnQueue();
    }
    for (;;) {
        DeliverSentMessages(wm);
        RunPendingActivation(wm);
        uint32_t timeout = INFINITE;
        {
            auto lock = wm.Lock();
            auto paint = [&](const MessageFilter& wanted) {
                return PaintMessage(wm, *queue, wanted);
            };
            if (std::optional<MSG> message =
                    queue->Take(filter, remove, wm.scheduler().NowMs(), paint)) {
                *out = *message;
                return NextResult::Message;
            }
            if (!block) {
                return NextResult::None;
            }
            timeout = queue->PrepareWait(filter, wm.scheduler().NowMs());
        }
        kernel::Waitable* objects[] = {&queue->sent_signal(), &queue->input_signal()};
        uint32_t error = 0;
        if (wm.scheduler().Wait(objects, false, timeout, &error) == WAIT_FAILED) {
            kernel::SetError(error);
            return NextResult::Failed;
        }
    }
}

}  // namespace tovarin::gwes
