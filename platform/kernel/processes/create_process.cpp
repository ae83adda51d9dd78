// The process functions of the API (winbase.h): CreateProcessW, GetExitCodeProcess,
// TerminateProcess. See processes.h for what a device process is.
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <system_error>

#include <windows.h>

#include "host/device_log.h"
#include "host/device_paths.h"
#include "kernel/handles.h"
#include "kernel/processes/image_name.h"
#include "kernel/processes/process_object.h"
#include "kernel/processes/process_table.h"
#include "kernel/scheduler.h"

using namespace tovarin::kernel;
using namespace tovarin::kernel::processes;

namespace {

// The first candidate that is a file of the image.
std::optional<std::wstring> FindImage(std::wstring_view image) {
    for (const std::wstring& device_path : ImageCandidates(image)) {
        std::optional<std::filesystem::path> host = HostPathFor(device_path);
        std::error_code error;
        if (host && std::filesystem::is_regular_file(*host, error)) {
            return device_path;
        }
    }
    return std::nullopt;
}

// The loader's errors as a program's start reports them.
DWORD StartErrorOf(DWORD load_error) {
    switch (load_error) {
        case ERROR_BAD_FORMAT:
            return ERROR_BAD_EXE_FORMAT;
        case ERROR_MOD_NOT_FOUND:
            return ERROR_FILE_NOT_FOUND;
        default:
            return load_error;
    }
}

// A module reference that is freed unless handed on.
class ModuleReference {
  public:
    explicit ModuleReference(HMODULE module) : module_(module) {}
    ~ModuleReference() {
        if (module_) {
            FreeLibrary(module_);
        }
    }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
    HMODULE get() const { return module_; }
    void HandOn() { module_ = nullptr; }

  private:
    HMODULE module_;
};

std::wstring DevicePathOf(HMODULE module) {
    wchar_t path[MAX_PATH] = {};
    return GetModuleFileNameW(module, path, MAX_PATH) ? path : L"";
}

// Ends the process when its main thread leaves, also by an exception (the device shutting down
// while the thread waits): it leaves the list of running processes, then its handle is
// signalled.
class ProcessEnd {
  public:
    explicit ProcessEnd(std::shared_ptr<ProcessObject> process) : process_(std::move(process)) {}
    ~ProcessEnd() {
        if (ProcessHooks::ended) {
            ProcessHooks::ended(process_->id(), process_->image());
        }
        Processes().Remove(process_->id());
        Scheduler& scheduler = CurrentScheduler();
        std::lock_guard guard(scheduler.lock());
        process_->Finish(scheduler, exit_code);
    }
    ProcessEnd(const ProcessEnd&) = delete;
    ProcessEnd& operator=(const ProcessEnd&) = delete;

    DWORD exit_code = 0;

  private:
    std::shared_ptr<ProcessObject> process_;
};

}  // namespace

void (*tovarin::kernel::processes::ProcessHooks::ended)(uint32_t, const std::wstring&) = nullptr;

namespace {

DWORD WINAPI ProcessMainThread(LPVOID parameter) {
    // The table holds the process until ProcessEnd takes it out.
    auto process = std::static_pointer_cast<ProcessObject>(
        static_cast<ProcessObject*>(parameter)->shared_from_this());
    ProcessEnd end(process);
    MainThreadOf main_thread(*process);
    try {
        end.exit_code = static_cast<DWORD>(process->RunWinMain(SW_SHOW));
    } catch (const ThreadExit& exit) {
        end.exit_code = exit.exit_code;
    }
    // The module goes after WinMain has returned and before the handle is signalled, so that a
    // caller that waited for the process finds the module's reference released.
    FreeLibrary(process->module());
    return end.exit_code;
}

BOOL StartProcess(LPCWSTR application_name, LPCWSTR command_line, DWORD creation_flags,
                  LPPROCESS_INFORMATION information) {
    std::optional<ProgramRequest> request = ReadProgramRequest(application_name, command_line);
    if (!request) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<std::wstring> device_path = FindImage(request->image);
    if (!device_path) {
        SetError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    ModuleReference module(LoadLibraryW(device_path->c_str()));
    if (!module.get()) {
        SetError(StartErrorOf(GetLastError()));
        return FALSE;
    }
    // Through the generic function pointer type, which converts to any other without warning.
    auto win_main = reinterpret_cast<WinMainProc>(
        reinterpret_cast<void (*)()>(GetProcAddressA(module.get(), "WinMain")));
    if (!win_main) {
        SetError(ERROR_BAD_EXE_FORMAT);  // a module, but not a program
        return FALSE;
    }

    std::wstring image = DevicePathOf(module.get());
    auto process =
        std::make_shared<ProcessObject>(Processes().NextId(), image.empty() ? *device_path : image,
                                        request->command_line, module.get(), win_main);
    HANDLE process_handle = Handles().Insert(process);
    if (!process_handle) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    Processes().Add(process);
    // Suspended until the start is recorded, so that the log shows it before anything the
    // program does.
    DWORD thread_id = 0;
    HANDLE thread =
        CreateThread(nullptr, 0, ProcessMainThread, process.get(), CREATE_SUSPENDED, &thread_id);
    if (!thread) {
        const DWORD error = GetLastError();
        Processes().Remove(process->id());
        Handles().Close(process_handle);
        SetError(error);
        return FALSE;
    }
    module.HandOn();  // the main thread frees it
    Record(StartedRecord{process->image(), process->command_line()});
    if (!(creation_flags & CREATE_SUSPENDED)) {
        ResumeThread(thread);
    }

    if (information) {
        information->hProcess = process_handle;
        information->hThread = thread;
        information->dwProcessId = process->id();
        information->dwThreadId = thread_id;
    } else {
        Handles().Close(process_handle);
        Handles().Close(thread);
    }
    return TRUE;
}

}  // namespace

extern "C" {

BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL, DWORD dwCreationFlags, LPVOID, LPCWSTR,
                           LPSTARTUPINFOW, LPPROCESS_INFORMATION lpProcessInformation) {
    try {
        return StartProcess(lpApplicationName, lpCommandLine, dwCreationFlags,
                            lpProcessInformation);
    } catch (const std::bad_alloc&) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
    if (hProcess == GetCurrentProcess()) {
        if (!lpExitCode) {
            SetError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        *lpExitCode = STILL_ACTIVE;  // the caller runs, so its process does
        return TRUE;
    }
    auto process = Handles().LookupAs<ProcessObject>(hProcess);
    if (!process || !lpExitCode) {
        SetError(process ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Scheduler& scheduler = CurrentScheduler();
    std::lock_guard guard(scheduler.lock());
    *lpExitCode = process->ExitCode();
    return TRUE;
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT) {
    if (hProcess != GetCurrentProcess() && !Handles().LookupAs<ProcessObject>(hProcess)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    SetError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

}  // extern "C"
