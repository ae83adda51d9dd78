// The window manager's part in the device's life, handed to the kernel as the library loads.
#pragma once

namespace tovarin::gwes {

// Device boot: adds the window manager's functions to coredll.dll's exports.
void RegisterCoredllExports();

// A device thread is ending, on that thread, after its modules have seen DLL_THREAD_DETACH and
// before its handle is signalled: its windows, hot keys and message queue go.
void DeviceThreadEnding();

}  // namespace tovarin::gwes
