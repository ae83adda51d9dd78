// Local memory of the device's processes.
#include <cstdlib>

#include <windows.h>

#include "host/device.h"
#include "kernel/local_heap.h"

namespace tovarin::kernel {

LocalHeap::~LocalHeap() {
    for (void* block : blocks_) {
        std::free(block);
    }
}

void* LocalHeap::Allocate(size_t bytes, bool zeroed) {
    void* block = zeroed ? std::calloc(1, bytes) : std::malloc(bytes);
    if (block) {
        std::lock_guard<std::mutex> lock(mutex_);
        blocks_.insert(block);
    }
    return block;
}

void LocalHeap::Free(void* block) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        blocks_.erase(block);
    }
    std::free(block);
}

size_t LocalHeap::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return blocks_.size();
}

}  // namespace tovarin::kernel

using tovarin::kernel::Device;

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes) {
    if (uFlags & LMEM_MOVEABLE) {
        SetLastError(ERROR_INVALID_PARAMETER);  // the device's LocalAlloc gives fixed blocks only
        return nullptr;
    }
    const size_t bytes = uBytes ? uBytes : 1;
    const bool zeroed = (uFlags & LMEM_ZEROINIT) != 0;
    void* block = Device::IsUp() ? Device::Current().local_heap().Allocate(bytes, zeroed)
                                 : (zeroed ? std::calloc(1, bytes) : std::malloc(bytes));
    if (!block) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
    if (hMem && Device::IsUp()) {
        Device::Current().local_heap().Free(hMem);
    } else {
        std::free(hMem);
    }
    return nullptr;
}

}  // extern "C"
