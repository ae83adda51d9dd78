// Kernel functions particular to Windows CE.
#pragma once

#include <windef.h>

#define EVENT_PULSE 1
#define EVENT_RESET 2
#define EVENT_SET 3

#ifndef RC_INVOKED
TOVARIN_BEGIN_C
// Sets, resets or pulses an event (EVENT_SET, EVENT_RESET, EVENT_PULSE).
WINBASEAPI BOOL WINAPI EventModify(HANDLE hEvent, DWORD func);
TOVARIN_END_C
#endif
