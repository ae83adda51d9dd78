// CreateToolhelp32Snapshot and the process walk over it: the processes that were running when
// the snapshot was taken, oldest first.
#include <cwchar>
#include <vector>

#include <windows.h>
#include <tlhelp32.h>

#include "kernel/handles.h"
#include "host/processes.h"

namespace tovarin::kernel::processes {
namespace {

class Snapshot final : public KernelObject {
  public:
    explicit Snapshot(std::vector<ProcessInfo> processes) : processes_(std::move(processes)) {}
    const char* TypeName() const override { return "tool help snapshot"; }

    // The entry at the walk's position, which then moves on; false after the last.
    bool Next(PROCESSENTRY32W* entry) {
        if (next_ >= processes_.size()) {
            return false;
        }
        const ProcessInfo& process = processes_[next_++];
        std::wstring_view image = process.image;
        std::wstring_view file = image.substr(image.find_last_of(L'\\') + 1);
        DWORD size = entry->dwSize;
        *entry = PROCESSENTRY32W{};
        entry->dwSize = size;
        entry->cntUsage = 1;
        entry->th32ProcessID = process.id;
        entry->cntThreads = 1;
        entry->pcPriClassBase = THREAD_PRIORITY_NORMAL;
        size_t length = std::min<size_t>(file.size(), MAX_PATH - 1);
        wmemcpy(entry->szExeFile, file.data(), length);
        entry->szExeFile[length] = L'\0';
        return true;
    }
    void Rewind() { next_ = 0; }

  private:
    const std::vector<ProcessInfo> processes_;
    size_t next_ = 0;
};

BOOL Walk(HANDLE handle, LPPROCESSENTRY32W entry, bool first) {
    auto snapshot = Handles().LookupAs<Snapshot>(handle);
    if (!snapshot) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!entry || entry->dwSize < sizeof(PROCESSENTRY32W)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (first) {
        snapshot->Rewind();
    }
    if (!snapshot->Next(entry)) {
        SetError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

}  // namespace
}  // namespace tovarin::kernel::processes

using namespace tovarin::kernel;
using namespace tovarin::kernel::processes;

extern "C" {

HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID) {
    (void)th32ProcessID;  // only a module or heap snapshot is of one process
    std::vector<ProcessInfo> processes;
    if (dwFlags & TH32CS_SNAPPROCESS) {
        processes = RunningProcesses();
    }
    HANDLE handle = Handles().Insert(std::make_shared<Snapshot>(std::move(processes)));
    if (!handle) {
        SetError(ERROR_OUTOFMEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

BOOL WINAPI CloseToolhelp32Snapshot(HANDLE hSnapshot) {
    if (!Handles().LookupAs<Snapshot>(hSnapshot)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return CloseHandle(hSnapshot);
}

BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
    return Walk(hSnapshot, lppe, true);
}

BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
    return Walk(hSnapshot, lppe, false);
}

}  // extern "C"
