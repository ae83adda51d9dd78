// The platform's built-in modules: coredll.dll, whose exports are the kernel functions of the
// API (a function goes into coredll's exports with one line in the list below), and the modules
// the other subsystems register themselves through the hooks they handed the kernel.
#include <windows.h>
#include <msgqueue.h>
#include <pkfuncs.h>
#include <pm.h>

#include "kernel/modules/modules.h"
#include "kernel/subsystems.h"

// Every kernel function of the API, by the name coredll exports it under (the window manager adds
// its own).
#define TOVARIN_COREDLL_EXPORTS(X) \
    X(CloseHandle)                 \
    X(GetLastError)                \
    X(SetLastError)                \
    X(CreateThread)                \
    X(ExitThread)                  \
    X(ExitProcess)                 \
    X(GetExitCodeThread)           \
    X(GetCurrentThreadId)          \
    X(GetCurrentThread)            \
    X(GetCurrentProcessId)         \
    X(GetCurrentProcess)           \
    X(ResumeThread)                \
    X(SetThreadPriority)           \
    X(GetThreadPriority)           \
    X(GetTickCount)                \
    X(Sleep)                       \
    X(GetLocalTime)                \
    X(GetSystemTime)               \
    X(SystemTimeToFileTime)        \
    X(FileTimeToSystemTime)        \
    X(CreateEventW)                \
    X(OpenEventW)                  \
    X(SetEvent)                    \
    X(ResetEvent)                  \
    X(PulseEvent)                  \
    X(EventModify)                 \
    X(WaitForSingleObject)         \
    X(WaitForMultipleObjects)      \
    X(CreateMutexW)                \
    X(ReleaseMutex)                \
    X(InitializeCriticalSection)   \
    X(DeleteCriticalSection)       \
    X(EnterCriticalSection)        \
    X(LeaveCriticalSection)        \
    X(TryEnterCriticalSection)     \
    X(LoadLibraryW)                \
    X(FreeLibrary)                 \
    X(GetProcAddressW)             \
    X(GetProcAddressA)             \
    X(GetModuleHandleW)            \
    X(GetModuleFileNameW)          \
    X(DisableThreadLibraryCalls)   \
    X(LocalAlloc)                  \
    X(LocalFree)                   \
    X(OutputDebugStringW)          \
    X(NKDbgPrintfW)                \
    X(RegOpenKeyExW)               \
    X(RegCreateKeyExW)             \
    X(RegQueryValueExW)            \
    X(RegSetValueExW)              \
    X(RegDeleteValueW)             \
    X(RegDeleteKeyW)               \
    X(RegEnumKeyExW)               \
    X(RegEnumValueW)               \
    X(RegCloseKey)                 \
    X(RegFlushKey)                 \
    X(CeFindFirstRegChange)        \
    X(CeFindNextRegChange)         \
    X(CeFindCloseRegChange)        \
    X(CreateMsgQueue)              \
    X(OpenMsgQueue)                \
    X(ReadMsgQueue)                \
    X(WriteMsgQueue)               \
    X(GetMsgQueueInfo)             \
    X(CloseMsgQueue)               \
    X(GetVersionExW)               \
    X(GetUserDefaultUILanguage)    \
    X(GetSystemPowerStatusEx)      \
    X(KernelIoControl)             \
    X(GetSystemPowerState)         \
    X(RequestPowerNotifications)   \
    X(StopPowerNotifications)      \
    X(InterlockedIncrement)        \
    X(InterlockedDecrement)        \
    X(InterlockedExchange)         \
    X(InterlockedCompareExchange)  \
    X(InterlockedExchangeAdd)

// The references are ordinary ones, resolved when the platform is linked: an export whose
// function is missing is a build error, never a NULL that GetProcAddress hands out at run time.

namespace tovarin::kernel::modules {
namespace {

std::vector<BuiltinExport> CoredllExports() {
#define TOVARIN_EXPORT_ENTRY(function) {#function, 0, AsFarproc(&function)},
    return {TOVARIN_COREDLL_EXPORTS(TOVARIN_EXPORT_ENTRY)};
#undef TOVARIN_EXPORT_ENTRY
}

}  // namespace

void RegisterPlatformBuiltins() {
    RegisterBuiltinModule(L"coredll.dll", CoredllExports());
    RegisterSubsystemModules();
}

}  // namespace tovarin::kernel::modules
