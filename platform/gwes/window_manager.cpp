#include "gwes/window_manager.h"

#include <algorithm>
#include <utility>

#include "gwes/commctrl/control_classes.h"
#include "gwes/controls/standard_controls.h"
#include "gwes/gdi/gdi_objects.h"
#include "gwes/input/focus.h"
#include "gwes/input/keyboard_hooks.h"
#include "gwes/windows/window_destruction.h"
#include "kernel/device_local.h"
#include "kernel/handles.h"
#include "gwes/subsystem.h"

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

bool IsWindowOrFail(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return wm.WindowOrFail(hwnd) != nullptr;
}

WindowManager::WindowManager()
    : scheduler_(kernel::CurrentScheduler()), gdi_(std::make_unique<Gdi>()) {
    classes_.Add({.name = kDialogClassName,
                  .proc = &DefDlgProcW,
                  .window_extra_bytes = kDialogWindowExtraBytes,
                  .background = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_WINDOW + 1)),
                  .built_in = true});
    controls::RegisterStandardControls(classes_);
    controls::RegisterCommonControlClasses(classes_);
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

Window* WindowManager::WindowOrFail(HWND hwnd) const {
    Window* window = windows_.Find(hwnd);
    if (!window) {
        kernel::SetError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

std::shared_ptr<Window> WindowManager::SharedWindowOrFail(HWND hwnd) const {
    return WindowOrFail(hwnd) ? windows_.FindShared(hwnd) : nullptr;
}

Window* WindowManager::ForegroundWindow() const {
    return windows_.Find(foreground_);
}

WindowManager::ThreadInput WindowManager::InputOf(uint32_t thread_id) const {
    auto found = thread_input_.find(thread_id);
    return found == thread_input_.end() ? ThreadInput{} : found->second;
}

HWND WindowManager::TakePendingActivation(uint32_t thread_id) {
    auto found = thread_input_.find(thread_id);
    return found == thread_input_.end() ? nullptr
                                        : std::exchange(found->second.pending_activation, nullptr);
}

Window* WindowManager::KeyTarget() const {
    Window* top = ForegroundWindow();
    if (!top) {
        return nullptr;
    }
    Window* focus = windows_.Find(InputOf(top->thread_id).focus);
    for (const Window* each = focus; each; each = each->parent) {
        if (each == top) {
            return focus;
        }
    }
    return top;
}

void WindowManager::ForgetInputWindow(HWND hwnd) {
    for (auto& [thread, input] : thread_input_) {
        for (HWND* kept : {&input.active, &input.focus, &input.pending_activation}) {
            if (*kept == hwnd) {
                *kept = nullptr;
            }
        }
    }
    for (HWND* kept : {&capture_, &foreground_}) {
        if (*kept == hwnd) {
            *kept = nullptr;
        }
    }
}

UINT WindowManager::ChangeHeldModifiers(UINT modifier, bool up) {
    // The key's own modifier bit is not part of the combination it makes.
    const UINT others = held_modifiers_ & ~modifier;
    held_modifiers_ = up ? others : others | modifier;
    return others;
}

std::shared_ptr<MessageBoxState> WindowManager::MessageBoxOf(HWND box) const {
    auto found = message_boxes_.find(box);
    return found == message_boxes_.end() ? nullptr : found->second;
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
    thread_input_.erase(thread_id);
    if (!owned.empty()) {
        ForegroundToNextWindow(*this);
    }
    std::erase_if(message_boxes_,
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
    ForgetKeyboardHooksOf(CurrentThreadId());
}

}  // namespace tovarin::gwes
