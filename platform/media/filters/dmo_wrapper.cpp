// The DMO wrapper filter (CLSID_DMOWrapperFilter): hosts a media object with one input and one
// output stream in a filter graph. Its pins take and offer the types the object takes and
// offers; each sample goes through ProcessInput, and ProcessOutput is called until the object has
// nothing more; the end of the stream is a discontinuity that drains the object.
#include <dmo.h>
#include <dmodshow.h>
#include <dshow.h>

#include <mutex>
#include <new>

#include "com/class_registry.h"
#include "media/filters/media_buffer.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {
namespace {

constexpr DWORD kDefaultOutputBytes = 4096;

class DmoWrapper;

class WrapperInput final : public Pin {
  public:
    explicit WrapperInput(DmoWrapper& filter);
    std::vector<MediaType> OfferedTypes() override;
    bool Accepts(const MediaType& type) override;
    HRESULT Connected(const MediaType& type) override;
    void Disconnected() override;
    HRESULT Receive(const Sample& sample) override;
    void ReceiveEndOfStream() override;

  private:
    DmoWrapper& wrapper_;
};

class WrapperOutput final : public Pin {
  public:
    explicit WrapperOutput(DmoWrapper& filter);
    std::vector<MediaType> OfferedTypes() override;
    bool Accepts(const MediaType& type) override;
    HRESULT Connected(const MediaType& type) override;
    void Disconnected() override;

  private:
    DmoWrapper& wrapper_;
};

class DmoWrapper final : public FilterBase, public IDMOWrapperFilter {
  public:
    DmoWrapper() : FilterBase(CLSID_DMOWrapperFilter) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return FilterBase::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FilterBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FilterBase::Release(); }

    STDMETHODIMP Init(REFCLSID clsidDMO, REFCLSID) override {
        if (dmo_) {
            return E_UNEXPECTED;  // a wrapper hosts one object
        }
        HRESULT hr = CoCreateInstance(clsidDMO, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                                      reinterpret_cast<void**>(dmo_.Out()));
        if (FAILED(hr)) {
            return hr;
        }
        DWORD inputs = 0;
        DWORD outputs = 0;
        if (FAILED(dmo_->GetStreamCount(&inputs, &outputs)) || inputs != 1 || outputs != 1) {
            dmo_.Reset();
            return E_NOTIMPL;  // only one-in, one-out objects are hosted
        }
        AddPin(std::make_unique<WrapperInput>(*this));
        AddPin(std::make_unique<WrapperOutput>(*this));
        return S_OK;
    }

    IMediaObject* dmo() const { return dmo_.Get(); }

    std::vector<MediaType> Types(bool input) {
        std::vector<MediaType> types;
        for (DWORD i = 0;; ++i) {
            DMO_MEDIA_TYPE mt{};
            HRESULT hr = input ? dmo_->GetInputType(0, i, &mt) : dmo_->GetOutputType(0, i, &mt);
            if (hr != S_OK) {
                break;
            }
            types.push_back(MediaType::From(*reinterpret_cast<AM_MEDIA_TYPE*>(&mt)));
            MoFreeMediaType(&mt);
        }
        return types;
    }

    HRESULT SetType(bool input, const MediaType* type, DWORD flags) {
        AM_MEDIA_TYPE am{};
        if (type != nullptr) {
            type->CopyTo(&am);
        }
        auto* mt = type != nullptr ? reinterpret_cast<DMO_MEDIA_TYPE*>(&am) : nullptr;
        HRESULT hr = input ? dmo_->SetInputType(0, mt, flags) : dmo_->SetOutputType(0, mt, flags);
        FreeMediaType(am);
        return hr;
    }

    HRESULT Process(const Sample& sample) {
        std::lock_guard lock(stream_mutex_);
        if (state() == State_Stopped) {
            return VFW_E_WRONG_STATE;
        }
        com::ComPtr<MediaBuffer> in =
            com::ComPtr<MediaBuffer>::Adopt(new (std::nothrow) MediaBuffer(
                static_cast<DWORD>(sample.data.size()), static_cast<DWORD>(sample.data.size())));
        if (!in) {
            return E_OUTOFMEMORY;
        }
        std::copy(sample.data.begin(), sample.data.end(), in->data());
        HRESULT hr = dmo_->ProcessInput(
            0, in.Get(), DMO_INPUT_DATA_BUFFERF_TIME | DMO_INPUT_DATA_BUFFERF_TIMELENGTH,
            sample.start, sample.stop - sample.start);
        if (hr == DMO_E_NOTACCEPTING) {
            // The object wants its output taken first.
            hr = Drain();
            if (SUCCEEDED(hr)) {
                hr = dmo_->ProcessInput(0, in.Get(), DMO_INPUT_DATA_BUFFERF_TIME, sample.start, 0);
            }
        }
        if (FAILED(hr)) {
            return hr;
        }
        return Drain();
    }

    void EndOfStream() {
        {
            std::lock_guard lock(stream_mutex_);
            if (state() == State_Stopped) {
                return;
            }
            dmo_->Discontinuity(0);
            Drain();
        }
        pins()[1]->DeliverEndOfStream();
    }

  protected:
    ~DmoWrapper() override = default;
    void* QueryExtra(REFIID riid) override {
        return riid == IID_IDMOWrapperFilter ? static_cast<IDMOWrapperFilter*>(this) : nullptr;
    }
    HRESULT OnPause(FILTER_STATE from) override {
        if (!dmo_) {
            return E_UNEXPECTED;
        }
        if (from == State_Stopped) {
            dmo_->AllocateStreamingResources();
        }
        return S_OK;
    }
    HRESULT OnStop() override {
        std::lock_guard lock(stream_mutex_);
        dmo_->Flush();
        dmo_->FreeStreamingResources();
        return S_OK;
    }

  private:
    // Takes every output the object has and delivers it.
    HRESULT Drain() {
        DWORD size = 0;
        DWORD alignment = 0;
        if (FAILED(dmo_->GetOutputSizeInfo(0, &size, &alignment)) || size < kDefaultOutputBytes) {
            size = std::max<DWORD>(size, kDefaultOutputBytes);
        }
        for (;;) {
            com::ComPtr<MediaBuffer> out =
                com::ComPtr<MediaBuffer>::Adopt(new (std::nothrow) MediaBuffer(size, 0));
            if (!out) {
                return E_OUTOFMEMORY;
            }
            DMO_OUTPUT_DATA_BUFFER buffer{out.Get(), 0, 0, 0};
            DWORD status = 0;
            HRESULT hr = dmo_->ProcessOutput(0, 1, &buffer, &status);
            if (FAILED(hr)) {
                return hr;
            }
            if (out->length() > 0) {
                Sample sample;
                sample.data.assign(out->data(), out->data() + out->length());
                sample.start = buffer.rtTimestamp;
                sample.stop = buffer.rtTimestamp + buffer.rtTimelength;
                HRESULT delivered = pins()[1]->Deliver(sample);
                if (FAILED(delivered)) {
                    return delivered;
                }
            }
            if (hr == S_FALSE || (buffer.dwStatus & DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE) == 0) {
                return S_OK;
            }
        }
    }

    com::ComPtr<IMediaObject> dmo_;
    std::mutex stream_mutex_;
};

WrapperInput::WrapperInput(DmoWrapper& filter)
    : Pin(filter, PINDIR_INPUT, L"in0"), wrapper_(filter) {}

std::vector<MediaType> WrapperInput::OfferedTypes() {
    return wrapper_.Types(true);
}

bool WrapperInput::Accepts(const MediaType& type) {
    return wrapper_.SetType(true, &type, DMO_SET_TYPEF_TEST_ONLY) == S_OK;
}

HRESULT WrapperInput::Connected(const MediaType& type) {
    return wrapper_.SetType(true, &type, 0);
}

void WrapperInput::Disconnected() {
    wrapper_.SetType(true, nullptr, DMO_SET_TYPEF_CLEAR);
}

HRESULT WrapperInput::Receive(const Sample& sample) {
    return wrapper_.Process(sample);
}

void WrapperInput::ReceiveEndOfStream() {
    wrapper_.EndOfStream();
}

WrapperOutput::WrapperOutput(DmoWrapper& filter)
    : Pin(filter, PINDIR_OUTPUT, L"out0"), wrapper_(filter) {}

std::vector<MediaType> WrapperOutput::OfferedTypes() {
    return wrapper_.Types(false);
}

bool WrapperOutput::Accepts(const MediaType& type) {
    return wrapper_.SetType(false, &type, DMO_SET_TYPEF_TEST_ONLY) == S_OK;
}

HRESULT WrapperOutput::Connected(const MediaType& type) {
    return wrapper_.SetType(false, &type, 0);
}

void WrapperOutput::Disconnected() {
    wrapper_.SetType(false, nullptr, DMO_SET_TYPEF_CLEAR);
}

HRESULT CreateDmoWrapper(REFIID riid, void** ppv) {
    auto* filter = new (std::nothrow) DmoWrapper;
    if (filter == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = filter->QueryInterface(riid, ppv);
    filter->Release();
    return hr;
}

const com::ClassRegistration kDmoWrapperClass(CLSID_DMOWrapperFilter, CLSCTX_INPROC_SERVER,
                                              &CreateDmoWrapper);

}  // namespace
}  // namespace tovarin::media
