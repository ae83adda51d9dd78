#include "media/graph/filter_base.h"

#include <cstring>

#include "media/graph/enumerators.h"

namespace tovarin::media {

LPWSTR TaskMemoryString(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    if (copy != nullptr) {
        std::wmemcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

STDMETHODIMP FilterBase::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IPersist || riid == IID_IMediaFilter ||
        riid == IID_IBaseFilter) {
        return Offer(static_cast<IBaseFilter*>(this), ppv);
    }
    return Offer(QueryExtra(riid), ppv);
}

STDMETHODIMP FilterBase::GetClassID(CLSID* pClassID) {
    if (pClassID == nullptr) {
        return E_POINTER;
    }
    *pClassID = clsid_;
    return S_OK;
}

STDMETHODIMP FilterBase::Stop() {
    std::lock_guard lock(state_mutex_);
    if (state_ == State_Stopped) {
        return S_OK;
    }
    HRESULT hr = OnStop();
    state_ = State_Stopped;
    return hr;
}

STDMETHODIMP FilterBase::Pause() {
    std::lock_guard lock(state_mutex_);
    const FILTER_STATE from = state_;
    if (from == State_Paused) {
        return S_OK;
    }
    HRESULT hr = OnPause(from);
    if (SUCCEEDED(hr)) {
        state_ = State_Paused;
    }
    return hr;
}

STDMETHODIMP FilterBase::Run(REFERENCE_TIME tStart) {
    if (state() == State_Stopped) {
        HRESULT hr = Pause();
        if (FAILED(hr)) {
            return hr;
        }
    }
    std::lock_guard lock(state_mutex_);
    if (state_ == State_Running) {
        return S_OK;
    }
    stream_start_ = tStart;
    HRESULT hr = OnRun(tStart);
    if (SUCCEEDED(hr)) {
        state_ = State_Running;
    }
    return hr;
}

STDMETHODIMP FilterBase::GetState(DWORD, FILTER_STATE* State) {
    if (State == nullptr) {
        return E_POINTER;
    }
    *State = state_;
    return S_OK;
}

STDMETHODIMP FilterBase::SetSyncSource(IReferenceClock*) {
    return S_OK;  // every filter runs on the device clock
}

STDMETHODIMP FilterBase::GetSyncSource(IReferenceClock** pClock) {
    if (pClock == nullptr) {
        return E_POINTER;
    }
    *pClock = nullptr;
    return S_OK;
}

std::vector<Pin*> FilterBase::pins() const {
    std::vector<Pin*> all;
    for (const auto& pin : pins_) {
        all.push_back(pin.get());
    }
    return all;
}

STDMETHODIMP FilterBase::EnumPins(IEnumPins** ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    std::vector<IPin*> all;
    for (const auto& pin : pins_) {
        all.push_back(pin.get());
    }
    *ppEnum = NewPinEnumerator(all);
    return *ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FilterBase::FindPin(LPCWSTR Id, IPin** ppPin) {
    if (Id == nullptr || ppPin == nullptr) {
        return E_POINTER;
    }
    for (const auto& pin : pins_) {
        if (pin->name() == Id) {
            *ppPin = pin.get();
            pin->AddRef();
            return S_OK;
        }
    }
    *ppPin = nullptr;
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterBase::QueryFilterInfo(FILTER_INFO* pInfo) {
    if (pInfo == nullptr) {
        return E_POINTER;
    }
    std::wcsncpy(pInfo->achName, name_.c_str(), MAX_FILTER_NAME - 1);
    pInfo->achName[MAX_FILTER_NAME - 1] = L'\0';
    pInfo->pGraph = graph_;
    if (graph_ != nullptr) {
        graph_->AddRef();
    }
    return S_OK;
}

STDMETHODIMP FilterBase::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) {
    graph_ = pGraph;
    name_ = (pGraph != nullptr && pName != nullptr) ? pName : L"";
    // The graph holds the filter and stops it before it goes, so the filter keeps its event sink
    // without a reference: a streaming thread must never take one on a graph being released.
    events_ = nullptr;
    if (pGraph != nullptr && SUCCEEDED(pGraph->QueryInterface(
                                 IID_IMediaEventSink, reinterpret_cast<void**>(&events_)))) {
        events_->Release();
    }
    return S_OK;
}

STDMETHODIMP FilterBase::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;  // documented for filters without vendor information
}

void FilterBase::Notify(LONG code, LONG_PTR param1, LONG_PTR param2) {
    if (events_ != nullptr) {
        events_->Notify(code, param1, param2);
    }
}

}  // namespace tovarin::media
