// The host door's view of named events (host/events.h): their state, read from the kernel's handle
// table.
#include "host/events.h"

#include <memory>
#include <mutex>
#include <string_view>

#include "kernel/handles.h"
#include "kernel/object.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel {

std::optional<bool> NamedEventState(const std::wstring& name) {
    std::shared_ptr<KernelObject> object = Handles().FindNamed(name);
    auto waitable = std::dynamic_pointer_cast<Waitable>(object);
    if (!waitable || !std::string_view(waitable->TypeName()).ends_with("event")) {
        return std::nullopt;
    }
    Scheduler& scheduler = CurrentScheduler();
    // Made before the kernel lock is taken: making a thread's record takes the lock as well.
    ThreadRecord& self = scheduler.Self();
    std::lock_guard guard(scheduler.lock());
    return waitable->IsSignalledFor(self);
}

}  // namespace tovarin::kernel
