// Atomic operations on 32-bit values that device threads share. Every operation is sequentially
// consistent, as the device's interlocked functions are full barriers, and wraps around at the
// ends of the range as the device's two's-complement arithmetic does.
#include <atomic>

#include <winbase.h>

namespace {

// The callers' values are declared volatile by the API; the atomic operations do not need that.
std::atomic_ref<LONG> Atomic(LONG volatile* value) {
    static_assert(std::atomic_ref<LONG>::required_alignment <= alignof(LONG));
    return std::atomic_ref<LONG>(*const_cast<LONG*>(value));
}

// The new value after adding to the one found, wrapping instead of overflowing.
LONG Wrapped(LONG found, LONG added) {
    return static_cast<LONG>(static_cast<ULONG>(found) + static_cast<ULONG>(added));
}

}  // namespace

extern "C" {

LONG WINAPI InterlockedIncrement(LONG volatile* lpAddend) {
    return Wrapped(Atomic(lpAddend).fetch_add(1), 1);
}

LONG WINAPI InterlockedDecrement(LONG volatile* lpAddend) {
    return Wrapped(Atomic(lpAddend).fetch_sub(1), -1);
}

LONG WINAPI InterlockedExchange(LONG volatile* Target, LONG Value) {
    return Atomic(Target).exchange(Value);
}

LONG WINAPI InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand) {
    // On failure compare_exchange_strong leaves the value it found in Comperand: the previous
    // value either way.
    Atomic(Destination).compare_exchange_strong(Comperand, Exchange);
    return Comperand;
}

LONG WINAPI InterlockedExchangeAdd(LONG volatile* Addend, LONG Value) {
    return Atomic(Addend).fetch_add(Value);
}

}  // extern "C"
