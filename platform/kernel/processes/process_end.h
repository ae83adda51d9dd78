// How a device process ends: as a whole, as the device ends a program. Its end begins when its
// main thread ends (WinMain returned, or the thread left by ExitThread), when one of its threads
// calls ExitProcess or when another calls TerminateProcess. Every thread of the process is then
// asked to end at its next platform wait or message call (Scheduler::RequestExit); each destroys
// its windows as it ends. The last one reclaims what the process left (its registry watches, its
// module, the locks of its critical sections, its handles) and then signals the process handle.
#pragma once

#include <cstdint>

#include "kernel/processes/process_object.h"

namespace tovarin::kernel::processes {

// On a thread of `process` that has ended, after its windows went and before its own handle is
// signalled.
void ThreadOfProcessEnded(ProcessObject& process, ThreadRecord& thread, uint32_t exit_code);

// Begins the end of a process with that exit code. False when its end had begun already.
bool EndProcess(ProcessObject& process, uint32_t exit_code);

}  // namespace tovarin::kernel::processes
