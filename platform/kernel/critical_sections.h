// What the kernel keeps of the critical sections that device code initialised.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovarin::kernel {

// Frees the locks of the critical sections that the threads of an ended process initialised and
// never deleted, as the device frees an ended program's memory. Sections that a module's own
// loading initialised (its static objects, its DllMain) belong to the module, not to the process
// that happened to load it first: another program may still use them.
void ReclaimCriticalSections(uint32_t process_id);

// The locks of initialised sections not deleted or reclaimed yet (the census counts them).
size_t LiveCriticalSections();

}  // namespace tovarin::kernel
