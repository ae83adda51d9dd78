// Media type helpers of the media object runtime. Format blocks and records are task memory.
#pragma once

#include <mediaobj.h>

#ifdef __cplusplus
extern "C" {
#endif
HRESULT WINAPI MoInitMediaType(DMO_MEDIA_TYPE* pmt, DWORD cbFormat);
HRESULT WINAPI MoFreeMediaType(DMO_MEDIA_TYPE* pmt);
HRESULT WINAPI MoCopyMediaType(DMO_MEDIA_TYPE* pmtDest, const DMO_MEDIA_TYPE* pmtSrc);
HRESULT WINAPI MoCreateMediaType(DMO_MEDIA_TYPE** ppmt, DWORD cbFormat);
HRESULT WINAPI MoDeleteMediaType(DMO_MEDIA_TYPE* pmt);
HRESULT WINAPI MoDuplicateMediaType(DMO_MEDIA_TYPE** ppmtDest, const DMO_MEDIA_TYPE* pmtSrc);
#ifdef __cplusplus
}
#endif
