// Window attributes: GetWindowLongW and SetWindowLongW (procedure, styles, identifier, user
// data, instance and the class's extra window bytes).
#include <optional>

#include <windows.h>

#include "gwes/window_manager.h"
#include "gwes/windows/procedure_handles.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// The slot of the extra window bytes at a byte offset (a multiple of 4 inside the bytes).
LONG* ExtraSlot(Window& window, int index) {
    if (index % 4 != 0 || static_cast<size_t>(index / 4) >= window.extra.size()) {
        return nullptr;
    }
    return &window.extra[static_cast<size_t>(index / 4)];
}

LONG InstanceValue(HINSTANCE instance) {
    // Module handles are 32-bit values on the device and in the platform alike.
    return static_cast<LONG>(reinterpret_cast<uintptr_t>(instance));
}

}  // namespace

extern "C" {

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    WindowManager& wm = WindowManager::Current();
    WNDPROC proc = nullptr;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return 0;
        }
        switch (nIndex) {
            case GWL_WNDPROC:
                proc = window->proc;
                break;
            case GWL_STYLE:
                return static_cast<LONG>(window->style);
            case GWL_EXSTYLE:
                return static_cast<LONG>(window->ex_style);
            case GWL_ID:
                return window->id;
            case GWL_USERDATA:
                return window->user_data;
            case GWL_HINSTANCE:
                return InstanceValue(window->instance);
            default:
                if (const LONG* slot = nIndex >= 0 ? ExtraSlot(*window, nIndex) : nullptr) {
                    return *slot;
                }
                SetError(ERROR_INVALID_INDEX);
                return 0;
        }
    }
    return ProcedureHandle(proc);
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    WindowManager& wm = WindowManager::Current();
    WNDPROC new_proc = nullptr;
    if (nIndex == GWL_WNDPROC) {
        // Resolved before the lock: the search of loaded code takes the host loader's lock.
        new_proc = ProcedureOfLong(dwNewLong, __builtin_return_address(0));
    }
    WNDPROC old_proc = nullptr;
    {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(hWnd);
        if (!window) {
            return 0;
        }
        auto exchange = [](auto& field, auto value) {
            auto old = field;
            field = value;
            return static_cast<LONG>(old);
        };
        switch (nIndex) {
            case GWL_WNDPROC:
                if (!new_proc) {
                    SetError(ERROR_INVALID_PARAMETER);
                    return 0;
                }
                old_proc = window->proc;
                window->proc = new_proc;
                break;
            case GWL_STYLE:
                return exchange(window->style, static_cast<DWORD>(dwNewLong));
            case GWL_EXSTYLE:
                return exchange(window->ex_style, static_cast<DWORD>(dwNewLong));
            case GWL_ID:
                return exchange(window->id, dwNewLong);
            case GWL_USERDATA:
                return exchange(window->user_data, dwNewLong);
            case GWL_HINSTANCE: {
                LONG old = InstanceValue(window->instance);
                window->instance = reinterpret_cast<HINSTANCE>(
                    static_cast<uintptr_t>(static_cast<uint32_t>(dwNewLong)));
                return old;
            }
            default:
                if (LONG* slot = nIndex >= 0 ? ExtraSlot(*window, nIndex) : nullptr) {
                    return exchange(*slot, dwNewLong);
                }
                SetError(ERROR_INVALID_INDEX);
                return 0;
        }
    }
    return ProcedureHandle(old_proc);
}

}  // extern "C"
