#include "hosts/ready_thread.h"

namespace tovarin::emulator {

bool StartReadyThread(LPTHREAD_START_ROUTINE routine, void* context, const char* what,
                      std::string* error) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ready == nullptr) {
        *error = std::string("cannot make the start event of ") + what;
        return false;
    }
    // Lives on this stack until the thread is ready or has ended, which this call waits for.
    ReadyThreadStart start{context, ReadySignal(ready)};
    HANDLE thread = CreateThread(nullptr, 0, routine, &start, 0, nullptr);
    if (thread == nullptr) {
        CloseHandle(ready);
        *error =
            std::string("cannot start ") + what + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    HANDLE waits[] = {ready, thread};
    DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    CloseHandle(thread);
    CloseHandle(ready);
    if (woke != WAIT_OBJECT_0) {
        *error = std::string(what) + " ended before it was ready";
        return false;
    }
    return true;
}

}  // namespace tovarin::emulator
