// The record that Probe.dll keeps of the calls of its entry points.
#pragma once

#include <windows.h>

struct ProbeCalls {
    DWORD inits;
    DWORD deinits;
    DWORD initThread;    // the thread of the last PRB_Init
    DWORD deinitThread;  // the thread of the last PRB_Deinit
    DWORD deinitContext;
    DWORD initResult;   // what PRB_Init returns; the test may change it
    DWORD blockDeinit;  // not 0: PRB_Deinit waits for an event that nobody sets
};

// What PRB_Init returns until a test changes it.
const DWORD kProbeDefaultContext = 0x5150;

typedef ProbeCalls* (*ProbeCallsProc)(void);
