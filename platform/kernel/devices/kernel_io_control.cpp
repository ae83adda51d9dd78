// KernelIoControl: control calls of device code into the hardware-abstraction layer, which the
// emulator plays with the handler it sets (SetKernelIoControlHandler).
#include <pkfuncs.h>

#include "kernel/devices/control_call.h"
#include "kernel/devices/driver_table.h"

using namespace tovarin::kernel;

extern "C" {

BOOL WINAPI KernelIoControl(DWORD dwIoControlCode, LPVOID lpInBuf, DWORD nInBufSize,
                            LPVOID lpOutBuf, DWORD nOutBufSize, LPDWORD lpBytesReturned) {
    // The handler is held for the whole call, so that replacing it meanwhile is safe.
    std::shared_ptr<Driver> handler = KernelIoControlHandler();
    return MakeControlCall(L"HAL", handler.get(), dwIoControlCode, lpInBuf, nInBufSize, lpOutBuf,
                           nOutBufSize, lpBytesReturned);
}

}  // extern "C"
