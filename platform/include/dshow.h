// The media framework: everything an application includes to build and run filter graphs.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <mmreg.h>
#include <strmif.h>
#include <control.h>
#include <evcode.h>
#include <uuids.h>
#include <vfwmsgs.h>

#ifdef __cplusplus
extern "C" {
#endif
// Frees a media type's format block and its pUnk (the record itself stays).
void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt);
// Frees a media type that a callee allocated as task memory: its format block and the record.
void WINAPI DeleteMediaType(AM_MEDIA_TYPE* pmt);
#ifdef __cplusplus
}
#endif
