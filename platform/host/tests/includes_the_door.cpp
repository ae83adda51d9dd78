// A file that includes a header of the host door, as host code does. The fence's tests build it
// as host code (it compiles) and with a deliverable's include paths (it must not).
#include "host/device.h"

tovarin::kernel::ClockMode DoorProbeClock() {
    return tovarin::kernel::DeviceOptions{}.clock;
}
