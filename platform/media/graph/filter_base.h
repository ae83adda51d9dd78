// What every filter of the media framework shares: the reference count, IBaseFilter with its
// name, graph and state, its pins, and reporting events to the graph.
#pragma once

#include <dshow.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "media/graph/pin.h"

namespace tovarin::media {

class FilterBase : public IBaseFilter, protected com::RefCounted {
  public:
    explicit FilterBase(const CLSID& clsid) : clsid_(clsid) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    // IPersist, IMediaFilter
    STDMETHODIMP GetClassID(CLSID* pClassID) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME tStart) override;
    STDMETHODIMP GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* pClock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** pClock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** ppEnum) override;
    STDMETHODIMP FindPin(LPCWSTR Id, IPin** ppPin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* pInfo) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* pVendorInfo) override;

    FILTER_STATE state() const { return state_.load(); }
    // The reference time at which stream time 0 was (set by Run).
    REFERENCE_TIME stream_start() const { return stream_start_.load(); }
    std::vector<Pin*> pins() const;
    // A renderer reports EC_COMPLETE when its stream has ended; the graph waits for all of them.
    virtual bool IsRenderer() const { return false; }
    IFilterGraph* graph() const { return graph_; }
    const std::wstring& name() const { return name_; }

    // The graph is about to stop: a filter that may block its upstream's streaming thread (a
    // renderer waiting for a sample's time) lets it go now and refuses what comes after.
    virtual void PrepareStop() {}

    // Reports an event to the graph (nothing when the filter is in no graph).
    void Notify(LONG code, LONG_PTR param1, LONG_PTR param2);

  protected:
    ~FilterBase() override = default;
    void AddPin(std::unique_ptr<Pin> pin) { pins_.push_back(std::move(pin)); }
    virtual void* QueryExtra(REFIID) { return nullptr; }
    // State changes; the base has already checked the transition. A failure keeps the old state.
    virtual HRESULT OnRun(REFERENCE_TIME) { return S_OK; }
    virtual HRESULT OnPause(FILTER_STATE) { return S_OK; }
    virtual HRESULT OnStop() { return S_OK; }

  private:
    const CLSID clsid_;
    std::vector<std::unique_ptr<Pin>> pins_;
    std::mutex state_mutex_;  // serialises state changes
    std::atomic<FILTER_STATE> state_{State_Stopped};
    std::atomic<REFERENCE_TIME> stream_start_{0};
    IFilterGraph* graph_ = nullptr;      // the graph holds the filter, not the other way round
    IMediaEventSink* events_ = nullptr;  // the graph's, without a reference
    std::wstring name_;
};

// Writes what a COM object of ours offers: QueryInterface's common tail.
inline HRESULT Offer(void* p, void** ppv) {
    *ppv = p;
    if (p == nullptr) {
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(p)->AddRef();
    return S_OK;
}

// A task-memory copy of text, for out strings the caller frees with CoTaskMemFree.
LPWSTR TaskMemoryString(const std::wstring& text);

}  // namespace tovarin::media
