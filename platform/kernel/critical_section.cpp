// Critical sections. Entering one that another thread holds is a platform wait like any other, so
// simulated time can move while the owner sleeps.
#include <mutex>
#include <unordered_map>
#include <vector>

#include <windows.h>

#include "host/device.h"
#include "host/processes.h"
#include "kernel/critical_sections.h"
#include "kernel/modules/loader.h"
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

// Every lock not deleted yet, with the section it was made for and the process whose thread
// initialised it (0: no process's). DeleteCriticalSection frees only a lock listed for its own
// section, so that a program that deletes a section after its lock was reclaimed frees nothing
// twice.
class LockRegistry {
  public:
    void Add(CriticalSectionLock* lock, LPCRITICAL_SECTION section, uint32_t process) {
        std::lock_guard guard(mutex_);
        locks_[lock] = {section, process};
    }
    // True when the lock was listed for that section: the caller frees it.
    bool Remove(CriticalSectionLock* lock, LPCRITICAL_SECTION section) {
        std::lock_guard guard(mutex_);
        auto found = locks_.find(lock);
        if (found == locks_.end() || found->second.section != section) {
            return false;
        }
        locks_.erase(found);
        return true;
    }
    std::vector<CriticalSectionLock*> TakeAllOf(uint32_t process) {
        std::vector<CriticalSectionLock*> taken;
        std::lock_guard guard(mutex_);
        for (auto it = locks_.begin(); it != locks_.end();) {
            if (it->second.process == process) {
                taken.push_back(it->first);
                it = locks_.erase(it);
            } else {
                ++it;
            }
        }
        return taken;
    }
    // A lock that someone outside the ended process waits for stays, as no one's.
    void Keep(CriticalSectionLock* lock) {
        std::lock_guard guard(mutex_);
        locks_[lock] = {nullptr, 0};
    }
    size_t Count() {
        std::lock_guard guard(mutex_);
        return locks_.size();
    }

  private:
    struct Owner {
        LPCRITICAL_SECTION section = nullptr;
        uint32_t process = 0;
    };
    std::mutex mutex_;
    std::unordered_map<CriticalSectionLock*, Owner> locks_;
};

LockRegistry& Locks() {
    // Never destroyed: modules may delete their sections while the host program ends.
    static LockRegistry* registry = new LockRegistry;
    return *registry;
}

void Mirror(LPCRITICAL_SECTION section, const CriticalSectionLock& lock) {
    section->OwnerThread = lock.owner();
    section->LockCount = lock.depth();
}

}  // namespace

void ReclaimCriticalSections(uint32_t process_id) {
    std::vector<CriticalSectionLock*> reclaimed;
    for (CriticalSectionLock* lock : Locks().TakeAllOf(process_id)) {
        bool in_use = false;
        if (Device::IsUp()) {
            Scheduler& scheduler = CurrentScheduler();
            std::lock_guard guard(scheduler.lock());
            in_use = !lock->waiters.empty();
        }
        if (in_use) {
            Locks().Keep(lock);
        } else {
            delete lock;
        }
    }
}

size_t LiveCriticalSections() {
    return Locks().Count();
}

}  // namespace tovarin::kernel

extern "C" {

// The lock object does not belong to a device: a module may initialise its sections while it is
// being loaded and delete them when it is unloaded.
void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    auto* lock = new CriticalSectionLock();
    const uint32_t process = modules::InModuleEntry() ? 0 : processes::CurrentProcessId();
    Locks().Add(lock, lpCriticalSection, process);
    lpCriticalSection->LockObject = lock;
    lpCriticalSection->OwnerThread = 0;
    lpCriticalSection->LockCount = 0;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    CriticalSectionLock* lock = LockOf(lpCriticalSection);
    if (Locks().Remove(lock, lpCriticalSection)) {
        delete lock;
    }
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
