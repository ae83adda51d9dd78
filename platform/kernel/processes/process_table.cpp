#include "kernel/processes/process_table.h"

#include "kernel/handles.h"
#include "host/processes.h"

namespace tovarin::kernel::processes {
namespace {

// The process of the calling thread: set on its main thread and on every thread that a thread of
// the process creates. Shared, so that a thread outliving its main thread keeps the record.
thread_local std::shared_ptr<ProcessObject> t_process;
constexpr uint32_t kHostProgramId = 1;

class DeviceMark final : public KernelObject {
  public:
    const char* TypeName() const override { return "device mark"; }
};

}  // namespace

uint32_t ProcessTable::NextId() {
    std::lock_guard guard(mutex_);
    return next_id_++;
}

void ProcessTable::Add(std::shared_ptr<ProcessObject> process) {
    std::lock_guard guard(mutex_);
    const uint32_t id = process->id();
    running_.emplace(id, Entry{std::move(process), CurrentDeviceMark()});
}

void ProcessTable::Remove(uint32_t id) {
    std::shared_ptr<ProcessObject> last;  // released outside the lock
    std::lock_guard guard(mutex_);
    auto found = running_.find(id);
    if (found != running_.end()) {
        last = std::move(found->second.process);
        running_.erase(found);
    }
}

std::vector<std::shared_ptr<ProcessObject>> ProcessTable::Running() {
    std::vector<std::shared_ptr<ProcessObject>> running;
    std::vector<std::shared_ptr<ProcessObject>> gone;  // released outside the lock
    std::lock_guard guard(mutex_);
    for (auto it = running_.begin(); it != running_.end();) {
        if (it->second.device.expired()) {
            gone.push_back(std::move(it->second.process));
            it = running_.erase(it);
        } else {
            running.push_back(it->second.process);
            ++it;
        }
    }
    return running;
}

std::weak_ptr<KernelObject> ProcessTable::CurrentDeviceMark() {
    std::shared_ptr<KernelObject> mark = device_mark_.lock();
    if (!mark) {
        // The previous device's mark went with its handle table, before this device booted.
        mark = std::make_shared<DeviceMark>();
        Handles().Insert(mark, kHostProgramId);  // never closed
        device_mark_ = mark;
    }
    return mark;
}

ProcessTable& Processes() {
    // Never destroyed: a main thread may still be ending while static destruction runs.
    static ProcessTable* table = new ProcessTable;
    return *table;
}

ThreadOf::ThreadOf(std::shared_ptr<ProcessObject> process) {
    t_process = std::move(process);
}

ThreadOf::~ThreadOf() {
    t_process = nullptr;
}

OnBehalfOfDevice::OnBehalfOfDevice() : saved_(std::move(t_process)) {
    t_process = nullptr;
}

OnBehalfOfDevice::~OnBehalfOfDevice() {
    t_process = std::move(saved_);
}

const ProcessObject* ProcessOfCurrentThread() {
    return t_process.get();
}

std::shared_ptr<ProcessObject> SharedProcessOfCurrentThread() {
    return t_process;
}

std::vector<ProcessInfo> RunningProcesses() {
    std::vector<ProcessInfo> list;
    for (const std::shared_ptr<ProcessObject>& process : Processes().Running()) {
        list.push_back({process->id(), process->image(), process->command_line()});
    }
    return list;
}

HMODULE CurrentProcessModule() {
    const ProcessObject* process = ProcessOfCurrentThread();
    return process ? process->module() : nullptr;
}

uint32_t CurrentProcessId() {
    const ProcessObject* process = ProcessOfCurrentThread();
    return process ? process->id() : kHostProgramId;
}

}  // namespace tovarin::kernel::processes
