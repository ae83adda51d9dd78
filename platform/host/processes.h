// Device processes, host side: what the emulator, tests and the rest of the kernel ask about
// the programs started with CreateProcessW.
//
// A program is a module file of the image (a shared object named like the device file,
// "Oxbane.exe") that exports, with C linkage,
//     int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
//                        int nShowCmd);
// CreateProcessW loads it with the module loader (the process holds its own reference), records
// the start in the device log and runs WinMain on a new device thread, the process's main
// thread. A process ends as a whole, as on the device: when WinMain returns (the exit code is its
// result), when its main thread leaves by ExitThread, when one of its threads calls ExitProcess or
// when another calls TerminateProcess (the first of these gives the exit code; STILL_ACTIVE until
// the end). Its other threads then end at their next platform wait or message call, its windows
// are destroyed, and once its last thread is gone its registry watches are closed, its module is
// released, the locks of the critical sections it initialised are freed and the handles it left
// open are closed; then its handle is signalled.
//
// All processes share the device's one host process: a program started twice runs twice on
// the same loaded module, sharing its static data.
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
