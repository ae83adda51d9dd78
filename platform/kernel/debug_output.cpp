// Debug output: each write becomes one entry of the device trace, stamped with the tick count and
// the file name of the module that wrote it.
#include <dlfcn.h>

#include <cstdarg>
#include <string>

#include <windows.h>

#include "host/device.h"
#include "kernel/strings/format.h"
#include "host/trace.h"

using namespace tovarin::kernel;

namespace {

// The device's debug output takes at most this many characters a line.
constexpr size_t kDebugLineLimit = 1024;

std::wstring ModuleOfAddress(const void* address) {
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) {
        return {};
    }
    std::string path = info.dli_fname;
    std::string base = path.substr(path.find_last_of('/') + 1);
    return std::wstring(base.begin(), base.end());
}

void WriteTrace(std::wstring text, const void* caller) {
    if (!Device::IsUp()) {
        return;
    }
    Device& device = Device::Current();
    device.trace().Write({device.NowMs(), ModuleOfAddress(caller), std::move(text)});
}

}  // namespace

extern "C" {

void NKDbgPrintfW(LPCWSTR lpszFmt, ...) {
    if (!lpszFmt) {
        return;
    }
    wchar_t line[kDebugLineLimit];
    va_list args;
    va_start(args, lpszFmt);
    bool truncated = false;
    tovarin::strings::FormatV(line, kDebugLineLimit, lpszFmt, args, &truncated);
    va_end(args);
    WriteTrace(line, __builtin_return_address(0));
}

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (lpOutputString) {
        WriteTrace(lpOutputString, __builtin_return_address(0));
    }
}

}  // extern "C"
