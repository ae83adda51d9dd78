// Device processes, host side: what the emulator, tests and the rest of the kernel ask about
// the programs started with CreateProcessW.
//
// A program is a module file of the image (a shared object named like the device file,
// "Oxbane.exe") that exports, with C linkage,
//     int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
//                        int nShowCmd);
// CreateProcessW loads it with the module loader (the process holds its own reference), records
// the start in the device log and runs WinMain on a new device thread, the process's main
// thread. The process handle is signalled once WinMain has returned and the process's
// reference to the module has been released; the exit code is WinMain's result (STILL_ACTIVE
// until then). A main thread that leaves by ExitThread ends the process with that code.
//
// All processes share the device's one host process: a program started twice runs twice on
// the same loaded module, sharing its static data.
//
// TerminateProcess is not supported (FALSE, ERROR_NOT_SUPPORTED): a device thread cannot be
// ended from outside unless it waits, and the suite never ends another program that way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windef.h>

namespace tovarin::kernel::processes {

struct ProcessInfo {
    uint32_t id = 0;
    std::wstring image;         // device path of the image, "\Windows\Oxbane.exe"
    std::wstring command_line;  // as WinMain receives it
};

// The processes of the device that have not ended yet, oldest first. Process ids are small
// numbers from 2 on (1 is the host program itself), never reused within one host process.
std::vector<ProcessInfo> RunningProcesses();

// The image module of the process of the calling thread (its main thread or a thread that the
// process created), or nullptr on the host program's threads.
HMODULE CurrentProcessModule();

// The id of the process of the calling thread; 1 (the host program) on its own threads.
uint32_t CurrentProcessId();

}  // namespace tovarin::kernel::processes
