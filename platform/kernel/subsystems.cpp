#include "kernel/subsystems.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace tovarin::kernel {
namespace {

// Filled while the library loads (one thread), read from then on; the lock keeps a late
// registration (a test's) safe all the same.
struct Subsystems {
    std::mutex lock;
    std::vector<SubsystemHooks> hooks;
};

// Made at first use: the subsystems register from other files' initialisers, in any order.
Subsystems& All() {
    static Subsystems subsystems;
    return subsystems;
}

std::vector<SubsystemHooks> Snapshot() {
    Subsystems& all = All();
    std::lock_guard guard(all.lock);
    return all.hooks;
}

}  // namespace

bool AddSubsystem(const SubsystemHooks& hooks) {
    Subsystems& all = All();
    std::lock_guard guard(all.lock);
    auto place = std::ranges::upper_bound(all.hooks, hooks.order, {}, &SubsystemHooks::order);
    all.hooks.insert(place, hooks);
    return true;
}

void RegisterSubsystemModules() {
    for (const SubsystemHooks& each : Snapshot()) {
        if (each.register_modules) {
            each.register_modules();
        }
    }
}

void SubsystemsThreadEnding() {
    for (const SubsystemHooks& each : Snapshot()) {
        if (each.thread_ending) {
            each.thread_ending();
        }
    }
}

}  // namespace tovarin::kernel
