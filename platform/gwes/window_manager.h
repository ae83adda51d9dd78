// The window manager of the device that is up: classes, windows, the threads' message queues,
// hot keys, the foreground window and the message boxes on screen.
//
// Everything here is guarded by the kernel lock (CurrentScheduler().lock()), because the message
// queues are waitable objects and a window's state decides what its thread's waits see. Window
// procedures, enumeration callbacks and key observers are always called without the lock.
//
// The window manager is made on the first call on a device and lives exactly as long as that
// device: the device's handle table owns it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

#include "gwes/hot_keys.h"
#include "gwes/thread_queue.h"
#include "gwes/window_class.h"
#include "gwes/window_table.h"
#include "kernel/object.h"
#include "kernel/scheduler.h"

namespace tovarin::gwes {

// A message box on screen (see message_box.h).
struct MessageBoxState {
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    uint32_t thread_id = 0;
    std::vector<int> buttons;  // the results the box can give
    bool done = false;
    int result = 0;
};

class Gdi;

class WindowManager final : public kernel::KernelObject {
  public:
    WindowManager();
    ~WindowManager() override;
    const char* TypeName() const override { return "window manager"; }

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

    HWND foreground = nullptr;
    // Per thread: the active top-level window and the window with the keyboard focus.
    struct ThreadInput {
        HWND active = nullptr;
        HWND focus = nullptr;
        HWND pending_activation = nullptr;  // SetForegroundWindow from another thread
    };
    std::map<uint32_t, ThreadInput> thread_input;
    HWND capture = nullptr;  // the window that gets the stylus until it is lifted
    int screen_width = 480;  // the screen as it is turned now (portrait VGA at first)
    int screen_height = 640;
    UINT held_modifiers = 0;  // modifier keys pressed through keybd_event and not released
    std::map<HWND, std::shared_ptr<MessageBoxState>> message_boxes;

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

    mutable std::mutex observers_mutex_;
    std::vector<std::pair<int, std::function<void(uint8_t, bool)>>> observers_;
    int next_observer_id_ = 1;
};

// The calling thread's id on the device.
uint32_t CurrentThreadId();

}  // namespace tovarin::gwes
