// Multimedia registration: wave format tags and the wave format record.
#pragma once

#include <windef.h>

#define WAVE_FORMAT_UNKNOWN 0x0000
#define WAVE_FORMAT_PCM 0x0001
#define WAVE_FORMAT_ADPCM 0x0002
#define WAVE_FORMAT_ALAW 0x0006
#define WAVE_FORMAT_MULAW 0x0007

#ifndef _WAVEFORMATEX_
#define _WAVEFORMATEX_
// A wave format: for PCM, nBlockAlign = nChannels * wBitsPerSample / 8 and
// nAvgBytesPerSec = nSamplesPerSec * nBlockAlign; cbSize counts extra bytes after the record.
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
#endif
