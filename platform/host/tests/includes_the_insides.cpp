// A file that includes a header of the platform's insides, as the platform's own tests do. The
// fence's tests build it as a platform test (it compiles) and as host code (it must not).
#include "kernel/handles.h"

tovarin::kernel::HandleTable& InsidesProbeHandles() {
    return tovarin::kernel::Handles();
}
