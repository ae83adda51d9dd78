// Local memory of the device's processes.
#include <cstdlib>
#include <cstring>

#include <windows.h>

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    if (uFlags & LMEM_MOVEABLE) {
        SetLastError(ERROR_INVALID_PARAMETER);  // the device's LocalAlloc gives fixed blocks only
        return nullptr;
    }
    void* block = (uFlags & LMEM_ZEROINIT) ? std::calloc(1, uBytes ? uBytes : 1)
                                           : std::malloc(uBytes ? uBytes : 1);
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    std::free(hMem);
    return nullptr;
}

}  // extern "C"
