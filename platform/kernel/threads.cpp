// Device threads.
#include <optional>
#include <thread>

#include <windows.h>

#include "host/device.h"
#include "host/processes.h"
#include "kernel/handles.h"
#include "kernel/modules/modules.h"
#include "kernel/processes/process_end.h"
#include "kernel/processes/process_table.h"
#include "kernel/scheduler.h"
#include "kernel/subsystems.h"
#include "kernel/thread_object.h"

using namespace tovarin::kernel;

namespace tovarin::kernel {
namespace {

// Opens the gate of a thread created suspended.
class StartGate final : public Waitable {
  public:
    const char* TypeName() const override { return "suspended start"; }
    bool IsSignalledFor(const ThreadRecord&) const override { return open; }
    bool open = false;
};

void RunDeviceThread(std::shared_ptr<ThreadRecord> record, std::shared_ptr<ThreadObject> object,
                     std::shared_ptr<StartGate> gate, LPTHREAD_START_ROUTINE start, LPVOID param,
                     std::shared_ptr<processes::ProcessObject> process) {
    Scheduler& scheduler = CurrentScheduler();
    scheduler.BindCurrentThread(record);
    std::optional<processes::ThreadOf> in_process;
    if (process) {
        in_process.emplace(process);
    }
    auto wind_up = [&] {
        std::lock_guard guard(scheduler.lock());
        scheduler.WindingUp(*record);
    };
    DWORD exit_code = 0;
    try {
        if (gate) {
            Waitable* objects[] = {gate.get()};
            scheduler.Wait(objects, false, INFINITE, nullptr);
        }
        modules::OnThreadAttach();
        try {
            exit_code = start(param);
        } catch (const ThreadExit& exit) {
            exit_code = exit.exit_code;
        }
        wind_up();
        modules::OnThreadDetach();
    } catch (const ThreadExit& exit) {
        exit_code = exit.exit_code;
    }
    wind_up();
    // However the thread ended (also inside a DllMain, as the device shuts down), its windows go
    // before anyone waiting for it sees it end.
    SubsystemsThreadEnding();
    if (process) {
        processes::ThreadOfProcessEnded(*process, *record, exit_code);
    }
    {
        std::lock_guard guard(scheduler.lock());
        object->Finish(scheduler, exit_code);
    }
    scheduler.DeviceThreadEnded(*record);
}

}  // namespace

HANDLE StartDeviceThread(std::shared_ptr<processes::ProcessObject> process, bool main_thread,
                         LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags,
                         LPDWORD thread_id) {
    Scheduler& scheduler = CurrentScheduler();
    auto record = scheduler.RegisterDeviceThread("");
    auto object = std::make_shared<ThreadObject>(record->id);
    object->record = record;
    std::shared_ptr<StartGate> gate;
    if (flags & CREATE_SUSPENDED) {
        gate = std::make_shared<StartGate>();
        object->gate = gate;
    }
    if (process) {
        // Counted before it runs, so that its process cannot finish meanwhile.
        std::lock_guard guard(scheduler.lock());
        process->AddThread(scheduler, *record, main_thread);
    }
    HANDLE handle = Handles().Insert(object);
    try {
        std::thread(RunDeviceThread, record, object, gate, start, parameter, process).detach();
    } catch (const std::system_error&) {
        Handles().Close(handle);
        if (process) {
            std::lock_guard guard(scheduler.lock());
            process->RemoveThread(scheduler, *record, 0);
        }
        scheduler.DeviceThreadEnded(*record);
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (thread_id) {
        *thread_id = record->id;
    }
    return handle;
}

}  // namespace tovarin::kernel

extern "C" {

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, DWORD, LPTHREAD_START_ROUTINE lpStartAddr,
                           LPVOID lpvThreadParam, DWORD fdwCreate, LPDWORD lpIDThread) {
    if (!lpStartAddr) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A thread belongs to the process of the thread that created it.
    return StartDeviceThread(processes::SharedProcessOfCurrentThread(), false, lpStartAddr,
                             lpvThreadParam, fdwCreate, lpIDThread);
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    auto thread = Handles().LookupAs<ThreadObject>(hThread);
    if (!thread) {
        SetError(ERROR_INVALID_HANDLE);
        return 0xFFFFFFFF;
    }
    auto gate = std::static_pointer_cast<StartGate>(thread->gate.lock());
    if (!gate) {
        return 0;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    DWORD previous = gate->open ? 0 : 1;
    gate->open = true;
    scheduler.Signalled(*gate);
    return previous;
}

void WINAPI ExitThread(DWORD dwExitCode) {
    throw ThreadExit{dwExitCode};
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    auto thread = Handles().LookupAs<ThreadObject>(hThread);
    if (!thread || !lpExitCode) {
        SetError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    *lpExitCode = thread->ExitCode();
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) {
    return CurrentScheduler().Self().id;
}

// The pseudo handles of the documented API.
HANDLE WINAPI GetCurrentThread(void) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-2));
}
HANDLE WINAPI GetCurrentProcess(void) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));
}
DWORD WINAPI GetCurrentProcessId(void) {
    return processes::CurrentProcessId();
}

}  // extern "C"

namespace {

// The priority word of a thread handle (or of the pseudo handle of the calling thread).
std::atomic<int>* PriorityOf(HANDLE thread) {
    if (thread == GetCurrentThread()) {
        return &CurrentScheduler().Self().priority;
    }
    auto object = Handles().LookupAs<ThreadObject>(thread);
    return object && object->record ? &object->record->priority : nullptr;
}

}  // namespace

extern "C" {

BOOL WINAPI SetThreadPriority(HANDLE hThread, int nPriority) {
    // Host threads run at one priority; the value is kept and reported as the device does.
    if (nPriority < THREAD_PRIORITY_TIME_CRITICAL || nPriority > THREAD_PRIORITY_IDLE) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::atomic<int>* priority = PriorityOf(hThread);
    if (!priority) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    priority->store(nPriority);
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE hThread) {
    std::atomic<int>* priority = PriorityOf(hThread);
    if (!priority) {
        SetError(ERROR_INVALID_HANDLE);
        return THREAD_PRIORITY_ERROR_RETURN;
    }
    return priority->load();
}

}  // extern "C"
