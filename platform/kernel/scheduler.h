// The scheduler: the kernel lock, the device clock, blocking waits and simulated time.
//
// Simulated time moves only when every device thread is blocked in a platform wait; it then jumps
// to the earliest deadline and wakes the threads whose deadline it is. Host threads that are not
// device threads may wait too: their deadlines count, but they never hold the clock back.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/device.h"
#include "kernel/object.h"

namespace tovarin::kernel {

struct WaitBlock {
    std::span<Waitable* const> objects;
    bool wait_all = false;
    std::optional<uint64_t> deadline_ms;  // device time; none = no time limit
    bool done = false;
    uint32_t result = 0;
    uint32_t error = 0;  // last-error to set when the wait failed
};

enum class ThreadKind {
    Device,    // created by CreateThread: holds simulated time while it runs
    Attached,  // a host thread that joined the device (tests, the console)
    Host,      // any other host thread: its waits never hold time back
};

struct ThreadRecord {
    uint32_t id = 0;
    std::string name;
    ThreadKind kind = ThreadKind::Host;
    std::condition_variable wake;
    WaitBlock* wait = nullptr;  // set while blocked
    bool exit_requested = false;
    bool winding_up = false;  // left its start routine (Scheduler::WindingUp)
    bool waiting_for_idle = false;
    WaitBlock outside;                      // the block of a wait on a host primitive (OutsideWait)
    const void* outside_channel = nullptr;  // what that wait waits for
    // What SetThreadPriority set (0 time-critical .. 7 idle); host threads all run alike.
    std::atomic<int> priority{3};

    bool HoldsTime() const { return kind != ThreadKind::Host; }
};

class Scheduler {
  public:
    explicit Scheduler(ClockMode mode);
    ~Scheduler();

    ClockMode mode() const { return mode_; }
    uint64_t NowMs() const;
    std::mutex& lock() { return lock_; }

    // The record of the calling thread; host threads get one on first use.
    ThreadRecord& Self();

    // Blocks the calling thread until the wait is satisfied or times out (timeout_ms INFINITE:
    // never). Returns WAIT_OBJECT_0 + index, WAIT_TIMEOUT or WAIT_FAILED (with *error set).
    // Throws ThreadExit inside a device thread that must end.
    uint32_t Wait(std::span<Waitable* const> objects, bool wait_all, uint32_t timeout_ms,
                  uint32_t* error);

    // With the kernel lock held: the object's state changed so that waiters may be satisfied.
    void Signalled(Waitable& object);

    // Device threads. Register is called by CreateThread before the host thread starts, so that
    // time cannot move between the call and the thread's first step.
    std::shared_ptr<ThreadRecord> RegisterDeviceThread(std::string name);
    void BindCurrentThread(std::shared_ptr<ThreadRecord> record);
    void DeviceThreadEnded(ThreadRecord& record);

    // Kernel lock held: asks a device thread to end. It ends at its next platform wait (a wait
    // under way ends at once) or message call, by ThreadExit, which unwinds its stack. A thread
    // is never stopped anywhere else: whatever platform lock it holds between two such calls is
    // released by the unwinding, so no other thread of the device is left waiting for it.
    void RequestExit(ThreadRecord& thread);
    // Kernel lock held: the thread has left its start routine and winds up (its windows are
    // destroyed, its modules see it leave, the last thread of a process unloads the process's
    // module). It runs on as an ordinary thread from here, so that a window procedure that sends
    // a message or a DllMain that waits does not end it a second time, unless the device shuts
    // down.
    void WindingUp(ThreadRecord& thread) {
        thread.winding_up = true;
        thread.exit_requested = false;
    }
    // Throws ThreadExit when the calling device thread has been asked to end: the platform's calls
    // that pump messages without waiting (PeekMessageW, SendMessageW) are places to end, too.
    void ExitIfRequested();

    void Attach(std::string name);
    void Detach();

    void WaitForIdle();

    // Device threads that have started and not yet ended.
    int LiveDeviceThreads();

    // A time-holding thread is about to wait on a host primitive that another device thread
    // releases (the module table while another thread's DllMain runs): it counts as blocked
    // without a time limit until EndOutsideWait, so that time can move for the others.
    // The thread that releases such waiters calls ReleaseOutsideWaiters with the same channel
    // (the host primitive's address) before it wakes them: they count as running from then on.
    void BeginOutsideWait(const void* channel);
    void EndOutsideWait();
    void ReleaseOutsideWaiters(const void* channel);

    // How long (host time) WaitForIdle waits before it names the threads that run outside
    // platform waits; it then goes on waiting and reports again after each such period.
    void set_settle_watchdog(std::chrono::milliseconds period) { settle_watchdog_ = period; }

    // Ends every device thread: blocked ones leave their wait, running ones at their next wait.
    // Returns once all have ended, or reports those that did not end within the grace period.
    void Shutdown();

  private:
    bool MustExit(const ThreadRecord& thread) const;
    bool TrySatisfy(ThreadRecord& thread, WaitBlock& block);
    void Complete(ThreadRecord& thread, uint32_t result, uint32_t error);
    void Unregister(ThreadRecord& thread, WaitBlock& block);
    void Blocked();  // a thread that holds time has blocked: maybe move time on
    void AdvanceSimulatedTime();
    void ReportDeadlock();
    // Writes the reports made while the lock was held, with the lock released: a trace sink
    // may call the platform, which takes the lock again.
    void WriteReports(std::unique_lock<std::mutex>& guard);
    std::chrono::steady_clock::time_point HostTimeOf(uint64_t device_ms) const;

    const ClockMode mode_;
    const std::chrono::steady_clock::time_point boot_;
    std::atomic<uint64_t> simulated_now_ms_{0};

    std::mutex lock_;
    std::condition_variable idle_changed_;
    std::condition_variable threads_ended_;
    std::vector<ThreadRecord*> blocked_;  // every thread in a wait, in the order it started
    int running_ = 0;                     // threads that hold time and are not blocked
    int live_device_threads_ = 0;
    bool shutting_down_ = false;
    // Thread ids are handed out without the kernel lock: a thread's first platform call may
    // come while it holds that lock.
    std::atomic<uint32_t> next_thread_id_{1};
    struct Report {
        uint64_t device_ms = 0;
        std::string text;
    };
    std::vector<Report> pending_reports_;
    std::vector<ThreadRecord*> holders_;  // every thread that holds time
    std::chrono::milliseconds settle_watchdog_{10'000};
    uint64_t generation_;
};

// The calling thread's scheduler record on the current device.
Scheduler& CurrentScheduler();

// Counts the calling thread as blocked while it waits on a host primitive (see
// Scheduler::BeginOutsideWait). Does nothing without a device.
class OutsideWait {
  public:
    explicit OutsideWait(const void* channel);
    ~OutsideWait();
    OutsideWait(const OutsideWait&) = delete;
    OutsideWait& operator=(const OutsideWait&) = delete;

  private:
    Scheduler* scheduler_ = nullptr;
};

// Before a host primitive wakes its waiters: they count as running again. Does nothing without a
// device.
void ReleaseOutsideWaiters(const void* channel);

}  // namespace tovarin::kernel
