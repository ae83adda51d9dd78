#include "kernel/registry/registry_log.h"

#include <cstdio>

#include "host/device.h"
#include "host/text.h"
#include "host/trace.h"

namespace tovarin::kernel::registry {

void PrintProblem(const std::wstring& text) {
    std::fprintf(stderr, "registry: %s\n", WideToUtf8(text).c_str());
}

void ReportProblem(const std::wstring& text) {
    PrintProblem(text);
    TraceNote(text);
}

void TraceNote(const std::wstring& text) {
    if (Device::IsUp()) {
        Device& device = Device::Current();
        device.trace().Write({device.NowMs(), L"registry", text + L"\n"});
    }
}

}  // namespace tovarin::kernel::registry
