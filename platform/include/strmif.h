// Streaming interfaces of the media framework: media types, pins, filters, the filter graph,
// seeking, the capture graph builder, capture format and stream control, file sinks.
#pragma once

#include <objbase.h>
#include <objidl.h>
#include <ocidl.h>

#ifndef REFERENCE_TIME_DEFINED
#define REFERENCE_TIME_DEFINED
typedef LONGLONG REFERENCE_TIME;  // 100 ns units
#endif
typedef double REFTIME;  // seconds
#ifndef _DWORDLONG_DEFINED
#define _DWORDLONG_DEFINED
typedef ULONGLONG DWORDLONG;
#endif
#ifndef MAXLONGLONG
#define MAXLONGLONG ((LONGLONG)0x7FFFFFFFFFFFFFFFLL)
#endif
#define MAX_PIN_NAME 128
#define MAX_FILTER_NAME 128

// A media type. pbFormat (cbFormat bytes, of the kind formattype names) and the record itself,
// when a callee hands one out, are task memory.
typedef struct _AMMediaType {
    GUID majortype;
    GUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    GUID formattype;
    IUnknown* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;
} AM_MEDIA_TYPE;

typedef enum _PinDirection { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 } PIN_DIRECTION;

typedef enum _FilterState { State_Stopped = 0, State_Paused = 1, State_Running = 2 } FILTER_STATE;

DEFINE_GUID(IID_IPin, 0x56A86891, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70);
DEFINE_GUID(IID_IEnumPins, 0x56A86892, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IEnumFilters, 0x56A86893, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IEnumMediaTypes, 0x89C31040, 0x846B, 0x11CE, 0x97, 0xD3, 0x00, 0xAA, 0x00, 0x55,
            0x59, 0x5A);
DEFINE_GUID(IID_IMediaFilter, 0x56A86899, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IBaseFilter, 0x56A86895, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IReferenceClock, 0x56A86897, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B,
            0xA7, 0x70);
DEFINE_GUID(IID_IFilterGraph, 0x56A8689F, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IGraphBuilder, 0x56A868A9, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IMediaEventSink, 0x56A868A2, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B,
            0xA7, 0x70);
DEFINE_GUID(IID_IMediaSeeking, 0x36B73880, 0xC2C8, 0x11CF, 0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C, 0xEF,
            0x60);
DEFINE_GUID(IID_IAMStreamControl, 0x36B73881, 0xC2C8, 0x11CF, 0x8B, 0x46, 0x00, 0x80, 0x5F, 0x6C,
            0xEF, 0x60);
DEFINE_GUID(IID_IAMStreamConfig, 0xC6E13340, 0x30AC, 0x11D0, 0xA1, 0x8C, 0x00, 0xA0, 0xC9, 0x11,
            0x89, 0x56);
DEFINE_GUID(IID_ICaptureGraphBuilder2, 0x93E5A4E0, 0x2D50, 0x11D2, 0xAB, 0xFA, 0x00, 0xA0, 0xC9,
            0xC6, 0xE3, 0x8D);
DEFINE_GUID(IID_IFileSourceFilter, 0x56A868A6, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B,
            0xA7, 0x70);
DEFINE_GUID(IID_IFileSinkFilter, 0xA2104830, 0x7C70, 0x11CF, 0x8B, 0xCE, 0x00, 0xAA, 0x00, 0xA3,
            0xF1, 0xA6);
DEFINE_GUID(IID_IFileSinkFilter2, 0x00855B90, 0xCE1B, 0x11D0, 0xBD, 0x4F, 0x00, 0xA0, 0xC9, 0x11,
            0xCE, 0x86);

#ifdef __cplusplus
struct IPin;
struct IBaseFilter;
struct IFilterGraph;
struct IReferenceClock;
struct IFileSinkFilter;
struct IAMCopyCaptureFileProgress;

typedef struct _PinInfo {
    IBaseFilter* pFilter;  // with a reference for the caller
    PIN_DIRECTION dir;
    WCHAR achName[MAX_PIN_NAME];
} PIN_INFO;

typedef struct _FilterInfo {
    WCHAR achName[MAX_FILTER_NAME];
    IFilterGraph* pGraph;  // with a reference for the caller, or NULL
} FILTER_INFO;

struct IEnumMediaTypes : public IUnknown {
    STDMETHOD(Next)(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) PURE;
    STDMETHOD(Skip)(ULONG cMediaTypes) PURE;
    STDMETHOD(Reset)() PURE;
    STDMETHOD(Clone)(IEnumMediaTypes** ppEnum) PURE;
};

struct IPin : public IUnknown {
    STDMETHOD(Connect)(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(ReceiveConnection)(IPin* pConnector, const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(Disconnect)() PURE;
    STDMETHOD(ConnectedTo)(IPin** pPin) PURE;
    STDMETHOD(ConnectionMediaType)(AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(QueryPinInfo)(PIN_INFO* pInfo) PURE;
    STDMETHOD(QueryDirection)(PIN_DIRECTION* pPinDir) PURE;
    STDMETHOD(QueryId)(LPWSTR* Id) PURE;
    STDMETHOD(QueryAccept)(const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(EnumMediaTypes)(IEnumMediaTypes** ppEnum) PURE;
    STDMETHOD(QueryInternalConnections)(IPin** apPin, ULONG* nPin) PURE;
    STDMETHOD(EndOfStream)() PURE;
    STDMETHOD(BeginFlush)() PURE;
    STDMETHOD(EndFlush)() PURE;
    STDMETHOD(NewSegment)(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) PURE;
};

struct IEnumPins : public IUnknown {
    STDMETHOD(Next)(ULONG cPins, IPin** ppPins, ULONG* pcFetched) PURE;
    STDMETHOD(Skip)(ULONG cPins) PURE;
    STDMETHOD(Reset)() PURE;
    STDMETHOD(Clone)(IEnumPins** ppEnum) PURE;
};

struct IMediaFilter : public IPersist {
    STDMETHOD(Stop)() PURE;
    STDMETHOD(Pause)() PURE;
    STDMETHOD(Run)(REFERENCE_TIME tStart) PURE;
    STDMETHOD(GetState)(DWORD dwMilliSecsTimeout, FILTER_STATE* State) PURE;
    STDMETHOD(SetSyncSource)(IReferenceClock* pClock) PURE;
    STDMETHOD(GetSyncSource)(IReferenceClock** pClock) PURE;
};

struct IBaseFilter : public IMediaFilter {
    STDMETHOD(EnumPins)(IEnumPins** ppEnum) PURE;
    STDMETHOD(FindPin)(LPCWSTR Id, IPin** ppPin) PURE;
    STDMETHOD(QueryFilterInfo)(FILTER_INFO* pInfo) PURE;
    STDMETHOD(JoinFilterGraph)(IFilterGraph* pGraph, LPCWSTR pName) PURE;
    STDMETHOD(QueryVendorInfo)(LPWSTR* pVendorInfo) PURE;
};

struct IEnumFilters : public IUnknown {
    STDMETHOD(Next)(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) PURE;
    STDMETHOD(Skip)(ULONG cFilters) PURE;
    STDMETHOD(Reset)() PURE;
    STDMETHOD(Clone)(IEnumFilters** ppEnum) PURE;
};

typedef DWORD_PTR HSEMAPHORE;
typedef DWORD_PTR HEVENT;

struct IReferenceClock : public IUnknown {
    STDMETHOD(GetTime)(REFERENCE_TIME* pTime) PURE;
    STDMETHOD(AdviseTime)
    (REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
     DWORD_PTR* pdwAdviseCookie) PURE;
    STDMETHOD(AdvisePeriodic)
    (REFERENCE_TIME startTime, REFERENCE_TIME periodTime, HSEMAPHORE hSemaphore,
     DWORD_PTR* pdwAdviseCookie) PURE;
    STDMETHOD(Unadvise)(DWORD_PTR dwAdviseCookie) PURE;
};

struct IFilterGraph : public IUnknown {
    STDMETHOD(AddFilter)(IBaseFilter* pFilter, LPCWSTR pName) PURE;
    STDMETHOD(RemoveFilter)(IBaseFilter* pFilter) PURE;
    STDMETHOD(EnumFilters)(IEnumFilters** ppEnum) PURE;
    STDMETHOD(FindFilterByName)(LPCWSTR pName, IBaseFilter** ppFilter) PURE;
    STDMETHOD(ConnectDirect)(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(Reconnect)(IPin* ppin) PURE;
    STDMETHOD(Disconnect)(IPin* ppin) PURE;
    STDMETHOD(SetDefaultSyncSource)() PURE;
};

struct IGraphBuilder : public IFilterGraph {
    STDMETHOD(Connect)(IPin* ppinOut, IPin* ppinIn) PURE;
    STDMETHOD(Render)(IPin* ppinOut) PURE;
    STDMETHOD(RenderFile)(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) PURE;
    STDMETHOD(AddSourceFilter)
    (LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName, IBaseFilter** ppFilter) PURE;
    STDMETHOD(SetLogFile)(DWORD_PTR hFile) PURE;
    STDMETHOD(Abort)() PURE;
    STDMETHOD(ShouldOperationContinue)() PURE;
};

// Filters report events to the graph through this interface (the graph queues them for
// IMediaEvent).
struct IMediaEventSink : public IUnknown {
    STDMETHOD(Notify)(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) PURE;
};

enum AM_SEEKING_SEEKING_CAPABILITIES {
    AM_SEEKING_CanSeekAbsolute = 0x1,
    AM_SEEKING_CanSeekForwards = 0x2,
    AM_SEEKING_CanSeekBackwards = 0x4,
    AM_SEEKING_CanGetCurrentPos = 0x8,
    AM_SEEKING_CanGetStopPos = 0x10,
    AM_SEEKING_CanGetDuration = 0x20,
    AM_SEEKING_CanPlayBackwards = 0x40,
    AM_SEEKING_CanDoSegments = 0x80,
    AM_SEEKING_Source = 0x100
};

enum AM_SEEKING_SeekingFlags {
    AM_SEEKING_NoPositioning = 0x0,
    AM_SEEKING_AbsolutePositioning = 0x1,
    AM_SEEKING_RelativePositioning = 0x2,
    AM_SEEKING_IncrementalPositioning = 0x3,
    AM_SEEKING_PositioningBitsMask = 0x3,
    AM_SEEKING_SeekToKeyFrame = 0x4,
    AM_SEEKING_ReturnTime = 0x8,
    AM_SEEKING_Segment = 0x10,
    AM_SEEKING_NoFlush = 0x20
};

// Positions in the current time format (TIME_FORMAT_MEDIA_TIME: 100 ns units).
struct IMediaSeeking : public IUnknown {
    STDMETHOD(GetCapabilities)(DWORD* pCapabilities) PURE;
    STDMETHOD(CheckCapabilities)(DWORD* pCapabilities) PURE;
    STDMETHOD(IsFormatSupported)(const GUID* pFormat) PURE;
    STDMETHOD(QueryPreferredFormat)(GUID* pFormat) PURE;
    STDMETHOD(GetTimeFormat)(GUID* pFormat) PURE;
    STDMETHOD(IsUsingTimeFormat)(const GUID* pFormat) PURE;
    STDMETHOD(SetTimeFormat)(const GUID* pFormat) PURE;
    STDMETHOD(GetDuration)(LONGLONG* pDuration) PURE;
    STDMETHOD(GetStopPosition)(LONGLONG* pStop) PURE;
    STDMETHOD(GetCurrentPosition)(LONGLONG* pCurrent) PURE;
    STDMETHOD(ConvertTimeFormat)
    (LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source, const GUID* pSourceFormat) PURE;
    STDMETHOD(SetPositions)
    (LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) PURE;
    STDMETHOD(GetPositions)(LONGLONG* pCurrent, LONGLONG* pStop) PURE;
    STDMETHOD(GetAvailable)(LONGLONG* pEarliest, LONGLONG* pLatest) PURE;
    STDMETHOD(SetRate)(double dRate) PURE;
    STDMETHOD(GetRate)(double* pdRate) PURE;
    STDMETHOD(GetPreroll)(LONGLONG* pllPreroll) PURE;
};

// The capabilities of an audio capture pin, one record per format it offers.
typedef struct _AUDIO_STREAM_CONFIG_CAPS {
    GUID guid;
    ULONG MinimumChannels;
    ULONG MaximumChannels;
    ULONG ChannelsGranularity;
    ULONG MinimumBitsPerSample;
    ULONG MaximumBitsPerSample;
    ULONG BitsPerSampleGranularity;
    ULONG MinimumSampleFrequency;
    ULONG MaximumSampleFrequency;
    ULONG SampleFrequencyGranularity;
} AUDIO_STREAM_CONFIG_CAPS;

struct IAMStreamConfig : public IUnknown {
    STDMETHOD(SetFormat)(AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetFormat)(AM_MEDIA_TYPE** ppmt) PURE;
    STDMETHOD(GetNumberOfCapabilities)(int* piCount, int* piSize) PURE;
    STDMETHOD(GetStreamCaps)(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) PURE;
};

enum AM_STREAM_INFO_FLAGS {
    AM_STREAM_INFO_START_DEFINED = 0x1,
    AM_STREAM_INFO_STOP_DEFINED = 0x2,
    AM_STREAM_INFO_DISCARDING = 0x4,
    AM_STREAM_INFO_STOP_SEND_EXTRA = 0x10
};

typedef struct AM_STREAM_INFO {
    REFERENCE_TIME tStart;
    REFERENCE_TIME tStop;
    DWORD dwStartCookie;
    DWORD dwStopCookie;
    DWORD dwFlags;
} AM_STREAM_INFO;

// Start and stop times of a pin's stream (NULL: now; MAXLONGLONG: cancel).
struct IAMStreamControl : public IUnknown {
    STDMETHOD(StartAt)(const REFERENCE_TIME* ptStart, DWORD dwCookie) PURE;
    STDMETHOD(StopAt)(const REFERENCE_TIME* ptStop, BOOL bSendExtra, DWORD dwCookie) PURE;
    STDMETHOD(GetInfo)(AM_STREAM_INFO* pInfo) PURE;
};

struct ICaptureGraphBuilder2 : public IUnknown {
    STDMETHOD(SetFiltergraph)(IGraphBuilder* pfg) PURE;
    STDMETHOD(GetFiltergraph)(IGraphBuilder** ppfg) PURE;
    STDMETHOD(SetOutputFileName)
    (const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf, IFileSinkFilter** ppSink) PURE;
    STDMETHOD(FindInterface)
    (const GUID* pCategory, const GUID* pType, IBaseFilter* pf, REFIID riid, void** ppint) PURE;
    STDMETHOD(RenderStream)
    (const GUID* pCategory, const GUID* pType, IUnknown* pSource, IBaseFilter* pfCompressor,
     IBaseFilter* pfRenderer) PURE;
    STDMETHOD(ControlStream)
    (const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter, REFERENCE_TIME* pstart,
     REFERENCE_TIME* pstop, WORD wStartCookie, WORD wStopCookie) PURE;
    STDMETHOD(AllocCapFile)(LPCOLESTR lpstr, DWORDLONG dwlSize) PURE;
    STDMETHOD(CopyCaptureFile)
    (LPOLESTR lpwstrOld, LPOLESTR lpwstrNew, int fAllowEscAbort,
     IAMCopyCaptureFileProgress* pCallback) PURE;
    STDMETHOD(FindPin)
    (IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory, const GUID* pType,
     BOOL fUnconnected, int num, IPin** ppPin) PURE;
};

// A source filter that reads a file.
struct IFileSourceFilter : public IUnknown {
    STDMETHOD(Load)(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetCurFile)(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) PURE;
};

typedef enum _AM_FILESINK_FLAGS { AM_FILE_OVERWRITE = 0x1 } AM_FILESINK_FLAGS;

struct IFileSinkFilter : public IUnknown {
    STDMETHOD(SetFileName)(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) PURE;
    STDMETHOD(GetCurFile)(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) PURE;
};

struct IFileSinkFilter2 : public IFileSinkFilter {
    STDMETHOD(SetMode)(DWORD dwFlags) PURE;
    STDMETHOD(GetMode)(DWORD* pdwFlags) PURE;
};
#endif  // __cplusplus
