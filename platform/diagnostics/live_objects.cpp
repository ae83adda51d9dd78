#include "host/live_objects.h"

#include "gwes/window_manager.h"
#include "host/device.h"
#include "kernel/critical_sections.h"
#include "kernel/handles.h"
#include "kernel/local_heap.h"
#include "kernel/registry/registry.h"
#include "kernel/scheduler.h"

namespace tovarin::diagnostics {

LiveObjects CountLiveObjects() {
    kernel::Device& device = kernel::Device::Current();
    LiveObjects objects;
    objects.handles_by_type = device.handles().CountByType();
    for (const auto& [type, count] : objects.handles_by_type) {
        objects.handles += count;
    }
    objects.device_threads = static_cast<size_t>(device.scheduler().LiveDeviceThreads());
    objects.registry_keys = device.registry().OpenKeyCount();
    objects.registry_notifications = device.registry().notifier().WatchCount();
    objects.local_blocks = device.local_heap().Count();
    objects.critical_sections = kernel::LiveCriticalSections();
    if (std::shared_ptr<gwes::WindowManager> windows = gwes::WindowManager::Existing()) {
        auto lock = windows->Lock();
        objects.windows = windows->windows().Count();
        objects.timers = windows->TimerCount();
    }
    return objects;
}

std::string Describe(const LiveObjects& objects) {
    std::string types;
    for (const auto& [type, count] : objects.handles_by_type) {
        types += (types.empty() ? " (" : ", ") + type + " " + std::to_string(count);
    }
    if (!types.empty()) {
        types += ")";
    }
    return "handles " + std::to_string(objects.handles) + types + ", device threads " +
           std::to_string(objects.device_threads) + ", windows " + std::to_string(objects.windows) +
           ", timers " + std::to_string(objects.timers) + ", registry keys " +
           std::to_string(objects.registry_keys) + ", registry notifications " +
           std::to_string(objects.registry_notifications) + ", LocalAlloc blocks " +
           std::to_string(objects.local_blocks) + ", critical sections " +
           std::to_string(objects.critical_sections);
}

}  // namespace tovarin::diagnostics
