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

#include "kernel/device.h"
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
    bool waiting_for_idle = false;

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

    void Attach(std::string name);
    void Detach();

    void WaitForIdle();

    // Device threads started and not ended yet.
    int LiveDeviceThreads();

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
    uint32_t next_thread_id_ = 1;
    uint64_t generation_;
};

// The calling thread's scheduler record on the current device.
Scheduler& CurrentScheduler();

}  // namespace tovarin::kernel
