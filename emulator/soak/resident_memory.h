// The resident memory of this process, as the host's kernel counts it.
#pragma once

#include <cstdint>

namespace tovarin::emulator::soak {

// Bytes resident now; 0 when the host does not tell.
uint64_t ResidentBytes();

}  // namespace tovarin::emulator::soak
