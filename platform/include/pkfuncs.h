// Calls of device code into the kernel's hardware-abstraction layer.
#pragma once

#include <windef.h>

#ifndef RC_INVOKED
TOVARIN_BEGIN_C
// Sends a control code to the hardware-abstraction layer. The device log records the call under
// the device name "HAL" with its code and input bytes.
WINBASEAPI BOOL WINAPI KernelIoControl(DWORD dwIoControlCode, LPVOID lpInBuf, DWORD nInBufSize,
                                       LPVOID lpOutBuf, DWORD nOutBufSize, LPDWORD lpBytesReturned);
TOVARIN_END_C
#endif  // RC_INVOKED
