// MessageBeep: the sound by which a program tells the user that it refused what was done. The
// device has no sound scheme of its own, so the request is written to the device trace, where the
// emulator's expectations and a user watching the console see it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/device.h"
#include "host/trace.h"

extern "C" BOOL WINAPI MessageBeep(UINT uType) {
    tovarin::kernel::Device& device = tovarin::kernel::Device::Current();
    wchar_t type[16];
    std::swprintf(type, 16, L"0x%08X", uType);
    device.trace().Write({device.NowMs(), L"gwes", L"MessageBeep " + std::wstring(type) + L"\n"});
    return TRUE;
}
