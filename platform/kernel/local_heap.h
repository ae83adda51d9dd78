// The local heap of the device's processes. Blocks that a process never frees are given back when
// the device shuts down, as the system reclaims a process's heap when the process ends: a service
// that keeps a block for its whole life (freed only by a Deinit that never comes) leaks nothing.
#pragma once

#include <cstddef>
#include <mutex>
#include <unordered_set>

namespace tovarin::kernel {

class LocalHeap {
  public:
    LocalHeap() = default;
    ~LocalHeap();
    LocalHeap(const LocalHeap&) = delete;
    LocalHeap& operator=(const LocalHeap&) = delete;

    // Null when the host is out of memory.
    void* Allocate(size_t bytes, bool zeroed);
    // Frees a block of this heap, or one taken while no device was up.
    void Free(void* block);
    // Blocks taken and not freed.
    size_t Count();

  private:
    std::mutex mutex_;
    std::unordered_set<void*> blocks_;
};

}  // namespace tovarin::kernel
