// DuplicateHandle: a second handle to the same kernel object, closed on its own. The device's
// processes share one handle table, so any valid process handle may be source or target.
#include <windows.h>

#include "kernel/handles.h"
#include "kernel/processes/process_object.h"

using namespace tovarin::kernel;

namespace {

bool IsProcess(HANDLE process) {
    return process == GetCurrentProcess() ||
           Handles().LookupAs<processes::ProcessObject>(process) != nullptr;
}

}  // namespace

extern "C" BOOL WINAPI DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle,
                                       HANDLE hTargetProcessHandle, LPHANDLE lpTargetHandle, DWORD,
                                       BOOL, DWORD dwOptions) {
    if (!IsProcess(hSourceProcessHandle) || !IsProcess(hTargetProcessHandle)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<KernelObject> object = Handles().Lookup(hSourceHandle);
    if (!object) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lpTargetHandle != nullptr) {
        *lpTargetHandle = Handles().Insert(std::move(object));
    }
    if ((dwOptions & DUPLICATE_CLOSE_SOURCE) != 0) {
        Handles().Close(hSourceHandle);
    }
    return TRUE;
}
