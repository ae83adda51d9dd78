// Change notifications on registry values.
//
// A watch names one value by its path (root, key path, value name), so it holds whether the key
// exists yet or not, and it outlives the deletion and re-creation of the key. When the value
// really changes, the registry asks each watch's sink, at the change and with the registry
// locked, whether it wants to hear of it; if so, a copy of the value as it is at that moment is
// queued. Callback watches are delivered on the device's notification thread, one at a time and
// in change order, so that a slow callback delays the later ones as on the phone. At-change
// watches (message queues) are delivered by the writing thread itself, after it has released the
// registry lock and before its registry call returns.
#pragma once

#include <windef.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/registry/key_tree.h"

namespace tovarin::kernel::registry {

struct WatchTarget {
    // One value; every value of one key and its subkeys' names; or all of that in the key's
    // whole subtree.
    enum class Scope { Value, Key, Subtree };
    size_t hive = 0;                        // index of the root
    std::vector<std::wstring> folded_path;  // key names below the root, case-folded
    std::wstring folded_value;              // value name, case-folded; empty: the default value
    Scope scope = Scope::Value;
    // Key and subtree watches: whether they hear of values written or deleted, and of subkeys
    // created or deleted.
    bool values = true;
    bool names = true;
};

class NotificationSink {
  public:
    virtual ~NotificationSink() = default;
    // Called at the change with the registry locked: decide quickly, call nothing else. before is
    // the value until now (nullptr: it did not exist), after the new one (nullptr: deleted).
    virtual bool Wants(const RegValue* before, const RegValue* after) const = 0;
    // Called with no lock held. data is nullptr and size 0 when the value was deleted.
    virtual void Deliver(uint32_t handle, uint8_t* data, uint32_t size) = 0;
};

enum class Delivery {
    NotificationThread,  // callbacks
    AtChange,            // message queues
};

class ChangeNotifier {
  public:
    ChangeNotifier() = default;
    // Closes the notification thread's handles; the thread itself has ended with the device.
    ~ChangeNotifier();
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;

    // Starts the notification thread that callback watches need, if it does not run yet. False
    // with *error set when it could not be started.
    bool Prepare(Delivery delivery, uint32_t* error);

    // Returns the watch's handle value (from 0x20000000 on, a multiple of 4: it fits the 32-bit
    // field of a notification packet), or 0 when no handle is free. Callback watches need
    // Prepare() first. May be called with the registry lock held.
    uint32_t Add(WatchTarget target, std::shared_ptr<NotificationSink> sink, Delivery delivery);

    // Ends a watch. When it returns, no delivery of that watch is under way or will start, except
    // when it is called from inside that watch's own callback. False for an unknown handle.
    bool Close(uint32_t handle);
    // Ends the watches that a process set and left open: its callbacks must not run once its
    // code is gone.
    void CloseAllOf(uint32_t process_id);

    bool HasWatches() const { return watch_count_.load(std::memory_order_acquire) > 0; }
    size_t WatchCount() const { return watch_count_.load(std::memory_order_acquire); }

    // Registry lock held: the value `value_name` of the key at `path` (names as spelled) in root
    // `hive` changed from before to after.
    void ValueChanged(size_t hive, const std::vector<std::wstring>& path,
                      std::wstring_view value_name, const RegValue* before, const RegValue* after);

    // Registry lock held: a subkey of the key at `parent` in root `hive` was created or deleted
    // (the key and subtree watches hear of it).
    void KeyNamesChanged(size_t hive, const std::vector<std::wstring>& parent);

    // Called by the writing thread after it released the registry lock: wakes the notification
    // thread and delivers the at-change notifications queued so far.
    void AfterChange();

  private:
    struct Watch {
        uint32_t handle = 0;
        WatchTarget target;
        std::shared_ptr<NotificationSink> sink;
        Delivery delivery = Delivery::NotificationThread;
        uint32_t process = 0;  // the process of the thread that set it
        bool closed = false;   // guarded by mutex_
    };
    struct Pending {
        std::shared_ptr<Watch> watch;
        bool deleted = false;
        std::vector<uint8_t> data;
    };

    bool StartThread(uint32_t* error);  // mutex_ held
    static DWORD WINAPI ThreadMain(LPVOID self);
    void RunNotificationThread();
    void Deliver(Pending& item);
    uint32_t NextHandle();  // mutex_ held

    std::mutex mutex_;
    std::map<uint32_t, std::shared_ptr<Watch>> watches_;
    std::atomic<size_t> watch_count_{0};
    uint32_t next_handle_ = 0x20000000;
    std::deque<Pending> thread_queue_;
    std::deque<Pending> at_change_queue_;

    // Serialises at-change deliveries, so that they keep change order across writing threads.
    std::mutex delivery_mutex_;

    // The notification thread, started by the first callback watch.
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
    HANDLE work_event_ = nullptr;       // auto-reset: something was queued
    HANDLE idle_event_ = nullptr;       // manual-reset: set while no callback runs
    const Watch* in_flight_ = nullptr;  // the watch whose callback runs now
};

}  // namespace tovarin::kernel::registry
