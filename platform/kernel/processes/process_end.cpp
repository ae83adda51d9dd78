#include "kernel/processes/process_end.h"

#include <windows.h>

#include "host/device.h"
#include "kernel/critical_sections.h"
#include "kernel/handles.h"
#include "kernel/processes/process_table.h"
#include "kernel/registry/registry.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel::processes {
namespace {

// On the last thread of the process, with no lock held.
void Reclaim(ProcessObject& process) {
    const uint32_t id = process.id();
    try {
        // Its callbacks point into its code, which is about to go.
        Device::Current().registry().notifier().CloseAllOf(id);
        if (ProcessHooks::ended) {
            ProcessHooks::ended(id, process.image());
        }
        // The module's own DllMain and static objects may delete their sections first.
        FreeLibrary(process.module());
    } catch (const ThreadExit&) {
        // The device shuts down and ended a wait of the module's DllMain (or of a callback being
        // closed): the device unloads what is left itself, and the rest goes below.
    }
    // Gone from the list once its module is released, as those who poll the list expect.
    Processes().Remove(id);
    ReclaimCriticalSections(id);
    Handles().CloseAllOf(id);
}

}  // namespace

void ThreadOfProcessEnded(ProcessObject& process, ThreadRecord& thread, uint32_t exit_code) {
    Scheduler& scheduler = CurrentScheduler();
    {
        std::lock_guard guard(scheduler.lock());
        if (!process.RemoveThread(scheduler, thread, exit_code)) {
            return;
        }
    }
    Reclaim(process);
    std::lock_guard guard(scheduler.lock());
    process.Finish(scheduler);
}

bool EndProcess(ProcessObject& process, uint32_t exit_code) {
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    return process.BeginEnd(scheduler, exit_code);
}

}  // namespace tovarin::kernel::processes
