// The Windows Mobile shell library (aygshell): the input panel and the shell's start-up entry.
#pragma once

#include <windef.h>

typedef enum tagSIPSTATE {
    SIP_UP = 0,
    SIP_DOWN,
    SIP_FORCEDOWN,
    SIP_UNCHANGED,
    SIP_INPUTDIALOG,
} SIPSTATE;

#ifndef RC_INVOKED

TOVARIN_BEGIN_C

// Asks the shell to raise or lower the input panel for the window.
WINBASEAPI BOOL WINAPI SHSipPreference(HWND hwnd, SIPSTATE st);

// The shell's start-up entry (exported by ordinal 9): registers the shell's extra control
// classes for the calling program. Calling it again is harmless.
WINBASEAPI BOOL WINAPI SHInitExtraControls(void);

TOVARIN_END_C

#endif  // RC_INVOKED
