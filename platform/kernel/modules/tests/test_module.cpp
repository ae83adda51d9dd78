// Device modules for the loader tests, built from this one file in several variants. A DllMain
// reports every call to the device trace as "DllMain <reason> <thread id> <process ends>" under
// the module's file name, so a test sees the calls made while it did not hold the module, and
// after the module is gone.
//
//   TEST_MODULE_FULL           TestModule.dll: DllMain, exports by name and ordinal, resources
//   TEST_MODULE_LOADS_OTHER    Second.dll: DllMain loads TestModule.dll and frees it on detach
//   TEST_MODULE_FAILS_INIT     FailInit.dll: DllMain refuses the attach
//   TEST_MODULE_RESOURCES_ONLY Resources.dll: no code, only resources
//   TEST_MODULE_SLOW_INIT      SlowInit.dll: DllMain sleeps a device second in its attach
#include <string>

#include <windows.h>

#include "host/device.h"
#include "kernel/modules/module_symbols.h"
#include "host/trace.h"

#ifndef TEST_MODULE_RESOURCES_ONLY

namespace {

int g_attach_count = 0;
#ifdef TEST_MODULE_LOADS_OTHER
HMODULE g_other = nullptr;
#endif

void Report(DWORD reason, LPVOID reserved) {
    using tovarin::kernel::Device;
    Device& device = Device::Current();
    device.trace().Write({device.NowMs(), TEST_MODULE_FILE_NAME,
                          L"DllMain " + std::to_wstring(reason) + L" " +
                              std::to_wstring(GetCurrentThreadId()) +
                              (reserved != nullptr ? L" 1" : L" 0")});
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HANDLE, DWORD reason, LPVOID reserved) {
    Report(reason, reserved);
    if (reason == DLL_PROCESS_ATTACH) {
        ++g_attach_count;
    }
#if defined(TEST_MODULE_LOADS_OTHER)
    if (reason == DLL_PROCESS_ATTACH) {
        g_other = LoadLibraryW(L"TestModule.dll");
        return g_other != nullptr;
    }
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        FreeLibrary(g_other);  // at process end every module goes anyway
    }
#elif defined(TEST_MODULE_FAILS_INIT)
    return reason != DLL_PROCESS_ATTACH;
#elif defined(TEST_MODULE_SLOW_INIT)
    if (reason == DLL_PROCESS_ATTACH) {
        Sleep(1000);
    }
#endif
    return TRUE;
}

// Attaches since this copy of the module was mapped: 1 unless it outlived a detach.
int TestModule_AttachCount() {
    return g_attach_count;
}

int TestModule_Add(int a, int b) {
    return a + b;
}

const wchar_t* TestModule_Name() {
    return L"TestModule";
}

#ifdef TEST_MODULE_FULL
// Ordinal 9 names an export the module does not have.
const TovarinOrdinalExport tovarin_ordinals[] = {
    {1, "TestModule_Add"}, {7, "TestModule_Name"}, {9, "TestModule_Missing"}, {0, nullptr}};
#endif

}  // extern "C"

#endif  // !TEST_MODULE_RESOURCES_ONLY

#if defined(TEST_MODULE_FULL) || defined(TEST_MODULE_RESOURCES_ONLY)
#ifdef TEST_MODULE_FULL
#define TEST_MODULE_RESOURCE_TEXT "test module resources"
#else
#define TEST_MODULE_RESOURCE_TEXT "string library resources"
#endif
// The blob between two labels, as the resource build embeds a compiled .res file.
asm(".section .rodata\n"
    ".globl tovarin_resources_begin\n"
    ".globl tovarin_resources_end\n"
    "tovarin_resources_begin:\n"
    ".ascii \"" TEST_MODULE_RESOURCE_TEXT
    "\"\n"
    "tovarin_resources_end:\n"
    ".previous\n");
#endif
