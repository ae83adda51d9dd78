// Waiting on handles, sleeping, closing handles.
#include <thread>
#include <vector>

#include <windows.h>

#include "host/device.h"
#include "kernel/handles.h"
#include "kernel/scheduler.h"

using namespace tovarin::kernel;

namespace tovarin::kernel {

namespace {

DWORD WaitOnHandles(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD timeout) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    // The objects stay alive for the wait even if another thread closes the handles.
    std::vector<std::shared_ptr<Waitable>> owners;
    std::vector<Waitable*> objects;
    for (DWORD i = 0; i < count; ++i) {
        auto object = Handles().LookupAs<Waitable>(handles[i]);
        if (!object) {
            SetError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(object.get());
        owners.push_back(std::move(object));
    }
    uint32_t error = 0;
    DWORD result = CurrentScheduler().Wait(objects, wait_all != FALSE, timeout, &error);
    if (result == WAIT_FAILED) {
        SetError(error);
    }
    return result;
}

}  // namespace
}  // namespace tovarin::kernel

extern "C" {

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return WaitOnHandles(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL fWaitAll,
                                    DWORD dwMilliseconds) {
    return WaitOnHandles(nCount, lpHandles, fWaitAll, dwMilliseconds);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    CurrentScheduler().ExitIfRequested();
    if (dwMilliseconds == 0) {
        if (CurrentScheduler().mode() == ClockMode::Simulated) {
            // A thread that polls with Sleep(0) never blocks, so simulated time would never move
            // for the thread it waits for: each poll lets a millisecond pass.
            CurrentScheduler().Wait({}, false, 1, nullptr);
        } else {
            std::this_thread::yield();
        }
        return;
    }
    CurrentScheduler().Wait({}, false, dwMilliseconds, nullptr);
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (!Handles().Close(hObject)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
