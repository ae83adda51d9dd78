// The module functions of the API (winbase.h).
#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include <windows.h>

#include "host/text.h"
#include "kernel/handles.h"
#include "kernel/modules/builtin_modules.h"
#include "kernel/modules/loader.h"
#include "kernel/modules/module_table.h"

using namespace tovarin::kernel;
using namespace tovarin::kernel::modules;

namespace {

// The loader allocates; running out of memory is reported as the device reports it.
template <typename Result, typename Body>
Result ReportingOutOfMemory(Result failure, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return failure;
    }
}

// GetProcAddress by name (name non-null) or by ordinal.
FARPROC FindExport(HMODULE module, const char* name, WORD ordinal) {
    std::optional<ModuleView> view = Modules().View(module);
    if (!view) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    FARPROC proc = nullptr;
    if (view->builtin) {
        if (auto builtin = FindBuiltinModule(view->name)) {
            proc = name ? builtin->FindByName(name) : builtin->FindByOrdinal(ordinal);
        }
    } else if (view->library) {
        if (!name) {
            for (const TovarinOrdinalExport* entry = view->ordinals; entry && entry->name;
                 ++entry) {
                if (entry->ordinal == ordinal && ordinal != 0) {
                    name = entry->name;
                    break;
                }
            }
        }
        if (name && *name) {
            proc = reinterpret_cast<FARPROC>(view->library->FindOwnSymbol(name));
        }
    }
    if (!proc) {
        SetError(ERROR_PROC_NOT_FOUND);
    }
    return proc;
}

}  // namespace

extern "C" {

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
    if (!lpLibFileName) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ReportingOutOfMemory<HMODULE>(nullptr, [&] { return Load(lpLibFileName); });
}

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    return ReportingOutOfMemory<BOOL>(FALSE, [&] { return Free(hLibModule) ? TRUE : FALSE; });
}

FARPROC WINAPI GetProcAddressW(HMODULE hModule, LPCWSTR lpProcName) {
    return ReportingOutOfMemory<FARPROC>(nullptr, [&] {
        if (IS_INTRESOURCE(lpProcName)) {
            return FindExport(hModule, nullptr, LOWORD(lpProcName));
        }
        return FindExport(hModule, WideToUtf8(lpProcName).c_str(), 0);
    });
}

FARPROC WINAPI GetProcAddressA(HMODULE hModule, LPCSTR lpProcName) {
    return ReportingOutOfMemory<FARPROC>(nullptr, [&] {
        if (IS_INTRESOURCE(lpProcName)) {
            return FindExport(hModule, nullptr, LOWORD(lpProcName));
        }
        return FindExport(hModule, lpProcName, 0);
    });
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    return ReportingOutOfMemory<HMODULE>(
        nullptr, [&] { return lpModuleName ? FindLoaded(lpModuleName) : ProgramModule(); });
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    return ReportingOutOfMemory<DWORD>(0, [&]() -> DWORD {
        if (!lpFilename) {
            SetError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        std::optional<ModuleView> view = Modules().View(hModule ? hModule : ProgramModule());
        if (!view) {
            SetError(ERROR_INVALID_HANDLE);
            return 0;
        }
        if (nSize == 0) {
            SetError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        // A path that does not fit is cut to the buffer, terminated, and reported by the full
        // buffer size and ERROR_INSUFFICIENT_BUFFER.
        const std::wstring& path = view->device_path;
        const size_t copied = std::min<size_t>(path.size(), nSize - 1);
        std::wmemcpy(lpFilename, path.data(), copied);
        lpFilename[copied] = L'\0';
        if (copied < path.size()) {
            SetError(ERROR_INSUFFICIENT_BUFFER);
            return nSize;
        }
        return static_cast<DWORD>(copied);
    });
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
    if (!Modules().DisableThreadCalls(hLibModule)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
