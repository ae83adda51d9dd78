// Events and mutexes.
#include <windows.h>

#include "host/device.h"
#include "kernel/handles.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel {
namespace {

class Event final : public Waitable {
  public:
    Event(bool manual_reset, bool signalled) : manual_reset_(manual_reset), signalled_(signalled) {}
    const char* TypeName() const override { return manual_reset_ ? "manual-reset event" : "event"; }
    bool IsSignalledFor(const ThreadRecord&) const override { return signalled_; }
    void Acquire(ThreadRecord&) override {
        if (!manual_reset_) {
            signalled_ = false;
        }
    }

    // Kernel lock held.
    void Modify(Scheduler& scheduler, DWORD func) {
        switch (func) {
            case EVENT_SET:
                signalled_ = true;
                scheduler.Signalled(*this);
                break;
            case EVENT_RESET:
                signalled_ = false;
                break;
            case EVENT_PULSE:
                // Releases the threads waiting at this moment (one for an auto-reset event) and
                // leaves the event clear.
                signalled_ = true;
                scheduler.Signalled(*this);
                signalled_ = false;
                break;
        }
    }
    bool signalled() const { return signalled_; }

  private:
    const bool manual_reset_;
    bool signalled_;
};

class Mutex final : public Waitable {
  public:
    const char* TypeName() const override { return "mutex"; }
    bool IsSignalledFor(const ThreadRecord& waiter) const override {
        return owner_ == 0 || owner_ == waiter.id;
    }
    void Acquire(ThreadRecord& waiter) override {
        owner_ = waiter.id;
        ++count_;
    }
    // Kernel lock held.
    bool Release(Scheduler& scheduler, uint32_t thread_id) {
        if (owner_ != thread_id || count_ == 0) {
            return false;
        }
        if (--count_ == 0) {
            owner_ = 0;
            scheduler.Signalled(*this);
        }
        return true;
    }

  private:
    uint32_t owner_ = 0;
    uint32_t count_ = 0;
};

// Creates a new named or unnamed object, or returns a new handle to the existing object of that
// name (with ERROR_ALREADY_EXISTS) when it has the same type.
template <typename T, typename Make>
HANDLE CreateOrOpen(LPCWSTR name, Make make) {
    HandleTable& handles = Handles();
    if (name && *name) {
        if (wcslen(name) > MAX_PATH) {
            SetError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        bool existed = false;
        DWORD error = ERROR_SUCCESS;
        HANDLE handle = handles.CreateOrOpenNamed(
            name, [](const KernelObject& object) { return dynamic_cast<const T*>(&object); },
            [&]() -> std::shared_ptr<KernelObject> { return make(); }, &existed, &error);
        SetError(error);
        return handle;
    }
    HANDLE handle = handles.Insert(make());
    SetError(handle ? ERROR_SUCCESS : ERROR_OUTOFMEMORY);
    return handle;
}

}  // namespace
}  // namespace tovarin::kernel

using namespace tovarin::kernel;

extern "C" {

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState,
                           LPCWSTR lpName) {
    return CreateOrOpen<Event>(lpName, [&] {
        return std::make_shared<Event>(bManualReset != FALSE, bInitialState != FALSE);
    });
}

HANDLE WINAPI OpenEventW(DWORD, BOOL, LPCWSTR lpName) {
    if (!lpName || !*lpName) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto existing = std::dynamic_pointer_cast<Event>(Handles().FindNamed(lpName));
    if (!existing) {
        SetError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return Handles().Insert(existing);
}

BOOL WINAPI EventModify(HANDLE hEvent, DWORD func) {
    auto event = Handles().LookupAs<Event>(hEvent);
    if (!event || func < EVENT_PULSE || func > EVENT_SET) {
        SetError(event ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    event->Modify(scheduler, func);
    return TRUE;
}

BOOL WINAPI SetEvent(HANDLE hEvent) {
    return EventModify(hEvent, EVENT_SET);
}
BOOL WINAPI ResetEvent(HANDLE hEvent) {
    return EventModify(hEvent, EVENT_RESET);
}
BOOL WINAPI PulseEvent(HANDLE hEvent) {
    return EventModify(hEvent, EVENT_PULSE);
}

HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
    HANDLE handle = CreateOrOpen<Mutex>(lpName, [] { return std::make_shared<Mutex>(); });
    if (handle && bInitialOwner && GetLastError() != ERROR_ALREADY_EXISTS) {
        WaitForSingleObject(handle, 0);
        SetError(ERROR_SUCCESS);
    }
    return handle;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    auto mutex = Handles().LookupAs<Mutex>(hMutex);
    if (!mutex) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    uint32_t self = scheduler.Self().id;
    std::lock_guard guard(scheduler.lock());
    if (!mutex->Release(scheduler, self)) {
        SetError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
