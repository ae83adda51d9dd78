#include "media/graph/filter_graph.h"

#include <algorithm>
#include <map>
#include <new>

#include "com/class_registry.h"
#include "media/filters/playback_filters.h"
#include "media/graph/device_worker.h"
#include "media/graph/enumerators.h"

namespace tovarin::media {
namespace {

// Render inserts at most this many transforms between a pin and a renderer.
constexpr int kMaxRenderDepth = 3;

HRESULT CreateFilterGraph(REFIID riid, void** ppv) {
    auto* graph = new (std::nothrow) FilterGraph;
    if (graph == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = graph->QueryInterface(riid, ppv);
    graph->Release();
    return hr;
}

const com::ClassRegistration kFilterGraphClass(CLSID_FilterGraph, CLSCTX_INPROC_SERVER,
                                               &CreateFilterGraph);

}  // namespace

FilterGraph::FilterGraph()
    : events_ready_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      completed_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

FilterGraph::~FilterGraph() {
    {
        std::lock_guard lock(mutex_);
        StopLocked();
        for (Member& member : members_) {
            if (member.base != nullptr) {
                for (Pin* pin : member.base->pins()) {
                    pin->Disconnect();
                }
            }
            member.filter->JoinFilterGraph(nullptr, nullptr);
        }
        members_.clear();
    }
    CloseHandle(events_ready_);
    CloseHandle(completed_);
}

STDMETHODIMP FilterGraph::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    void* p = nullptr;
    if (riid == IID_IUnknown || riid == IID_IFilterGraph || riid == IID_IGraphBuilder) {
        p = static_cast<IGraphBuilder*>(this);
    } else if (riid == IID_IMediaControl) {
        p = static_cast<IMediaControl*>(this);
    } else if (riid == IID_IMediaEvent || riid == IID_IMediaEventEx) {
        p = static_cast<IMediaEventEx*>(this);
    } else if (riid == IID_IMediaSeeking) {
        p = static_cast<IMediaSeeking*>(this);
    } else if (riid == IID_IBasicAudio) {
        p = static_cast<IBasicAudio*>(this);
    } else if (riid == IID_IMediaEventSink) {
        p = static_cast<IMediaEventSink*>(this);
    }
    return Offer(p, ppv);
}

// ---- filters and connections ----

std::wstring FilterGraph::UniqueName(LPCWSTR wanted) const {
    std::wstring base = (wanted != nullptr && wanted[0] != L'\0') ? wanted : L"Filter";
    auto taken = [&](const std::wstring& name) {
        return std::any_of(members_.begin(), members_.end(), [&](const Member& m) {
            FILTER_INFO info{};
            m.filter->QueryFilterInfo(&info);
            if (info.pGraph != nullptr) {
                info.pGraph->Release();
            }
            return name == info.achName;
        });
    };
    std::wstring name = base;
    for (int n = 1; taken(name); ++n) {
        name = base + L" " + std::to_wstring(n);
    }
    return name;
}

STDMETHODIMP FilterGraph::AddFilter(IBaseFilter* pFilter, LPCWSTR pName) {
    if (pFilter == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    for (const Member& member : members_) {
        if (member.filter.Get() == pFilter) {
            return VFW_E_DUPLICATE_NAME;
        }
    }
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    const std::wstring name = UniqueName(pName);
    HRESULT hr = pFilter->JoinFilterGraph(this, name.c_str());
    if (FAILED(hr)) {
        return hr;
    }
    members_.push_back(
        {com::ComPtr<IBaseFilter>::Share(pFilter), dynamic_cast<FilterBase*>(pFilter)});
    return (pName != nullptr && name != pName) ? VFW_S_DUPLICATE_NAME : S_OK;
}

STDMETHODIMP FilterGraph::RemoveFilter(IBaseFilter* pFilter) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(members_.begin(), members_.end(),
                           [&](const Member& m) { return m.filter.Get() == pFilter; });
    if (it == members_.end()) {
        return VFW_E_NOT_FOUND;
    }
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (it->base != nullptr) {
        for (Pin* pin : it->base->pins()) {
            if (Pin* peer = pin->Peer()) {
                peer->Disconnect();
            }
            pin->Disconnect();
        }
    }
    it->filter->JoinFilterGraph(nullptr, nullptr);
    members_.erase(it);
    return S_OK;
}

STDMETHODIMP FilterGraph::EnumFilters(IEnumFilters** ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    std::vector<IBaseFilter*> all;
    for (const Member& member : members_) {
        all.push_back(member.filter.Get());
    }
    *ppEnum = NewFilterEnumerator(all);
    return *ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP FilterGraph::FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) {
    if (pName == nullptr || ppFilter == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    *ppFilter = nullptr;
    for (const Member& member : members_) {
        FILTER_INFO info{};
        member.filter->QueryFilterInfo(&info);
        if (info.pGraph != nullptr) {
            info.pGraph->Release();
        }
        if (std::wstring(info.achName) == pName) {
            *ppFilter = member.filter.Get();
            (*ppFilter)->AddRef();
            return S_OK;
        }
    }
    return VFW_E_NOT_FOUND;
}

STDMETHODIMP FilterGraph::ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) {
    if (ppinOut == nullptr || ppinIn == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    return ppinOut->Connect(ppinIn, pmt);
}

STDMETHODIMP FilterGraph::Reconnect(IPin*) {
    return E_NOTIMPL;  // formats never change while connected here
}

STDMETHODIMP FilterGraph::Disconnect(IPin* ppin) {
    if (ppin == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    return ppin->Disconnect();
}

STDMETHODIMP FilterGraph::SetDefaultSyncSource() {
    return S_OK;  // the device clock is the only clock
}

STDMETHODIMP FilterGraph::Connect(IPin* ppinOut, IPin* ppinIn) {
    if (ppinOut == nullptr || ppinIn == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    HRESULT hr = ppinOut->Connect(ppinIn, nullptr);
    if (SUCCEEDED(hr)) {
        return hr;
    }
    // An AMR-NB output reaches a PCM input through the decoder.
    Pin* output = AsPin(ppinOut);
    if (output == nullptr) {
        return hr;
    }
    com::ComPtr<IBaseFilter> decoder = com::ComPtr<IBaseFilter>::Adopt(NewAmrDecoder());
    if (!decoder || FAILED(AddFilter(decoder.Get(), L"AMR-NB Decoder"))) {
        return VFW_E_CANNOT_CONNECT;
    }
    auto* base = static_cast<FilterBase*>(decoder.Get());
    const std::vector<Pin*> pins = base->pins();
    if (SUCCEEDED(ppinOut->Connect(pins[0], nullptr)) &&
        SUCCEEDED(pins[1]->Connect(ppinIn, nullptr))) {
        return S_OK;
    }
    RemoveFilter(decoder.Get());
    return VFW_E_CANNOT_CONNECT;
}

HRESULT FilterGraph::RenderOutput(Pin* output, int depth) {
    if (depth > kMaxRenderDepth) {
        return VFW_E_CANNOT_RENDER;
    }
    // A renderer the program added to the graph itself (one it has told which output to play
    // to) is tried before a new one, as intelligent connect tries the graph's own filters first.
    for (const Member& member : members_) {
        if (member.base == nullptr || !member.base->IsRenderer()) {
            continue;
        }
        for (Pin* input : member.base->pins()) {
            if (input->direction() == PINDIR_INPUT && !input->IsConnected() &&
                SUCCEEDED(output->Connect(input, nullptr))) {
                return S_OK;
            }
        }
    }
    // A renderer takes PCM; anything else goes through a decoder first.
    for (bool decoder : {false, true}) {
        com::ComPtr<IBaseFilter> filter =
            com::ComPtr<IBaseFilter>::Adopt(decoder ? NewAmrDecoder() : NewAudioRenderer());
        if (!filter) {
            return E_OUTOFMEMORY;
        }
        if (FAILED(AddFilter(filter.Get(), decoder ? L"AMR-NB Decoder" : L"Audio Renderer"))) {
            continue;
        }
        auto* base = static_cast<FilterBase*>(filter.Get());
        const std::vector<Pin*> pins = base->pins();
        if (SUCCEEDED(output->Connect(pins[0], nullptr)) &&
            (!decoder || SUCCEEDED(RenderOutput(pins[1], depth + 1)))) {
            return S_OK;
        }
        RemoveFilter(filter.Get());
    }
    return VFW_E_CANNOT_RENDER;
}

STDMETHODIMP FilterGraph::Render(IPin* ppinOut) {
    if (ppinOut == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    Pin* output = AsPin(ppinOut);
    if (output == nullptr || output->direction() != PINDIR_OUTPUT) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (output->IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    return RenderOutput(output, 0);
}

STDMETHODIMP FilterGraph::AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                                          IBaseFilter** ppFilter) {
    if (lpcwstrFileName == nullptr || ppFilter == nullptr) {
        return E_POINTER;
    }
    *ppFilter = nullptr;
    com::ComPtr<IBaseFilter> source = com::ComPtr<IBaseFilter>::Adopt(NewFileSource());
    if (!source) {
        return E_OUTOFMEMORY;
    }
    com::ComPtr<IFileSourceFilter> file;
    source->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(file.Out()));
    HRESULT hr = file->Load(lpcwstrFileName, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    hr =
        AddFilter(source.Get(), lpcwstrFilterName != nullptr ? lpcwstrFilterName : lpcwstrFileName);
    if (FAILED(hr)) {
        return hr;
    }
    *ppFilter = source.Detach();
    return S_OK;
}

STDMETHODIMP FilterGraph::RenderFile(LPCWSTR lpcwstrFile, LPCWSTR) {
    if (lpcwstrFile == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (state_ != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    com::ComPtr<IBaseFilter> source;
    HRESULT hr = AddSourceFilter(lpcwstrFile, lpcwstrFile, source.Out());
    if (FAILED(hr)) {
        return hr;
    }
    Pin* output = static_cast<FilterBase*>(source.Get())->pins()[0];
    hr = RenderOutput(output, 0);
    if (FAILED(hr)) {
        RemoveFilter(source.Get());
        return hr;
    }
    position_ = 0;
    stop_position_.reset();
    return S_OK;
}

STDMETHODIMP FilterGraph::SetLogFile(DWORD_PTR) {
    return S_OK;
}

STDMETHODIMP FilterGraph::Abort() {
    return S_OK;  // graph building is synchronous and short
}

STDMETHODIMP FilterGraph::ShouldOperationContinue() {
    return S_OK;
}

// ---- running ----

std::vector<FilterGraph::Member> FilterGraph::UpstreamFirst() const {
    // Depth: the longest chain of connections from a filter with no connected input.
    std::map<FilterBase*, int> depth;
    for (const Member& m : members_) {
        if (m.base != nullptr) {
            depth[m.base] = 0;
        }
    }
    for (size_t round = 0; round < members_.size(); ++round) {
        for (const Member& m : members_) {
            if (m.base == nullptr) {
                continue;
            }
            for (Pin* pin : m.base->pins()) {
                Pin* peer = pin->Peer();
                if (pin->direction() == PINDIR_OUTPUT && peer != nullptr &&
                    depth.count(&peer->filter()) != 0) {
                    depth[&peer->filter()] = std::max(depth[&peer->filter()], depth[m.base] + 1);
                }
            }
        }
    }
    std::vector<Member> ordered = members_;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const Member& a, const Member& b) {
        const int da = a.base != nullptr ? depth[a.base] : 0;
        const int db = b.base != nullptr ? depth[b.base] : 0;
        return da < db;
    });
    return ordered;
}

SeekableSource* FilterGraph::SourceLocked() const {
    for (const Member& m : members_) {
        if (auto* source = dynamic_cast<SeekableSource*>(m.base)) {
            return source;
        }
    }
    return nullptr;
}

std::vector<VolumeControl*> FilterGraph::VolumesLocked() const {
    std::vector<VolumeControl*> all;
    for (const Member& m : members_) {
        if (auto* volume = dynamic_cast<VolumeControl*>(m.base)) {
            all.push_back(volume);
        }
    }
    return all;
}

LONGLONG FilterGraph::PositionLocked() const {
    LONGLONG position = position_;
    if (state_ == State_Running) {
        position = std::max<LONGLONG>(0, DeviceTimeNow() - stream_start_);
    }
    if (SeekableSource* source = SourceLocked()) {
        position = std::min(position, stop_position_.value_or(source->Duration()));
    }
    return position;
}

HRESULT FilterGraph::RunLocked() {
    if (state_ == State_Running) {
        return S_OK;
    }
    const std::vector<Member> ordered = UpstreamFirst();
    // A paused graph has stopped its filters too: every run starts them afresh from position_.
    {
        ResetEvent(completed_);
        renderers_ = 0;
        renderers_done_ = 0;
        for (const Member& m : ordered) {
            renderers_ += (m.base != nullptr && m.base->IsRenderer()) ? 1 : 0;
        }
        if (SeekableSource* source = SourceLocked()) {
            source->SetPlayRange(position_, stop_position_.value_or(source->Duration()));
        }
        for (VolumeControl* volume : VolumesLocked()) {
            volume->SetVolume(volume_);
            volume->SetBalance(balance_);
        }
    }
    stream_start_ = DeviceTimeNow() - position_;
    // Downstream first, so that a renderer is ready before its source delivers.
    HRESULT result = S_OK;
    for (auto it = ordered.rbegin(); it != ordered.rend(); ++it) {
        HRESULT hr = it->filter->Run(stream_start_);
        if (FAILED(hr)) {
            result = hr;
        }
    }
    state_ = State_Running;
    if (FAILED(result)) {
        StopLocked();
    }
    return result;
}

void FilterGraph::StopLocked() {
    if (state_ == State_Stopped) {
        return;
    }
    position_ = PositionLocked();
    const std::vector<Member> ordered = UpstreamFirst();
    for (const Member& m : ordered) {
        if (m.base != nullptr) {
            m.base->PrepareStop();
        }
    }
    // Sources first: each ends its streaming thread before what it feeds stops, so that a file
    // writer closes after the last whole frame.
    for (const Member& m : ordered) {
        m.filter->Stop();
    }
    state_ = State_Stopped;
}

STDMETHODIMP FilterGraph::Run() {
    std::lock_guard lock(mutex_);
    return RunLocked();
}

STDMETHODIMP FilterGraph::Pause() {
    std::lock_guard lock(mutex_);
    if (state_ == State_Paused) {
        return S_OK;
    }
    position_ = PositionLocked();
    // A paused graph holds its place; streaming resumes from there on Run.
    StopLocked();
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP FilterGraph::Stop() {
    std::lock_guard lock(mutex_);
    if (state_ == State_Paused) {
        state_ = State_Stopped;
        return S_OK;
    }
    StopLocked();
    return S_OK;
}

STDMETHODIMP FilterGraph::GetState(LONG, OAFilterState* pfs) {
    if (pfs == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    *pfs = state_;
    return S_OK;
}

STDMETHODIMP FilterGraph::RenderFile(BSTR strFilename) {
    return RenderFile(static_cast<LPCWSTR>(strFilename), nullptr);
}

STDMETHODIMP FilterGraph::AddSourceFilter(BSTR, IDispatch**) {
    return E_NOTIMPL;  // the automation filter collection is not offered
}

STDMETHODIMP FilterGraph::get_FilterCollection(IDispatch**) {
    return E_NOTIMPL;
}

STDMETHODIMP FilterGraph::get_RegFilterCollection(IDispatch**) {
    return E_NOTIMPL;
}

STDMETHODIMP FilterGraph::StopWhenReady() {
    return Stop();
}

// ---- events ----

void FilterGraph::Queue(Event event) {
    std::lock_guard lock(events_mutex_);
    events_.push_back(event);
    SetEvent(events_ready_);
}

STDMETHODIMP FilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) {
    if (EventCode == EC_COMPLETE) {
        // One EC_COMPLETE for the graph, once every renderer has reached its end.
        bool all = false;
        {
            std::lock_guard lock(events_mutex_);
            all = ++renderers_done_ == renderers_;
        }
        if (all) {
            SetEvent(completed_);
            Queue({EC_COMPLETE, S_OK, 0});
        }
        return S_OK;
    }
    Queue({EventCode, EventParam1, EventParam2});
    return S_OK;
}

STDMETHODIMP FilterGraph::GetEventHandle(OAEVENT* hEvent) {
    if (hEvent == nullptr) {
        return E_POINTER;
    }
    *hEvent = reinterpret_cast<OAEVENT>(events_ready_);
    return S_OK;
}

STDMETHODIMP FilterGraph::GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                                   LONG msTimeout) {
    if (lEventCode == nullptr || lParam1 == nullptr || lParam2 == nullptr) {
        return E_POINTER;
    }
    const DWORD timeout = msTimeout < 0 ? INFINITE : static_cast<DWORD>(msTimeout);
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD left = timeout;
        if (timeout != INFINITE) {
            const DWORD spent = GetTickCount() - start;
            left = spent >= timeout ? 0 : timeout - spent;
        }
        if (WaitForSingleObject(events_ready_, left) != WAIT_OBJECT_0) {
            *lEventCode = 0;
            *lParam1 = *lParam2 = 0;
            return E_ABORT;
        }
        std::lock_guard lock(events_mutex_);
        if (events_.empty()) {
            continue;  // another reader took it
        }
        const Event event = events_.front();
        events_.pop_front();
        if (events_.empty()) {
            ResetEvent(events_ready_);
        }
        *lEventCode = event.code;
        *lParam1 = event.param1;
        *lParam2 = event.param2;
        return S_OK;
    }
}

STDMETHODIMP FilterGraph::WaitForCompletion(LONG msTimeout, LONG* pEvCode) {
    if (pEvCode == nullptr) {
        return E_POINTER;
    }
    const DWORD timeout = msTimeout < 0 ? INFINITE : static_cast<DWORD>(msTimeout);
    if (WaitForSingleObject(completed_, timeout) == WAIT_OBJECT_0) {
        *pEvCode = EC_COMPLETE;
        return S_OK;
    }
    *pEvCode = 0;
    return E_ABORT;
}

STDMETHODIMP FilterGraph::CancelDefaultHandling(LONG) {
    return S_OK;
}

STDMETHODIMP FilterGraph::RestoreDefaultHandling(LONG) {
    return S_OK;
}

STDMETHODIMP FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) {
    return S_OK;  // no event of this graph carries allocated parameters
}

STDMETHODIMP FilterGraph::SetNotifyWindow(OAHWND hwnd, LONG, LONG_PTR) {
    return hwnd == 0 ? S_OK : E_NOTIMPL;
}

STDMETHODIMP FilterGraph::SetNotifyFlags(LONG lNoNotifyFlags) {
    return (lNoNotifyFlags == 0 || lNoNotifyFlags == AM_MEDIAEVENT_NONOTIFY) ? S_OK : E_INVALIDARG;
}

STDMETHODIMP FilterGraph::GetNotifyFlags(LONG* lplNoNotifyFlags) {
    if (lplNoNotifyFlags == nullptr) {
        return E_POINTER;
    }
    *lplNoNotifyFlags = 0;
    return S_OK;
}

// ---- seeking ----

namespace {
constexpr DWORD kSeekingCaps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards |
                               AM_SEEKING_CanSeekBackwards | AM_SEEKING_CanGetCurrentPos |
                               AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
}

STDMETHODIMP FilterGraph::GetCapabilities(DWORD* pCapabilities) {
    if (pCapabilities == nullptr) {
        return E_POINTER;
    }
    *pCapabilities = kSeekingCaps;
    return S_OK;
}

STDMETHODIMP FilterGraph::CheckCapabilities(DWORD* pCapabilities) {
    if (pCapabilities == nullptr) {
        return E_POINTER;
    }
    const DWORD asked = *pCapabilities;
    *pCapabilities &= kSeekingCaps;
    return *pCapabilities == asked ? S_OK : (*pCapabilities == 0 ? E_FAIL : S_FALSE);
}

STDMETHODIMP FilterGraph::IsFormatSupported(const GUID* pFormat) {
    if (pFormat == nullptr) {
        return E_POINTER;
    }
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
}

STDMETHODIMP FilterGraph::QueryPreferredFormat(GUID* pFormat) {
    return GetTimeFormat(pFormat);
}

STDMETHODIMP FilterGraph::GetTimeFormat(GUID* pFormat) {
    if (pFormat == nullptr) {
        return E_POINTER;
    }
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

STDMETHODIMP FilterGraph::IsUsingTimeFormat(const GUID* pFormat) {
    return IsFormatSupported(pFormat);
}

STDMETHODIMP FilterGraph::SetTimeFormat(const GUID* pFormat) {
    if (pFormat == nullptr) {
        return E_POINTER;
    }
    return *pFormat == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
}

STDMETHODIMP FilterGraph::GetDuration(LONGLONG* pDuration) {
    if (pDuration == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    SeekableSource* source = SourceLocked();
    // A live graph (capture) lasts as long as it has run.
    *pDuration = source != nullptr ? source->Duration() : PositionLocked();
    return S_OK;
}

STDMETHODIMP FilterGraph::GetStopPosition(LONGLONG* pStop) {
    if (pStop == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    SeekableSource* source = SourceLocked();
    *pStop = stop_position_.value_or(source != nullptr ? source->Duration() : PositionLocked());
    return S_OK;
}

STDMETHODIMP FilterGraph::GetCurrentPosition(LONGLONG* pCurrent) {
    if (pCurrent == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    *pCurrent = PositionLocked();
    return S_OK;
}

STDMETHODIMP FilterGraph::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                            LONGLONG Source, const GUID* pSourceFormat) {
    if (pTarget == nullptr) {
        return E_POINTER;
    }
    auto media = [](const GUID* f) { return f == nullptr || *f == TIME_FORMAT_MEDIA_TIME; };
    if (!media(pTargetFormat) || !media(pSourceFormat)) {
        return E_INVALIDARG;
    }
    *pTarget = Source;
    return S_OK;
}

STDMETHODIMP FilterGraph::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                       DWORD dwStopFlags) {
    const DWORD current_how = dwCurrentFlags & AM_SEEKING_PositioningBitsMask;
    const DWORD stop_how = dwStopFlags & AM_SEEKING_PositioningBitsMask;
    if ((current_how != AM_SEEKING_NoPositioning && pCurrent == nullptr) ||
        (stop_how != AM_SEEKING_NoPositioning && pStop == nullptr)) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    SeekableSource* source = SourceLocked();
    if (source == nullptr) {
        return E_NOTIMPL;  // a live graph cannot seek
    }
    const LONGLONG duration = source->Duration();
    const LONGLONG now = PositionLocked();
    LONGLONG current = now;
    if (current_how == AM_SEEKING_AbsolutePositioning) {
        current = *pCurrent;
    } else if (current_how == AM_SEEKING_RelativePositioning) {
        current = now + *pCurrent;
    }
    LONGLONG stop = stop_position_.value_or(duration);
    if (stop_how == AM_SEEKING_AbsolutePositioning) {
        stop = *pStop;
    } else if (stop_how == AM_SEEKING_RelativePositioning) {
        stop += *pStop;
    }
    current = std::clamp<LONGLONG>(current, 0, duration);
    stop = std::clamp<LONGLONG>(stop, 0, duration);
    const FILTER_STATE was = state_;
    if (was == State_Running) {
        StopLocked();
    }
    position_ = current;
    stop_position_ = stop;
    if (was == State_Running) {
        RunLocked();
    }
    if ((dwCurrentFlags & AM_SEEKING_ReturnTime) != 0 && pCurrent != nullptr) {
        *pCurrent = current;
    }
    if ((dwStopFlags & AM_SEEKING_ReturnTime) != 0 && pStop != nullptr) {
        *pStop = stop;
    }
    return S_OK;
}

STDMETHODIMP FilterGraph::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) {
    if (pCurrent != nullptr) {
        GetCurrentPosition(pCurrent);
    }
    if (pStop != nullptr) {
        GetStopPosition(pStop);
    }
    return S_OK;
}

STDMETHODIMP FilterGraph::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) {
    if (pEarliest != nullptr) {
        *pEarliest = 0;
    }
    if (pLatest != nullptr) {
        GetDuration(pLatest);
    }
    return S_OK;
}

STDMETHODIMP FilterGraph::SetRate(double dRate) {
    return dRate == 1.0 ? S_OK : E_NOTIMPL;
}

STDMETHODIMP FilterGraph::GetRate(double* pdRate) {
    if (pdRate == nullptr) {
        return E_POINTER;
    }
    *pdRate = 1.0;
    return S_OK;
}

STDMETHODIMP FilterGraph::GetPreroll(LONGLONG* pllPreroll) {
    if (pllPreroll == nullptr) {
        return E_POINTER;
    }
    *pllPreroll = 0;
    return S_OK;
}

// ---- basic audio ----

STDMETHODIMP FilterGraph::put_Volume(LONG lVolume) {
    if (lVolume < -10000 || lVolume > 0) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(mutex_);
    const std::vector<VolumeControl*> volumes = VolumesLocked();
    if (volumes.empty()) {
        return E_NOTIMPL;
    }
    volume_ = lVolume;
    for (VolumeControl* volume : volumes) {
        volume->SetVolume(lVolume);
    }
    return S_OK;
}

STDMETHODIMP FilterGraph::get_Volume(LONG* plVolume) {
    if (plVolume == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (VolumesLocked().empty()) {
        return E_NOTIMPL;
    }
    *plVolume = volume_;
    return S_OK;
}

STDMETHODIMP FilterGraph::put_Balance(LONG lBalance) {
    if (lBalance < -10000 || lBalance > 10000) {
        return E_INVALIDARG;
    }
    std::lock_guard lock(mutex_);
    const std::vector<VolumeControl*> volumes = VolumesLocked();
    if (volumes.empty()) {
        return E_NOTIMPL;
    }
    balance_ = lBalance;
    for (VolumeControl* volume : volumes) {
        volume->SetBalance(lBalance);
    }
    return S_OK;
}

STDMETHODIMP FilterGraph::get_Balance(LONG* plBalance) {
    if (plBalance == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (VolumesLocked().empty()) {
        return E_NOTIMPL;
    }
    *plBalance = balance_;
    return S_OK;
}

}  // namespace tovarin::media
