// The capture graph builder (CLSID_CaptureGraphBuilder and CLSID_CaptureGraphBuilder2): finds
// pins by category and media type, wires capture streams through an optional compressor to a
// renderer or writer, and sets the start and stop times of capture pins.
#include <dshow.h>

#include <new>

#include "com/class_registry.h"
#include "com/com_ptr.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {

HRESULT CreateFileWriter(REFIID riid, void** ppv);

namespace {

bool Matches(Pin* pin, PIN_DIRECTION direction, const GUID* category, const GUID* type,
             bool unconnected) {
    if (pin->direction() != direction || (unconnected && pin->IsConnected())) {
        return false;
    }
    if (category != nullptr && *category != LOOK_UPSTREAM_ONLY &&
        *category != LOOK_DOWNSTREAM_ONLY && pin->Category() != *category) {
        return false;
    }
    if (type != nullptr) {
        bool offered = false;
        for (const MediaType& t : pin->OfferedTypes()) {
            offered = offered || t.major == *type;
        }
        if (pin->IsConnected()) {
            offered = offered || pin->ConnectedType().major == *type;
        }
        if (!offered) {
            return false;
        }
    }
    return true;
}

FilterBase* AsFilter(IUnknown* unknown) {
    if (unknown == nullptr) {
        return nullptr;
    }
    IBaseFilter* filter = nullptr;
    if (FAILED(unknown->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)))) {
        return nullptr;
    }
    filter->Release();  // the caller holds the object
    return dynamic_cast<FilterBase*>(filter);
}

Pin* FirstPin(FilterBase* filter, PIN_DIRECTION direction, const GUID* category, const GUID* type,
              bool unconnected, int skip = 0) {
    if (filter == nullptr) {
        return nullptr;
    }
    for (Pin* pin : filter->pins()) {
        if (Matches(pin, direction, category, type, unconnected) && skip-- == 0) {
            return pin;
        }
    }
    return nullptr;
}

class CaptureGraphBuilder final : public ICaptureGraphBuilder2, private com::RefCounted {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_ICaptureGraphBuilder2) {
            return Offer(static_cast<ICaptureGraphBuilder2*>(this), ppv);
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    STDMETHODIMP SetFiltergraph(IGraphBuilder* pfg) override {
        if (pfg == nullptr) {
            return E_POINTER;
        }
        if (graph_) {
            return E_UNEXPECTED;  // documented: the graph is set once
        }
        graph_ = com::ComPtr<IGraphBuilder>::Share(pfg);
        return S_OK;
    }

    STDMETHODIMP GetFiltergraph(IGraphBuilder** ppfg) override {
        if (ppfg == nullptr) {
            return E_POINTER;
        }
        HRESULT hr = EnsureGraph();
        *ppfg = graph_.Get();
        if (SUCCEEDED(hr)) {
            graph_->AddRef();
        }
        return hr;
    }

    STDMETHODIMP SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                                   IFileSinkFilter** ppSink) override {
        if (pType == nullptr || lpstrFile == nullptr || ppf == nullptr) {
            return E_POINTER;
        }
        *ppf = nullptr;
        HRESULT hr = EnsureGraph();
        if (FAILED(hr)) {
            return hr;
        }
        com::ComPtr<IBaseFilter> writer;
        hr = CreateFileWriter(IID_IBaseFilter, reinterpret_cast<void**>(writer.Out()));
        com::ComPtr<IFileSinkFilter> sink;
        if (SUCCEEDED(hr)) {
            hr = writer->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(sink.Out()));
        }
        if (SUCCEEDED(hr)) {
            AM_MEDIA_TYPE mt{};
            mt.majortype = MEDIATYPE_Stream;
            mt.subtype = *pType;
            hr = sink->SetFileName(lpstrFile, &mt);
        }
        if (SUCCEEDED(hr)) {
            hr = graph_->AddFilter(writer.Get(), L"File Writer");
        }
        if (FAILED(hr)) {
            return hr;
        }
        if (ppSink != nullptr) {
            *ppSink = sink.Detach();
        }
        *ppf = writer.Detach();
        return S_OK;
    }

    STDMETHODIMP FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf,
                               REFIID riid, void** ppint) override {
        if (pf == nullptr || ppint == nullptr) {
            return E_POINTER;
        }
        *ppint = nullptr;
        const bool pins_only = pCategory != nullptr && *pCategory != LOOK_UPSTREAM_ONLY &&
                               *pCategory != LOOK_DOWNSTREAM_ONLY;
        if (!pins_only && SUCCEEDED(pf->QueryInterface(riid, ppint))) {
            return S_OK;
        }
        FilterBase* filter = AsFilter(pf);
        if (filter == nullptr) {
            return E_NOINTERFACE;
        }
        for (Pin* pin : filter->pins()) {
            if (Matches(pin, PINDIR_OUTPUT, pCategory, pType, false) &&
                SUCCEEDED(pin->QueryInterface(riid, ppint))) {
                return S_OK;
            }
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource,
                              IBaseFilter* pfCompressor, IBaseFilter* pfRenderer) override {
        if (pSource == nullptr) {
            return E_POINTER;
        }
        HRESULT hr = EnsureGraph();
        if (FAILED(hr)) {
            return hr;
        }
        IPin* source_pin = nullptr;
        com::ComPtr<IPin> held;
        if (SUCCEEDED(pSource->QueryInterface(IID_IPin, reinterpret_cast<void**>(held.Out())))) {
            source_pin = held.Get();
        } else {
            source_pin = FirstPin(AsFilter(pSource), PINDIR_OUTPUT, pCategory, pType, true);
        }
        if (source_pin == nullptr) {
            return E_FAIL;
        }
        if (pfCompressor != nullptr) {
            Pin* in = FirstPin(AsFilter(pfCompressor), PINDIR_INPUT, nullptr, nullptr, true);
            if (in == nullptr) {
                return E_FAIL;
            }
            hr = graph_->Connect(source_pin, in);
            if (FAILED(hr)) {
                return hr;
            }
            source_pin = FirstPin(AsFilter(pfCompressor), PINDIR_OUTPUT, nullptr, nullptr, true);
            if (source_pin == nullptr) {
                return E_FAIL;
            }
        }
        if (pfRenderer == nullptr) {
            return graph_->Render(source_pin);
        }
        Pin* in = FirstPin(AsFilter(pfRenderer), PINDIR_INPUT, nullptr, nullptr, true);
        if (in == nullptr) {
            return E_FAIL;
        }
        return graph_->Connect(source_pin, in);
    }

    STDMETHODIMP ControlStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter,
                               REFERENCE_TIME* pstart, REFERENCE_TIME* pstop, WORD wStartCookie,
                               WORD wStopCookie) override {
        if (pCategory == nullptr) {
            return E_POINTER;
        }
        std::vector<Pin*> pins;
        auto collect = [&](FilterBase* filter) {
            if (filter == nullptr) {
                return;
            }
            for (Pin* pin : filter->pins()) {
                if (Matches(pin, PINDIR_OUTPUT, pCategory, pType, false)) {
                    pins.push_back(pin);
                }
            }
        };
        if (pFilter != nullptr) {
            collect(AsFilter(pFilter));
        } else if (graph_) {
            com::ComPtr<IEnumFilters> filters;
            if (SUCCEEDED(graph_->EnumFilters(filters.Out()))) {
                IBaseFilter* f = nullptr;
                while (filters->Next(1, &f, nullptr) == S_OK) {
                    collect(dynamic_cast<FilterBase*>(f));
                    f->Release();
                }
            }
        }
        bool controlled = false;
        for (Pin* pin : pins) {
            com::ComPtr<IAMStreamControl> control;
            if (FAILED(pin->QueryInterface(IID_IAMStreamControl,
                                           reinterpret_cast<void**>(control.Out())))) {
                continue;
            }
            control->StartAt(pstart, wStartCookie);
            control->StopAt(pstop, FALSE, wStopCookie);
            controlled = true;
        }
        return controlled ? S_OK : E_FAIL;
    }

    STDMETHODIMP AllocCapFile(LPCOLESTR, DWORDLONG) override {
        return E_NOTIMPL;  // recordings grow as they are written
    }

    STDMETHODIMP CopyCaptureFile(LPOLESTR, LPOLESTR, int, IAMCopyCaptureFileProgress*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory,
                         const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin) override {
        if (pSource == nullptr || ppPin == nullptr) {
            return E_POINTER;
        }
        *ppPin = FirstPin(AsFilter(pSource), pindir, pCategory, pType, fUnconnected != FALSE, num);
        if (*ppPin == nullptr) {
            return E_FAIL;
        }
        (*ppPin)->AddRef();
        return S_OK;
    }

  private:
    ~CaptureGraphBuilder() override = default;

    HRESULT EnsureGraph() {
        if (graph_) {
            return S_OK;
        }
        return CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(graph_.Out()));
    }

    com::ComPtr<IGraphBuilder> graph_;
};

HRESULT CreateCaptureGraphBuilder(REFIID riid, void** ppv) {
    auto* builder = new (std::nothrow) CaptureGraphBuilder;
    if (builder == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = builder->QueryInterface(riid, ppv);
    builder->Release();
    return hr;
}

const com::ClassRegistration kCaptureGraphBuilderClass(CLSID_CaptureGraphBuilder,
                                                       CLSCTX_INPROC_SERVER,
                                                       &CreateCaptureGraphBuilder);
const com::ClassRegistration kCaptureGraphBuilder2Class(CLSID_CaptureGraphBuilder2,
                                                        CLSCTX_INPROC_SERVER,
                                                        &CreateCaptureGraphBuilder);

}  // namespace
}  // namespace tovarin::media
