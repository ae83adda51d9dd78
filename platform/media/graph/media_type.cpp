#include "media/graph/media_type.h"

#include <dmo.h>

#include <cstring>

namespace tovarin::media {

// {A5E1C2B0-7F3D-4E62-9B1A-3C0D8E4F5A61}
const GUID kSubtypeAmrNb = {
    0xA5E1C2B0, 0x7F3D, 0x4E62, {0x9B, 0x1A, 0x3C, 0x0D, 0x8E, 0x4F, 0x5A, 0x61}};

MediaType MediaType::From(const AM_MEDIA_TYPE& mt) {
    MediaType type;
    type.major = mt.majortype;
    type.sub = mt.subtype;
    type.format_type = mt.formattype;
    type.fixed_size = mt.bFixedSizeSamples != FALSE;
    type.sample_size = mt.lSampleSize;
    if (mt.pbFormat != nullptr && mt.cbFormat > 0) {
        type.format.assign(mt.pbFormat, mt.pbFormat + mt.cbFormat);
    }
    return type;
}

MediaType MediaType::Pcm(const PcmFormat& pcm) {
    MediaType type;
    type.major = MEDIATYPE_Audio;
    type.sub = MEDIASUBTYPE_PCM;
    type.format_type = FORMAT_WaveFormatEx;
    type.sample_size = pcm.BlockAlign();
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = pcm.channels;
    wave.nSamplesPerSec = pcm.rate;
    wave.wBitsPerSample = pcm.bits;
    wave.nBlockAlign = static_cast<WORD>(pcm.BlockAlign());
    wave.nAvgBytesPerSec = pcm.rate * pcm.BlockAlign();
    wave.cbSize = 0;
    type.format.resize(sizeof(wave));
    std::memcpy(type.format.data(), &wave, sizeof(wave));
    return type;
}

MediaType MediaType::AmrNb() {
    MediaType type;
    type.major = MEDIATYPE_Audio;
    type.sub = kSubtypeAmrNb;
    type.format_type = FORMAT_None;
    type.fixed_size = false;
    return type;
}

void MediaType::CopyTo(AM_MEDIA_TYPE* out) const {
    out->majortype = major;
    out->subtype = sub;
    out->formattype = format_type;
    out->bFixedSizeSamples = fixed_size ? TRUE : FALSE;
    out->bTemporalCompression = FALSE;
    out->lSampleSize = sample_size;
    out->pUnk = nullptr;
    out->cbFormat = static_cast<ULONG>(format.size());
    out->pbFormat = nullptr;
    if (!format.empty()) {
        out->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(format.size()));
        if (out->pbFormat == nullptr) {
            out->cbFormat = 0;
        } else {
            std::memcpy(out->pbFormat, format.data(), format.size());
        }
    }
}

AM_MEDIA_TYPE* MediaType::NewTaskMemory() const {
    auto* mt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (mt != nullptr) {
        CopyTo(mt);
    }
    return mt;
}

std::optional<PcmFormat> MediaType::Wave() const {
    if (major != MEDIATYPE_Audio || sub != MEDIASUBTYPE_PCM || format_type != FORMAT_WaveFormatEx ||
        format.size() < sizeof(WAVEFORMATEX) - sizeof(WORD)) {
        return std::nullopt;
    }
    WAVEFORMATEX wave{};
    std::memcpy(&wave, format.data(), std::min(format.size(), sizeof(wave)));
    if (wave.wFormatTag != WAVE_FORMAT_PCM || wave.nChannels == 0 || wave.nSamplesPerSec == 0 ||
        (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16)) {
        return std::nullopt;
    }
    return PcmFormat{wave.nSamplesPerSec, wave.nChannels, wave.wBitsPerSample};
}

}  // namespace tovarin::media

extern "C" {

void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt) {
    if (mt.cbFormat != 0 || mt.pbFormat != nullptr) {
        CoTaskMemFree(mt.pbFormat);
        mt.cbFormat = 0;
        mt.pbFormat = nullptr;
    }
    if (mt.pUnk != nullptr) {
        mt.pUnk->Release();
        mt.pUnk = nullptr;
    }
}

void WINAPI DeleteMediaType(AM_MEDIA_TYPE* pmt) {
    if (pmt != nullptr) {
        FreeMediaType(*pmt);
        CoTaskMemFree(pmt);
    }
}

HRESULT WINAPI MoInitMediaType(DMO_MEDIA_TYPE* pmt, DWORD cbFormat) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    std::memset(pmt, 0, sizeof(*pmt));
    if (cbFormat != 0) {
        pmt->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(cbFormat));
        if (pmt->pbFormat == nullptr) {
            return E_OUTOFMEMORY;
        }
        pmt->cbFormat = cbFormat;
    }
    return S_OK;
}

HRESULT WINAPI MoFreeMediaType(DMO_MEDIA_TYPE* pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    FreeMediaType(*reinterpret_cast<AM_MEDIA_TYPE*>(pmt));
    return S_OK;
}

HRESULT WINAPI MoCopyMediaType(DMO_MEDIA_TYPE* pmtDest, const DMO_MEDIA_TYPE* pmtSrc) {
    if (pmtDest == nullptr || pmtSrc == nullptr) {
        return E_POINTER;
    }
    tovarin::media::MediaType::From(*reinterpret_cast<const AM_MEDIA_TYPE*>(pmtSrc))
        .CopyTo(reinterpret_cast<AM_MEDIA_TYPE*>(pmtDest));
    if (pmtSrc->pUnk != nullptr) {
        pmtDest->pUnk = pmtSrc->pUnk;
        pmtDest->pUnk->AddRef();
    }
    return S_OK;
}

HRESULT WINAPI MoCreateMediaType(DMO_MEDIA_TYPE** ppmt, DWORD cbFormat) {
    if (ppmt == nullptr) {
        return E_POINTER;
    }
    *ppmt = static_cast<DMO_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(DMO_MEDIA_TYPE)));
    if (*ppmt == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = MoInitMediaType(*ppmt, cbFormat);
    if (FAILED(hr)) {
        CoTaskMemFree(*ppmt);
        *ppmt = nullptr;
    }
    return hr;
}

HRESULT WINAPI MoDeleteMediaType(DMO_MEDIA_TYPE* pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    MoFreeMediaType(pmt);
    CoTaskMemFree(pmt);
    return S_OK;
}

HRESULT WINAPI MoDuplicateMediaType(DMO_MEDIA_TYPE** ppmtDest, const DMO_MEDIA_TYPE* pmtSrc) {
    if (ppmtDest == nullptr || pmtSrc == nullptr) {
        return E_POINTER;
    }
    HRESULT hr = MoCreateMediaType(ppmtDest, 0);
    if (SUCCEEDED(hr)) {
        hr = MoCopyMediaType(*ppmtDest, pmtSrc);
    }
    return hr;
}

}  // extern "C"
