#include "soak/resident_memory.h"

#include <unistd.h>

#include <fstream>

namespace tovarin::emulator::soak {

uint64_t ResidentBytes() {
    // The second field of statm is the resident set in pages.
    std::ifstream statm("/proc/self/statm");
    uint64_t total_pages = 0;
    uint64_t resident_pages = 0;
    if (!(statm >> total_pages >> resident_pages)) {
        return 0;
    }
    return resident_pages * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace tovarin::emulator::soak
