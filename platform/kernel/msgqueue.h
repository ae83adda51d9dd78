// What the rest of the kernel asks about message queues.
#pragma once

#include <windef.h>

namespace tovarin::kernel {

// Whether the handle is the read end of a message queue (told by the object's type).
bool IsMessageQueueReadEnd(HANDLE handle);

}  // namespace tovarin::kernel
