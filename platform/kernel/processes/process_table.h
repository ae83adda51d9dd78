// The running processes of the device, and the process of the calling thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "kernel/processes/process_object.h"

namespace tovarin::kernel::processes {

class ProcessTable {
  public:
    // The id the next process gets.
    uint32_t NextId();
    // A process of the device that is up. The table keeps it alive until Remove, so that its
    // main thread can take a reference of its own when it starts.
    void Add(std::shared_ptr<ProcessObject> process);
    void Remove(uint32_t id);
    // Processes whose main thread has not ended them yet. A main thread that never ran (the
    // device shut down while it was created suspended) cannot end its process: such a process
    // is dropped once its device is gone.
    std::vector<std::shared_ptr<ProcessObject>> Running();

  private:
    struct Entry {
        std::shared_ptr<ProcessObject> process;
        std::weak_ptr<KernelObject> device;  // expires when the device shuts down
    };

    // A mark of the device that is up: an object in its handle table, which lives exactly as
    // long as the device's handles do. Mutex held.
    std::weak_ptr<KernelObject> CurrentDeviceMark();

    std::mutex mutex_;
    std::map<uint32_t, Entry> running_;
    std::weak_ptr<KernelObject> device_mark_;
    uint32_t next_id_ = 2;  // 1 is the host program
};

// One table for the host process, which may boot one device after another.
ProcessTable& Processes();

// Marks the calling thread as a thread of `process` (its main thread, or one that a thread of
// the process created) while the object lives.
class ThreadOf {
  public:
    explicit ThreadOf(std::shared_ptr<ProcessObject> process);
    ~ThreadOf();
    ThreadOf(const ThreadOf&) = delete;
    ThreadOf& operator=(const ThreadOf&) = delete;
};

// While it lives, what the calling thread makes belongs to the device, not to its process: the
// device-wide services that a program's call starts on first use (the registry's notification
// thread) outlive the program.
class OnBehalfOfDevice {
  public:
    OnBehalfOfDevice();
    ~OnBehalfOfDevice();
    OnBehalfOfDevice(const OnBehalfOfDevice&) = delete;
    OnBehalfOfDevice& operator=(const OnBehalfOfDevice&) = delete;

  private:
    std::shared_ptr<ProcessObject> saved_;
};

// The process of the calling thread, or nullptr for the host program's threads.
const ProcessObject* ProcessOfCurrentThread();
std::shared_ptr<ProcessObject> SharedProcessOfCurrentThread();

}  // namespace tovarin::kernel::processes
