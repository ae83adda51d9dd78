// The resident memory of this process, as the host's kernel counts it.
#pragma once

#include <cstdint>

namespace tovarin::emulator::soak {

// Bytes resident now; 0 when the host does not tell.
uint64_t ResidentBytes();

// AddressSanitizer keeps freed memory in quarantine (256 MB by default), and ThreadSanitizer's
// history of every lock and thread grows with each call, so the resident size says nothing about
// leaks there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMemoryMeaningful = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kMemoryMeaningful = false;
#else
constexpr bool kMemoryMeaningful = true;
#endif
#else
constexpr bool kMemoryMeaningful = true;
#endif

}  // namespace tovarin::emulator::soak
