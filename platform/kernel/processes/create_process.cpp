// The process functions of the API (winbase.h): CreateProcessW, GetExitCodeProcess,
// ExitProcess, TerminateProcess. See processes.h for what a device process is and
// process_end.h for how it ends.
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
#include "kernel/processes/process_end.h"
#include "kernel/processes/process_object.h"
#include "kernel/processes/process_table.h"
#include "kernel/scheduler.h"
#include "kernel/thread_object.h"

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

}  // namespace

void (*tovarin::kernel::processes::ProcessHooks::ended)(uint32_t, const std::wstring&) = nullptr;

namespace {

// WinMain's return ends the whole process (the main thread's end does: see process_end.h), as
// the runtime's call of ExitProcess does on the device.
DWORD WINAPI ProcessMainThread(LPVOID parameter) {
    return static_cast<DWORD>(static_cast<ProcessObject*>(parameter)->RunWinMain(SW_SHOW));
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
    HANDLE thread = StartDeviceThread(process, /*main_thread=*/true, ProcessMainThread,
                                      process.get(), CREATE_SUSPENDED, &thread_id);
    if (!thread) {
        const DWORD error = GetLastError();
        Processes().Remove(process->id());
        Handles().Close(process_handle);
        SetError(error);
        return FALSE;
    }
    module.HandOn();  // the process's last thread frees it
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

void WINAPI ExitProcess(UINT uExitCode) {
    if (std::shared_ptr<ProcessObject> process = SharedProcessOfCurrentThread()) {
        EndProcess(*process, uExitCode);
    }
    throw ThreadExit{uExitCode};
}

BOOL WINAPI TerminateProcess(HANDLE hProcess, UINT uExitCode) {
    if (hProcess == GetCurrentProcess() && !SharedProcessOfCurrentThread()) {
        SetError(ERROR_NOT_SUPPORTED);  // the host program is not the device's to end
        return FALSE;
    }
    auto process = Handles().LookupAs<ProcessObject>(hProcess);
    if (hProcess == GetCurrentProcess() || (process && process == SharedProcessOfCurrentThread())) {
        ExitProcess(uExitCode);  // a program that ends itself does not return
    }
    if (!process) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!EndProcess(*process, uExitCode)) {
        SetError(ERROR_ACCESS_DENIED);  // it is ending or has ended
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
