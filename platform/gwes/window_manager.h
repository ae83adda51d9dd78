// The window manager of the device that is up: classes, windows, the threads' message queues,
// hot keys, the foreground window and the message boxes on screen.
//
// Everything here is guarded by the kernel lock (CurrentScheduler().lock()), because the message
// queues are waitable objects and a window's state decides what its thread's waits see. Window
// procedures, enumeration callbacks and key observers are always called without the lock.
//
// The window manager is made on the first call on a device and lives exactly as long as that
// device, which holds it (Device::states()).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

#include "gwes/input/hot_keys.h"
#include "gwes/messages/thread_queue.h"
#include "gwes/windows/window_class.h"
#include "gwes/windows/window_table.h"
#include "kernel/scheduler.h"

namespace tovarin::gwes {

// A message box on screen (see dialogs/message_box.h).
struct MessageBoxState {
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    uint32_t thread_id = 0;
    std::vector<int> buttons;  // the results the box can give
    bool done = false;
    int result = 0;
    HWND disabled_owner = nullptr;  // the owner the box disabled, enabled again as the box ends
};

class Gdi;

class WindowManager final {
  public:
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    // The window manager of the current device, made on first use.
    static WindowManager& Current();
    // The current device's window manager if one was made; never makes one.
    static std::shared_ptr<WindowManager> Existing();

    kernel::Scheduler& scheduler() { return scheduler_; }
    // Takes the kernel lock. The calling thread's record is made first: making it takes the
    // lock too, so it must not happen while the lock is held.
    std::unique_lock<std::mutex> Lock() {
        scheduler_.Self();
        return std::unique_lock(scheduler_.lock());
    }

    // With the kernel lock held:
    ClassTable& classes() { return classes_; }
    WindowTable& windows() { return windows_; }
    HotKeyTable& hot_keys() { return hot_keys_; }
    // The drawing objects and the screen's frame buffer (under their own lock, see Gdi).
    Gdi& gdi() { return *gdi_; }
    // The calling thread's queue, made on first use.
    std::shared_ptr<ThreadQueue> OwnQueue();
    // The queue of another thread; null when it has none (or has ended).
    std::shared_ptr<ThreadQueue> QueueOf(uint32_t thread_id) const;
    // Window timers of every thread that has a queue.
    size_t TimerCount() const;

    // The live window behind a handle, or null with the calling thread's last error set to
    // ERROR_INVALID_WINDOW_HANDLE, as every call fails that is given a handle of no window.
    Window* WindowOrFail(HWND hwnd) const;
    std::shared_ptr<Window> SharedWindowOrFail(HWND hwnd) const;

    // The foreground window, as set (it may have gone since).
    HWND foreground() const { return foreground_; }
    // The foreground window while it lives; null when there is none.
    Window* ForegroundWindow() const;
    void set_foreground(HWND hwnd) { foreground_ = hwnd; }

    // Per thread: the active top-level window and the window with the keyboard focus.
    struct ThreadInput {
        HWND active = nullptr;
        HWND focus = nullptr;
        HWND pending_activation = nullptr;  // SetForegroundWindow from another thread
    };
    // A thread's input; all null for a thread that has had none.
    ThreadInput InputOf(uint32_t thread_id) const;
    void SetActiveWindowOf(uint32_t thread_id, HWND hwnd) {
        thread_input_[thread_id].active = hwnd;
    }
    void SetFocusWindowOf(uint32_t thread_id, HWND hwnd) { thread_input_[thread_id].focus = hwnd; }
    // Another thread asks that the thread activate the window when it next takes a message.
    void AskActivation(uint32_t thread_id, HWND hwnd) {
        thread_input_[thread_id].pending_activation = hwnd;
    }
    // The activation the thread was asked for, once; null when none is pending.
    HWND TakePendingActivation(uint32_t thread_id);
    // The window keys reach: the window with the keyboard focus on the foreground window's
    // thread when the focus lies in the foreground window, else the foreground window itself;
    // null when no window is in the foreground.
    Window* KeyTarget() const;

    // The window that gets the stylus until it is lifted.
    HWND capture() const { return capture_; }
    void set_capture(HWND hwnd) { capture_ = hwnd; }

    // A window goes: no thread keeps it as its active, focus or pending window, and it is neither
    // the capture nor the foreground window.
    void ForgetInputWindow(HWND hwnd);

    // A key went down or up through keybd_event; `modifier` is the key's own MOD_ bit (0 for a
    // key that is no modifier). Returns the other modifiers held, which the key combines with.
    UINT ChangeHeldModifiers(UINT modifier, bool up);
    bool ShiftHeld() const { return (held_modifiers_ & MOD_SHIFT) != 0; }

    // The screen as it is turned now (portrait VGA at first).
    int screen_width() const { return screen_width_; }
    int screen_height() const { return screen_height_; }
    RECT ScreenRect() const { return RECT{0, 0, screen_width_, screen_height_}; }
    void SetScreenSize(int width, int height) {
        screen_width_ = width;
        screen_height_ = height;
    }

    // The message boxes on screen, by their windows.
    const std::map<HWND, std::shared_ptr<MessageBoxState>>& message_boxes() const {
        return message_boxes_;
    }
    // The box's state; null for a window that is no message box.
    std::shared_ptr<MessageBoxState> MessageBoxOf(HWND box) const;
    void AddMessageBox(HWND box, std::shared_ptr<MessageBoxState> state) {
        message_boxes_[box] = std::move(state);
    }
    void RemoveMessageBox(HWND box) { message_boxes_.erase(box); }

    // A device thread has ended (called on that thread, without the kernel lock): its windows go
    // without messages, as its code can no longer run, and senders waiting on it get 0.
    void ThreadEnded(uint32_t thread_id);

    // Host-side key observers. Called with no lock held; they have their own.
    int SubscribeKeys(std::function<void(uint8_t, bool)> observer);
    void UnsubscribeKeys(int id);
    std::vector<std::function<void(uint8_t, bool)>> KeyObservers() const;

  private:
    kernel::Scheduler& scheduler_;
    ClassTable classes_;
    WindowTable windows_;
    HotKeyTable hot_keys_;
    std::map<uint32_t, std::shared_ptr<ThreadQueue>> queues_;
    std::unique_ptr<Gdi> gdi_;

    HWND foreground_ = nullptr;
    std::map<uint32_t, ThreadInput> thread_input_;
    HWND capture_ = nullptr;
    UINT held_modifiers_ = 0;  // modifier keys pressed through keybd_event and not released
    int screen_width_ = 480;
    int screen_height_ = 640;
    std::map<HWND, std::shared_ptr<MessageBoxState>> message_boxes_;

    mutable std::mutex observers_mutex_;
    std::vector<std::pair<int, std::function<void(uint8_t, bool)>>> observers_;
    int next_observer_id_ = 1;
};

// The calling thread's id on the device.
uint32_t CurrentThreadId();

// Without the lock: whether the handle is a live window's; when it is not, the calling thread's
// last error is ERROR_INVALID_WINDOW_HANDLE.
bool IsWindowOrFail(HWND hwnd);

// Reads a window under the kernel lock, as most of the API's getters do: what `read(wm, window)`
// gives, or `failed` with ERROR_INVALID_WINDOW_HANDLE set when the handle is no window's.
template <typename Result, typename Read>
Result ReadWindow(HWND hwnd, Result failed, Read&& read) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.WindowOrFail(hwnd);
    return window ? static_cast<Result>(read(wm, *window)) : failed;
}

}  // namespace tovarin::gwes
