// Critical sections. Entering one that another thread holds is a platform wait like any other, so
// simulated time can move while the owner sleeps.
#include <windows.h>

#include "host/device.h"
#include "kernel/scheduler.h"

using namespace tovarin::kernel;

namespace tovarin::kernel {
namespace {

class CriticalSectionLock final : public Waitable {
  public:
    const char* TypeName() const override { return "critical section"; }
    bool IsSignalledFor(const ThreadRecord& waiter) const override {
        return owner_ == 0 || owner_ == waiter.id;
    }
    void Acquire(ThreadRecord& waiter) override {
        owner_ = waiter.id;
        ++depth_;
    }
    // Kernel lock held. Returns false when the caller does not own the section.
    bool Release(Scheduler& scheduler, uint32_t thread_id) {
        if (owner_ != thread_id || depth_ == 0) {
            return false;
        }
        if (--depth_ == 0) {
            owner_ = 0;
            scheduler.Signalled(*this);
        }
        return true;
    }
    uint32_t owner() const { return owner_; }
    uint32_t depth() const { return depth_; }

  private:
    uint32_t owner_ = 0;
    uint32_t depth_ = 0;
};

CriticalSectionLock* LockOf(LPCRITICAL_SECTION section) {
    return static_cast<CriticalSectionLock*>(section->LockObject);
}

void Mirror(LPCRITICAL_SECTION section, const CriticalSectionLock& lock) {
    section->OwnerThread = lock.owner();
    section->LockCount = lock.depth();
}

}  // namespace
}  // namespace tovarin::kernel

extern "C" {

// The lock object does not belong to a device: a module may initialise its sections while it is
// being loaded and delete them when it is unloaded.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    lpCriticalSection->LockObject = new CriticalSectionLock();
    lpCriticalSection->OwnerThread = 0;
    lpCriticalSection->LockCount = 0;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    delete LockOf(lpCriticalSection);
    lpCriticalSection->LockObject = nullptr;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    CriticalSectionLock* lock = LockOf(lpCriticalSection);
    Scheduler& scheduler = CurrentScheduler();
    Waitable* objects[] = {lock};
    scheduler.Wait(objects, false, INFINITE, nullptr);
    std::lock_guard guard(scheduler.lock());
    Mirror(lpCriticalSection, *lock);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    CriticalSectionLock* lock = LockOf(lpCriticalSection);
    Scheduler& scheduler = CurrentScheduler();
    Waitable* objects[] = {lock};
    if (scheduler.Wait(objects, false, 0, nullptr) != WAIT_OBJECT_0) {
        return FALSE;
    }
    std::lock_guard guard(scheduler.lock());
    Mirror(lpCriticalSection, *lock);
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    CriticalSectionLock* lock = LockOf(lpCriticalSection);
    Scheduler& scheduler = CurrentScheduler();
    uint32_t self = scheduler.Self().id;
    std::lock_guard guard(scheduler.lock());
    lock->Release(scheduler, self);
    Mirror(lpCriticalSection, *lock);
}

}  // extern "C"
