#include "gwes/window_manager.h"

#include <algorithm>

#include "gwes/controls/standard_controls.h"
#include "gwes/focus.h"
#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_destruction.h"
#include "kernel/device_local.h"
#include "kernel/subsystems.h"

namespace tovarin::gwes {
namespace {

kernel::DeviceLocal<WindowManager>& TheWindowManager() {
    static auto* window_manager = new kernel::DeviceLocal<WindowManager>;
    return *window_manager;
}

}  // namespace

uint32_t CurrentThreadId() {
    return kernel::CurrentScheduler().Self().id;
}

WindowManager::WindowManager()
    : scheduler_(kernel::CurrentScheduler()), gdi_(std::make_unique<Gdi>()) {
    classes_.Add({.name = kDialogClassName,
                  .proc = &DefDlgProcW,
                  .window_extra_bytes = kDialogWindowExtraBytes,
                  .background = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)),
                  .built_in = true});
    controls::RegisterStandardControls(classes_);
}

WindowManager::~WindowManager() = default;

WindowManager& WindowManager::Current() {
    // The device holds it until it shuts down, after every device thread has ended.
    return *TheWindowManager().Get();
}

std::shared_ptr<WindowManager> WindowManager::Existing() {
    return TheWindowManager().Find();
}

std::shared_ptr<ThreadQueue> WindowManager::OwnQueue() {
    const uint32_t self = CurrentThreadId();
    std::shared_ptr<ThreadQueue>& queue = queues_[self];
    if (!queue) {
        queue = std::make_shared<ThreadQueue>(self);
    }
    return queue;
}

std::shared_ptr<ThreadQueue> WindowManager::QueueOf(uint32_t thread_id) const {
    auto found = queues_.find(thread_id);
    return found == queues_.end() ? nullptr : found->second;
}

size_t WindowManager::TimerCount() const {
    size_t count = 0;
    for (const auto& [id, queue] : queues_) {
        count += queue->timers().Count();
    }
    return count;
}

void WindowManager::ThreadEnded(uint32_t thread_id) {
    auto lock = Lock();
    std::vector<HWND> owned;
    for (Window* window : windows_.OfThread(thread_id)) {
        owned.push_back(window->handle);
    }
    for (HWND hwnd : owned) {
        if (Window* window = windows_.Find(hwnd)) {  // a child may have gone with its parent
            RemoveWindowSilently(*this, *window);
        }
    }
    hot_keys_.ForgetThread(thread_id);
    thread_input.erase(thread_id);
    if (!owned.empty()) {
        ForegroundToNextWindow(*this);
    }
    std::erase_if(message_boxes,
                  [&](const auto& entry) { return entry.second->thread_id == thread_id; });
    auto queue = queues_.find(thread_id);
    if (queue != queues_.end()) {
        queue->second->End(scheduler_);
        queues_.erase(queue);
    }
}

int WindowManager::SubscribeKeys(std::function<void(uint8_t, bool)> observer) {
    std::lock_guard guard(observers_mutex_);
    int id = next_observer_id_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void WindowManager::UnsubscribeKeys(int id) {
    std::lock_guard guard(observers_mutex_);
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

std::vector<std::function<void(uint8_t, bool)>> WindowManager::KeyObservers() const {
    std::lock_guard guard(observers_mutex_);
    std::vector<std::function<void(uint8_t, bool)>> observers;
    for (const auto& [id, observer] : observers_) {
        observers.push_back(observer);
    }
    return observers;
}

void DeviceThreadEnding() {
    // A thread of a device that never used windows has none to lose.
    if (std::shared_ptr<WindowManager> wm = WindowManager::Existing()) {
        wm->ThreadEnded(CurrentThreadId());
    }
}

}  // namespace tovarin::gwes
