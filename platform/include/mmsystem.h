// Multimedia: wave output volume.
#pragma once

#include <windef.h>

#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_INVALPARAM 11

#ifndef RC_INVOKED
typedef UINT MMRESULT;
DECLARE_HANDLE(HWAVEOUT);

TOVARIN_BEGIN_C
// The volume is two 16-bit levels: left in the low word, right in the high word. A device id
// (0) may stand in for the handle.
MMRESULT WINAPI waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume);
MMRESULT WINAPI waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume);
TOVARIN_END_C
#endif
