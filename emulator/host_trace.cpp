#include "host_trace.h"

#include "host/device.h"
#include "host/trace.h"

namespace tovarin::emulator {

void HostTrace(const wchar_t* part, const std::wstring& text) {
    if (!kernel::Device::IsUp()) {
        return;
    }
    kernel::Device& device = kernel::Device::Current();
    device.trace().Write({device.NowMs(), part, text + L"\r\n"});
}

}  // namespace tovarin::emulator
