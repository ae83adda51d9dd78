// Automation interfaces of the filter graph: run and stop, events, basic audio.
#pragma once

#include <oleauto.h>
#include <strmif.h>

typedef LONG_PTR OAEVENT;
typedef LONG_PTR OAHWND;
typedef LONG OAFilterState;

DEFINE_GUID(IID_IMediaControl, 0x56A868B1, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IMediaEvent, 0x56A868B6, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IMediaEventEx, 0x56A868C0, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);
DEFINE_GUID(IID_IBasicAudio, 0x56A868B3, 0x0AD4, 0x11CE, 0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7,
            0x70);

#ifdef __cplusplus
struct IMediaControl : public IDispatch {
    STDMETHOD(Run)() PURE;
    STDMETHOD(Pause)() PURE;
    STDMETHOD(Stop)() PURE;
    STDMETHOD(GetState)(LONG msTimeout, OAFilterState* pfs) PURE;
    STDMETHOD(RenderFile)(BSTR strFilename) PURE;
    STDMETHOD(AddSourceFilter)(BSTR strFilename, IDispatch** ppUnk) PURE;
    STDMETHOD(get_FilterCollection)(IDispatch** ppUnk) PURE;
    STDMETHOD(get_RegFilterCollection)(IDispatch** ppUnk) PURE;
    STDMETHOD(StopWhenReady)() PURE;
};

// The graph's event queue. GetEventHandle gives a manual-reset event that is set while events
// are queued; the caller must not close it.
struct IMediaEvent : public IDispatch {
    STDMETHOD(GetEventHandle)(OAEVENT* hEvent) PURE;
    STDMETHOD(GetEvent)
    (LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) PURE;
    STDMETHOD(WaitForCompletion)(LONG msTimeout, LONG* pEvCode) PURE;
    STDMETHOD(CancelDefaultHandling)(LONG lEvCode) PURE;
    STDMETHOD(RestoreDefaultHandling)(LONG lEvCode) PURE;
    STDMETHOD(FreeEventParams)(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) PURE;
};

struct IMediaEventEx : public IMediaEvent {
    STDMETHOD(SetNotifyWindow)(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) PURE;
    STDMETHOD(SetNotifyFlags)(LONG lNoNotifyFlags) PURE;
    STDMETHOD(GetNotifyFlags)(LONG* lplNoNotifyFlags) PURE;
};

// Volume in hundredths of a decibel (0 full, -10000 silence); balance -10000 (left) to 10000.
struct IBasicAudio : public IDispatch {
    STDMETHOD(put_Volume)(LONG lVolume) PURE;
    STDMETHOD(get_Volume)(LONG* plVolume) PURE;
    STDMETHOD(put_Balance)(LONG lBalance) PURE;
    STDMETHOD(get_Balance)(LONG* plBalance) PURE;
};
#endif  // __cplusplus

#define AM_MEDIAEVENT_NONOTIFY 0x01
