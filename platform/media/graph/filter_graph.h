// The filter graph (CLSID_FilterGraph): holds filters, connects and renders pins, runs and stops
// them together on the device clock, queues their events and seeks and sets the volume of what
// it plays.
#pragma once

#include <dshow.h>

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "media/graph/filter_base.h"
#include "media/graph/filter_roles.h"

namespace tovarin::media {

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaEventEx,
                          public IMediaSeeking,
                          public IBasicAudio,
                          public IMediaEventSink,
                          private com::RefCounted {
  public:
    FilterGraph();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }
    TOVARIN_NO_TYPE_INFO

    // IFilterGraph
    STDMETHODIMP AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override;
    STDMETHODIMP RemoveFilter(IBaseFilter* pFilter) override;
    STDMETHODIMP EnumFilters(IEnumFilters** ppEnum) override;
    STDMETHODIMP FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) override;
    STDMETHODIMP ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP Reconnect(IPin* ppin) override;
    STDMETHODIMP Disconnect(IPin* ppin) override;
    STDMETHODIMP SetDefaultSyncSource() override;
    // IGraphBuilder
    STDMETHODIMP Connect(IPin* ppinOut, IPin* ppinIn) override;
    STDMETHODIMP Render(IPin* ppinOut) override;
    STDMETHODIMP RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) override;
    STDMETHODIMP AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                                 IBaseFilter** ppFilter) override;
    STDMETHODIMP SetLogFile(DWORD_PTR hFile) override;
    STDMETHODIMP Abort() override;
    STDMETHODIMP ShouldOperationContinue() override;

    // IMediaControl
    STDMETHODIMP Run() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP GetState(LONG msTimeout, OAFilterState* pfs) override;
    STDMETHODIMP RenderFile(BSTR strFilename) override;
    STDMETHODIMP AddSourceFilter(BSTR strFilename, IDispatch** ppUnk) override;
    STDMETHODIMP get_FilterCollection(IDispatch** ppUnk) override;
    STDMETHODIMP get_RegFilterCollection(IDispatch** ppUnk) override;
    STDMETHODIMP StopWhenReady() override;

    // IMediaEvent, IMediaEventEx
    STDMETHODIMP GetEventHandle(OAEVENT* hEvent) override;
    STDMETHODIMP GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                          LONG msTimeout) override;
    STDMETHODIMP WaitForCompletion(LONG msTimeout, LONG* pEvCode) override;
    STDMETHODIMP CancelDefaultHandling(LONG lEvCode) override;
    STDMETHODIMP RestoreDefaultHandling(LONG lEvCode) override;
    STDMETHODIMP FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) override;
    STDMETHODIMP SetNotifyWindow(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) override;
    STDMETHODIMP SetNotifyFlags(LONG lNoNotifyFlags) override;
    STDMETHODIMP GetNotifyFlags(LONG* lplNoNotifyFlags) override;

    // IMediaSeeking
    STDMETHODIMP GetCapabilities(DWORD* pCapabilities) override;
    STDMETHODIMP CheckCapabilities(DWORD* pCapabilities) override;
    STDMETHODIMP IsFormatSupported(const GUID* pFormat) override;
    STDMETHODIMP QueryPreferredFormat(GUID* pFormat) override;
    STDMETHODIMP GetTimeFormat(GUID* pFormat) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* pFormat) override;
    STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;
    STDMETHODIMP GetDuration(LONGLONG* pDuration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* pStop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* pCurrent) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                   const GUID* pSourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                              DWORD dwStopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    STDMETHODIMP GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    STDMETHODIMP SetRate(double dRate) override;
    STDMETHODIMP GetRate(double* pdRate) override;
    STDMETHODIMP GetPreroll(LONGLONG* pllPreroll) override;

    // IBasicAudio
    STDMETHODIMP put_Volume(LONG lVolume) override;
    STDMETHODIMP get_Volume(LONG* plVolume) override;
    STDMETHODIMP put_Balance(LONG lBalance) override;
    STDMETHODIMP get_Balance(LONG* plBalance) override;

    // IMediaEventSink
    STDMETHODIMP Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;

  private:
    struct Event {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };
    struct Member {
        com::ComPtr<IBaseFilter> filter;
        FilterBase* base;  // ours, or nullptr for a filter of another implementation
    };

    ~FilterGraph() override;
    void Queue(Event event);
    // With mutex_ held.
    std::vector<Member> UpstreamFirst() const;
    HRESULT RenderOutput(Pin* output, int depth);
    HRESULT RunLocked();
    void StopLocked();
    LONGLONG PositionLocked() const;
    SeekableSource* SourceLocked() const;
    std::vector<VolumeControl*> VolumesLocked() const;
    std::wstring UniqueName(LPCWSTR wanted) const;

    mutable std::recursive_mutex mutex_;
    std::vector<Member> members_;
    FILTER_STATE state_ = State_Stopped;
    REFERENCE_TIME stream_start_ = 0;  // reference time of media time 0 while running
    LONGLONG position_ = 0;            // media time where a stopped or paused graph stands
    std::optional<LONGLONG> stop_position_;
    LONG volume_ = 0;
    LONG balance_ = 0;

    std::mutex events_mutex_;
    std::deque<Event> events_;
    HANDLE events_ready_;  // manual reset, set while events_ is not empty
    HANDLE completed_;     // manual reset, set when every renderer has completed
    int renderers_ = 0;
    int renderers_done_ = 0;
};

}  // namespace tovarin::media
