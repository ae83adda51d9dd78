#include "kernel/registry/change_notifier.h"

#include <windows.h>

#include "host/device.h"
#include "host/processes.h"
#include "kernel/processes/process_table.h"
#include "kernel/strings/text_case.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel::registry {
namespace {

constexpr uint32_t kFirstHandle = 0x20000000;
constexpr uint32_t kHandleLimit = 0x30000000;

bool SamePath(const std::vector<std::wstring>& folded, const std::vector<std::wstring>& path) {
    if (folded.size() != path.size()) {
        return false;
    }
    for (size_t i = 0; i < path.size(); ++i) {
        if (!TextsEqualIgnoringCase(folded[i], path[i])) {
            return false;
        }
    }
    return true;
}

// Whether the key at `path` (names as spelled) is the folded key or lies under it.
bool UnderPath(const std::vector<std::wstring>& folded, const std::vector<std::wstring>& path) {
    if (folded.size() > path.size()) {
        return false;
    }
    for (size_t i = 0; i < folded.size(); ++i) {
        if (!TextsEqualIgnoringCase(folded[i], path[i])) {
            return false;
        }
    }
    return true;
}

// Whether a change of the value `value_name` of the key at `path` is one the watch is about.
bool Covers(const WatchTarget& target, const std::vector<std::wstring>& path,
            std::wstring_view value_name) {
    switch (target.scope) {
        case WatchTarget::Scope::Value:
            return TextsEqualIgnoringCase(target.folded_value, value_name) &&
                   SamePath(target.folded_path, path);
        case WatchTarget::Scope::Key:
            return SamePath(target.folded_path, path);
        case WatchTarget::Scope::Subtree:
            return UnderPath(target.folded_path, path);
    }
    return false;
}

// Runs an action when the scope ends, also when the thread is ended inside it (ThreadExit).
template <typename Action>
class AtScopeExit {
  public:
    explicit AtScopeExit(Action action) : action_(std::move(action)) {}
    ~AtScopeExit() { action_(); }
    AtScopeExit(const AtScopeExit&) = delete;
    AtScopeExit& operator=(const AtScopeExit&) = delete;

  private:
    Action action_;
};

}  // namespace

ChangeNotifier::~ChangeNotifier() {
    if (!Device::IsUp()) {
        return;
    }
    for (HANDLE handle : {thread_, work_event_, idle_event_}) {
        if (handle) {
            CloseHandle(handle);
        }
    }
}

uint32_t ChangeNotifier::NextHandle() {
    for (uint32_t tries = 0; tries < (kHandleLimit - kFirstHandle) / 4; ++tries) {
        uint32_t value = next_handle_;
        next_handle_ = next_handle_ + 4 >= kHandleLimit ? kFirstHandle : next_handle_ + 4;
        if (!watches_.contains(value)) {
            return value;
        }
    }
    return 0;
}

bool ChangeNotifier::Prepare(Delivery delivery, uint32_t* error) {
    std::lock_guard lock(mutex_);
    return delivery != Delivery::NotificationThread || thread_ || StartThread(error);
}

uint32_t ChangeNotifier::Add(WatchTarget target, std::shared_ptr<NotificationSink> sink,
                             Delivery delivery) {
    std::lock_guard lock(mutex_);
    auto watch = std::make_shared<Watch>();
    watch->handle = NextHandle();
    if (watch->handle == 0) {
        return 0;
    }
    watch->target = std::move(target);
    watch->sink = std::move(sink);
    watch->delivery = delivery;
    watch->process = processes::CurrentProcessId();
    watches_.emplace(watch->handle, watch);
    watch_count_.store(watches_.size(), std::memory_order_release);
    return watch->handle;
}

bool ChangeNotifier::Close(uint32_t handle) {
    std::shared_ptr<Watch> watch;
    bool wait_for_callback = false;
    HANDLE idle_event = nullptr;
    {
        std::lock_guard lock(mutex_);
        auto it = watches_.find(handle);
        if (it == watches_.end()) {
            return false;
        }
        watch = it->second;
        watches_.erase(it);
        watch_count_.store(watches_.size(), std::memory_order_release);
        watch->closed = true;
        // From inside its own callback the watch just ends; waiting there would never return.
        wait_for_callback = in_flight_ == watch.get() && GetCurrentThreadId() != thread_id_;
        idle_event = idle_event_;
    }
    // An at-change delivery that took the item before the watch was closed finishes first.
    { std::lock_guard barrier(delivery_mutex_); }
    while (wait_for_callback) {
        if (WaitForSingleObject(idle_event, INFINITE) != WAIT_OBJECT_0) {
            break;  // the device is failing the wait (deadlock report); do not spin
        }
        std::lock_guard lock(mutex_);
        wait_for_callback = in_flight_ == watch.get();
    }
    return true;
}

void ChangeNotifier::CloseAllOf(uint32_t process_id) {
    std::vector<uint32_t> left;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [handle, watch] : watches_) {
            if (watch->process == process_id) {
                left.push_back(handle);
            }
        }
    }
    for (uint32_t handle : left) {
        Close(handle);
    }
}

void ChangeNotifier::ValueChanged(size_t hive, const std::vector<std::wstring>& path,
                                  std::wstring_view value_name, const RegValue* before,
                                  const RegValue* after) {
    std::lock_guard lock(mutex_);
    for (const auto& [handle, watch] : watches_) {
        const WatchTarget& target = watch->target;
        if (target.hive != hive || !target.values || !Covers(target, path, value_name) ||
            !watch->sink->Wants(before, after)) {
            continue;
        }
        Pending item{watch, after == nullptr, after ? after->data : std::vector<uint8_t>{}};
        (watch->delivery == Delivery::AtChange ? at_change_queue_ : thread_queue_)
            .push_back(std::move(item));
    }
}

void ChangeNotifier::KeyNamesChanged(size_t hive, const std::vector<std::wstring>& parent) {
    std::lock_guard lock(mutex_);
    for (const auto& [handle, watch] : watches_) {
        const WatchTarget& target = watch->target;
        if (target.hive == hive && target.scope != WatchTarget::Scope::Value && target.names &&
            Covers(target, parent, {})) {
            (watch->delivery == Delivery::AtChange ? at_change_queue_ : thread_queue_)
                .push_back(Pending{watch, false, {}});
        }
    }
}

void ChangeNotifier::AfterChange() {
    {
        std::lock_guard lock(mutex_);
        if (!thread_queue_.empty() && work_event_) {
            SetEvent(work_event_);
        }
        if (at_change_queue_.empty()) {
            return;
        }
    }
    std::lock_guard delivering(delivery_mutex_);
    for (;;) {
        Pending item;
        {
            std::lock_guard lock(mutex_);
            if (at_change_queue_.empty()) {
                return;
            }
            item = std::move(at_change_queue_.front());
            at_change_queue_.pop_front();
            if (item.watch->closed) {
                continue;
            }
        }
        Deliver(item);
    }
}

void ChangeNotifier::Deliver(Pending& item) {
    // A value that exists but is empty still gets a valid pointer; only a deletion gets none.
    static uint8_t empty_value[1];
    uint8_t* data = item.deleted ? nullptr : item.data.empty() ? empty_value : item.data.data();
    item.watch->sink->Deliver(item.watch->handle, data, static_cast<uint32_t>(item.data.size()));
}

bool ChangeNotifier::StartThread(uint32_t* error) {
    // The thread and its events serve the whole device, whichever program set the first watch.
    processes::OnBehalfOfDevice device_wide;
    work_event_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    idle_event_ = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (work_event_ && idle_event_) {
        thread_ = CreateThread(nullptr, 0, &ChangeNotifier::ThreadMain, this, 0, &thread_id_);
    }
    if (!thread_) {
        *error = GetLastError();
        for (HANDLE* handle : {&work_event_, &idle_event_}) {
            if (*handle) {
                CloseHandle(*handle);
                *handle = nullptr;
            }
        }
        return false;
    }
    return true;
}

DWORD WINAPI ChangeNotifier::ThreadMain(LPVOID self) {
    static_cast<ChangeNotifier*>(self)->RunNotificationThread();
    return 0;
}

void ChangeNotifier::RunNotificationThread() {
    {
        Scheduler& scheduler = CurrentScheduler();
        ThreadRecord& record = scheduler.Self();
        std::lock_guard lock(scheduler.lock());
        record.name = "registry notifications";
    }
    for (;;) {
        // Ends here (ThreadExit) when the device shuts down.
        WaitForSingleObject(work_event_, INFINITE);
        for (;;) {
            Pending item;
            {
                std::lock_guard lock(mutex_);
                if (thread_queue_.empty()) {
                    break;
                }
                item = std::move(thread_queue_.front());
                thread_queue_.pop_front();
                if (item.watch->closed) {
                    continue;
                }
                in_flight_ = item.watch.get();
                ResetEvent(idle_event_);
            }
            AtScopeExit callback_done([this] {
                std::lock_guard lock(mutex_);
                in_flight_ = nullptr;
                SetEvent(idle_event_);
            });
            Deliver(item);
        }
    }
}

}  // namespace tovarin::kernel::registry
