#include "gwes/window_manager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gwes/controls/standard_controls.h"
#include "gwes/gdi/gdi_objects.h"
#include "gwes/window_destruction.h"
#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/thread_object.h"

namespace tovarin::gwes {
namespace {

std::mutex g_current_mutex;
std::weak_ptr<WindowManager> g_current;

// The kernel calls one hook when a device thread ends; the window manager chains itself behind
// whatever was installed before it (the module loader's DLL_THREAD_DETACH), as the thread's
// modules hear of its end before its windows go.
void (*g_previous_thread_detach)() = nullptr;

void WindowsOfEndingThread() {
    if (!kernel::Device::IsUp()) {
        return;
    }
    if (std::shared_ptr<WindowManager> wm = WindowManager::Existing()) {
        wm->ThreadEnded(CurrentThreadId());
    }
}

void OnDeviceThreadDetach() {
    void (*previous)() = nullptr;
    {
        std::lock_guard guard(g_current_mutex);
        previous = g_previous_thread_detach;
    }
    try {
        if (previous) {
            previous();
        }
    } catch (...) {
        WindowsOfEndingThread();  // the thread ends all the same (the device is shutting down)
        throw;
    }
    WindowsOfEndingThread();
}

// g_current_mutex held. Called on every use as well, so that a hook installed later over ours
// (the loader's, at boot) is chained again.
void InstallThreadEndHook() {
    if (kernel::ThreadHooks::detach != &OnDeviceThreadDetach) {
        g_previous_thread_detach = kernel::ThreadHooks::detach;
        kernel::ThreadHooks::detach = &OnDeviceThreadDetach;
    }
}

// Chained when the platform is loaded, while the process has a single thread: no device thread
// can be reading the hook while it changes.
[[maybe_unused]] const bool g_thread_end_hook_installed = [] {
    std::lock_guard guard(g_current_mutex);
    InstallThreadEndHook();
    return true;
}();

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
    std::lock_guard guard(g_current_mutex);
    InstallThreadEndHook();
    if (std::shared_ptr<WindowManager> existing = g_current.lock()) {
        return *existing;
    }
    auto made = std::make_shared<WindowManager>();
    // The device's handle table keeps it for the device's lifetime; nobody holds the handle.
    if (!kernel::Handles().Insert(made)) {
        std::fputs("tovarin: the device's handle table is full\n", stderr);
        std::abort();
    }
    g_current = made;
    return *made;
}

std::shared_ptr<WindowManager> WindowManager::Existing() {
    std::lock_guard guard(g_current_mutex);
    return g_current.lock();
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

}  // namespace tovarin::gwes
