// Media objects (DMOs): stream transforms driven by their caller, buffer by buffer.
#pragma once

#include <objbase.h>

#ifndef REFERENCE_TIME_DEFINED
#define REFERENCE_TIME_DEFINED
typedef LONGLONG REFERENCE_TIME;  // 100 ns units
#endif

// The same layout as the filter graph's AM_MEDIA_TYPE.
typedef struct _DMOMediaType {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;
} DMO_MEDIA_TYPE;

enum _DMO_INPUT_DATA_BUFFER_FLAGS {
    DMO_INPUT_DATA_BUFFERF_SYNCPOINT = 0x1,
    DMO_INPUT_DATA_BUFFERF_TIME = 0x2,
    DMO_INPUT_DATA_BUFFERF_TIMELENGTH = 0x4
};
enum _DMO_OUTPUT_DATA_BUFFER_FLAGS {
    DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT = 0x1,
    DMO_OUTPUT_DATA_BUFFERF_TIME = 0x2,
    DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH = 0x4,
    DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE = 0x1000000
};
enum _DMO_INPUT_STATUS_FLAGS { DMO_INPUT_STATUSF_ACCEPT_DATA = 0x1 };
enum _DMO_INPUT_STREAM_INFO_FLAGS {
    DMO_INPUT_STREAMF_WHOLE_SAMPLES = 0x1,
    DMO_INPUT_STREAMF_SINGLE_SAMPLE_PER_BUFFER = 0x2,
    DMO_INPUT_STREAMF_FIXED_SAMPLE_SIZE = 0x4,
    DMO_INPUT_STREAMF_HOLDS_BUFFERS = 0x8
};
enum _DMO_OUTPUT_STREAM_INFO_FLAGS {
    DMO_OUTPUT_STREAMF_WHOLE_SAMPLES = 0x1,
    DMO_OUTPUT_STREAMF_SINGLE_SAMPLE_PER_BUFFER = 0x2,
    DMO_OUTPUT_STREAMF_FIXED_SAMPLE_SIZE = 0x4,
    DMO_OUTPUT_STREAMF_DISCARDABLE = 0x8,
    DMO_OUTPUT_STREAMF_OPTIONAL = 0x10
};
enum _DMO_SET_TYPE_FLAGS { DMO_SET_TYPEF_TEST_ONLY = 0x1, DMO_SET_TYPEF_CLEAR = 0x2 };
enum _DMO_PROCESS_OUTPUT_FLAGS { DMO_PROCESS_OUTPUT_DISCARD_WHEN_NO_BUFFER = 0x1 };

#define DMO_E_INVALIDSTREAMINDEX ((HRESULT)0x80040201L)
#define DMO_E_INVALIDTYPE ((HRESULT)0x80040202L)
#define DMO_E_TYPE_NOT_SET ((HRESULT)0x80040203L)
#define DMO_E_NOTACCEPTING ((HRESULT)0x80040204L)
#define DMO_E_TYPE_NOT_ACCEPTED ((HRESULT)0x80040205L)
#define DMO_E_NO_MORE_ITEMS ((HRESULT)0x80040206L)

DEFINE_GUID(IID_IMediaBuffer, 0x59EFF8B9, 0x938C, 0x4A26, 0x82, 0xF2, 0x95, 0xCB, 0x84, 0xCD, 0xC8,
            0x37);
DEFINE_GUID(IID_IMediaObject, 0xD8AD0F58, 0x5494, 0x4102, 0x97, 0xC5, 0xEC, 0x79, 0x8E, 0x59, 0xBC,
            0xF4);

#ifdef __cplusplus
struct IMediaBuffer : public IUnknown {
    STDMETHOD(SetLength)(DWORD cbLength) PURE;
    STDMETHOD(GetMaxLength)(DWORD* pcbMaxLength) PURE;
    STDMETHOD(GetBufferAndLength)(BYTE** ppBuffer, DWORD* pcbLength) PURE;
};

typedef struct _DMO_OUTPUT_DATA_BUFFER {
    IMediaBuffer* pBuffer;
    DWORD dwStatus;
    REFERENCE_TIME rtTimestamp;
    REFERENCE_TIME rtTimelength;
} DMO_OUTPUT_DATA_BUFFER, *PDMO_OUTPUT_DATA_BUFFER;

struct IMediaObject : public IUnknown {
    STDMETHOD(GetStreamCount)(DWORD* pcInputStreams, DWORD* pcOutputStreams) PURE;
    STDMETHOD(GetInputStreamInfo)(DWORD dwInputStreamIndex, DWORD* pdwFlags) PURE;
    STDMETHOD(GetOutputStreamInfo)(DWORD dwOutputStreamIndex, DWORD* pdwFlags) PURE;
    STDMETHOD(GetInputType)(DWORD dwInputStreamIndex, DWORD dwTypeIndex, DMO_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetOutputType)
    (DWORD dwOutputStreamIndex, DWORD dwTypeIndex, DMO_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(SetInputType)
    (DWORD dwInputStreamIndex, const DMO_MEDIA_TYPE* pmt, DWORD dwFlags) PURE;
    STDMETHOD(SetOutputType)
    (DWORD dwOutputStreamIndex, const DMO_MEDIA_TYPE* pmt, DWORD dwFlags) PURE;
    STDMETHOD(GetInputCurrentType)(DWORD dwInputStreamIndex, DMO_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetOutputCurrentType)(DWORD dwOutputStreamIndex, DMO_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetInputSizeInfo)
    (DWORD dwInputStreamIndex, DWORD* pcbSize, DWORD* pcbMaxLookahead, DWORD* pcbAlignment) PURE;
    STDMETHOD(GetOutputSizeInfo)
    (DWORD dwOutputStreamIndex, DWORD* pcbSize, DWORD* pcbAlignment) PURE;
    STDMETHOD(GetInputMaxLatency)(DWORD dwInputStreamIndex, REFERENCE_TIME* prtMaxLatency) PURE;
    STDMETHOD(SetInputMaxLatency)(DWORD dwInputStreamIndex, REFERENCE_TIME rtMaxLatency) PURE;
    STDMETHOD(Flush)() PURE;
    STDMETHOD(Discontinuity)(DWORD dwInputStreamIndex) PURE;
    STDMETHOD(AllocateStreamingResources)() PURE;
    STDMETHOD(FreeStreamingResources)() PURE;
    STDMETHOD(GetInputStatus)(DWORD dwInputStreamIndex, DWORD* dwFlags) PURE;
    STDMETHOD(ProcessInput)
    (DWORD dwInputStreamIndex, IMediaBuffer* pBuffer, DWORD dwFlags, REFERENCE_TIME rtTimestamp,
     REFERENCE_TIME rtTimelength) PURE;
    STDMETHOD(ProcessOutput)
    (DWORD dwFlags, DWORD cOutputBufferCount, DMO_OUTPUT_DATA_BUFFER* pOutputBuffers,
     DWORD* pdwStatus) PURE;
    STDMETHOD(Lock)(LONG bLock) PURE;
};
#endif  // __cplusplus
