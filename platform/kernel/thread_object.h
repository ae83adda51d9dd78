// The waitable object behind a thread handle.
#pragma once

#include <memory>

#include <winbase.h>

#include "kernel/scheduler.h"

namespace tovarin::kernel {

namespace processes {
class ProcessObject;
}

class ThreadObject final : public Waitable {
  public:
    explicit ThreadObject(uint32_t id) : id_(id) {}
    const char* TypeName() const override { return "thread"; }
    bool IsSignalledFor(const ThreadRecord&) const override { return finished_; }

    // Kernel lock held.
    void Finish(Scheduler& scheduler, uint32_t exit_code) {
        exit_code_ = exit_code;
        finished_ = true;
        scheduler.Signalled(*this);
    }
    uint32_t ExitCode() const { return finished_ ? exit_code_ : STILL_ACTIVE; }
    uint32_t id() const { return id_; }

    std::weak_ptr<Waitable> gate;          // set while a suspended thread waits for ResumeThread
    std::shared_ptr<ThreadRecord> record;  // its scheduler record: priority

  private:
    const uint32_t id_;
    bool finished_ = false;
    uint32_t exit_code_ = 0;
};

// Starts a device thread of `process` (nullptr: of the host program), its main thread or another
// one, as CreateThread does. Sets the last error and returns nullptr on failure.
HANDLE StartDeviceThread(std::shared_ptr<processes::ProcessObject> process, bool main_thread,
                         LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                         LPDWORD thread_id);

}  // namespace tovarin::kernel
