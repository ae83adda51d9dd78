// Kernel objects and the waits on them.
//
// Every piece of waitable state (events, threads, mutexes, critical sections, message queue ends)
// is guarded by the one kernel lock that the scheduler owns. A thread that waits registers itself
// with each object; when an object becomes signalled, the waiters are satisfied at once, in the
// order in which they started waiting, while the lock is still held. That makes the outcome of a
// race (which waiter takes an auto-reset event) independent of how the host schedules threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tovarin::kernel {

struct ThreadRecord;

class KernelObject : public std::enable_shared_from_this<KernelObject> {
  public:
    virtual ~KernelObject() = default;
    // What a deadlock report calls the object ("event", "thread", ...).
    virtual const char* TypeName() const = 0;
    // The object's name, empty when unnamed.
    const std::wstring& name() const { return name_; }
    void set_name(std::wstring name) { name_ = std::move(name); }

  private:
    std::wstring name_;
};

class Waitable : public KernelObject {
  public:
    // Both are called with the kernel lock held.
    virtual bool IsSignalledFor(const ThreadRecord& waiter) const = 0;
    // Takes what a satisfied wait consumes: an auto-reset event's signal, a mutex's ownership.
    virtual void Acquire(ThreadRecord& waiter) { (void)waiter; }

    // Threads blocked on this object, in the order they started waiting (kernel lock held).
    std::vector<ThreadRecord*> waiters;
};

// Raised inside a device thread to end it: by ExitThread, or by the device shutting down while
// the thread is blocked. The thread's start routine catches it; nothing else does.
struct ThreadExit {
    uint32_t exit_code;
};

}  // namespace tovarin::kernel
