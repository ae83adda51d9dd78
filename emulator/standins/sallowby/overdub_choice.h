// What the background-effects mixer reads from the Overdub key, and which files it may play.
#pragma once

#include <windows.h>

struct OverdubChoice {
    BOOL backgroundOn;           // "Enable" = 1 and "BackgroundIndex" != 0
    WCHAR background[MAX_PATH];  // "SaveDir" + "FileName"
    LONG backgroundVolume;       // ("BGGain" - 10) * 600
    BOOL effectsOn;              // "Enable2" = 1
    DWORD effectIndex[4];        // "BackgroundIndex1".."4": 0 = "Отключить"
    WCHAR effect[4][MAX_PATH];   // "SaveDir1" + "FileName1", ...
    LONG effectVolume;           // ("BGGain2" - 10) * 600
    DWORD state;                 // "State": 1 = the answering machine took the call
};

// Reads the whole key without creating it: a missing key or value is off (0, empty).
void ReadOverdubChoice(OverdubChoice* choice);

// Why the mixer may not play path, or NULL when it may: a file inside \Windows, \My Documents
// or the storage card, named without "." or ".." steps, in a folder that exists, and there.
LPCWSTR WhyNotPlayable(LPCWSTR path);
