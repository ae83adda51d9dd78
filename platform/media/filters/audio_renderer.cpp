// The audio renderer (CLSID_AudioRender): plays PCM samples at their time on the device clock
// into the mixer of its output, which scales them by its volume. The output is the speaker unless
// its property bag names the line ("DeviceName" "Line"): a program that talks to the caller
// creates its renderer, loads that bag and adds it to the graph before rendering a file, and
// the graph then renders into it. It holds each sample until its time comes, so that it paces
// the whole graph, and reports EC_COMPLETE when the last one has been heard.
#include <dshow.h>

#include <atomic>
#include <new>

#include "com/class_registry.h"
#include "host/audio.h"
#include "media/filters/device_name.h"
#include "media/filters/playback_filters.h"
#include "media/graph/device_worker.h"
#include "media/graph/filter_base.h"
#include "media/graph/filter_roles.h"

namespace tovarin::media {
namespace {

class AudioRenderer;

class RendererInput final : public Pin {
  public:
    explicit RendererInput(AudioRenderer& renderer);
    bool Accepts(const MediaType& type) override { return type.Wave().has_value(); }
    HRESULT Receive(const Sample& sample) override;
    void ReceiveEndOfStream() override;

  private:
    AudioRenderer& renderer_;
};

// The file a graph plays: the first file source found upstream of pin.
std::wstring UpstreamFile(Pin* pin) {
    for (int hops = 0; pin != nullptr && hops < 8; ++hops) {
        Pin* upstream = pin->Peer();
        if (upstream == nullptr) {
            break;
        }
        FilterBase& filter = upstream->filter();
        IFileSourceFilter* source = nullptr;
        if (SUCCEEDED(
                filter.QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(&source)))) {
            LPOLESTR name = nullptr;
            std::wstring path;
            if (SUCCEEDED(source->GetCurFile(&name, nullptr)) && name != nullptr) {
                path = name;
                CoTaskMemFree(name);
            }
            source->Release();
            return path;
        }
        pin = nullptr;
        for (Pin* candidate : filter.pins()) {
            if (candidate->direction() == PINDIR_INPUT) {
                pin = candidate;
            }
        }
    }
    return L"(stream)";
}

class AudioRenderer final : public FilterBase, public VolumeControl, public IPersistPropertyBag {
  public:
    AudioRenderer()
        : FilterBase(CLSID_AudioRender), abort_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        AddPin(std::make_unique<RendererInput>(*this));
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return FilterBase::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FilterBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FilterBase::Release(); }
    STDMETHODIMP GetClassID(CLSID* pClassID) override { return FilterBase::GetClassID(pClassID); }

    // IPersistPropertyBag: "DeviceName" "Line" plays to the phone line; no bag (or any other
    // name) to the speaker. Taken when the renderer next starts playing.
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override {
        output_ = ReadDeviceName(pPropBag, pErrorLog) == L"Line" ? AudioOutput::Line
                                                                 : AudioOutput::Speaker;
        return S_OK;
    }
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

    bool IsRenderer() const override { return true; }
    void SetVolume(LONG volume) override {
        volume_ = volume;
        if (playback_ != 0) {
            UpdatePlayback(playback_, position_ms_, volume);
        }
    }
    LONG Volume() const override { return volume_; }
    void SetBalance(LONG balance) override { balance_ = balance; }
    LONG Balance() const override { return balance_; }

    HRESULT Render(const Sample& sample) {
        if (state() == State_Stopped || WaitForSingleObject(abort_, 0) == WAIT_OBJECT_0) {
            return VFW_E_WRONG_STATE;
        }
        if (!WaitUntil(sample.start)) {
            return VFW_E_WRONG_STATE;
        }
        const PcmFormat format = pins()[0]->ConnectedType().Wave().value_or(PcmFormat{});
        const std::vector<int16_t> samples = ToDeviceSamples(format, sample.data);
        position_ms_ = static_cast<uint64_t>(sample.start / 10000);
        UpdatePlayback(playback_, position_ms_, volume_);
        PlaySamples(playback_, samples);
        last_stop_ = sample.stop;
        return S_OK;
    }

    void EndOfStream() {
        if (state() == State_Stopped) {
            return;
        }
        // A stop at the very time the last sample ends still lets it count as heard to its end.
        if (!WaitUntil(last_stop_) && DeviceTimeNow() < stream_start() + last_stop_) {
            return;
        }
        position_ms_ = static_cast<uint64_t>(last_stop_ / 10000);
        UpdatePlayback(playback_, position_ms_, volume_);
        EndPlayback(playback_.exchange(0), PlaybackEnd::Finished);
        Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }

    void PrepareStop() override { SetEvent(abort_); }

  protected:
    ~AudioRenderer() override { CloseHandle(abort_); }

    void* QueryExtra(REFIID riid) override {
        return riid == IID_IPersistPropertyBag ? static_cast<IPersistPropertyBag*>(this) : nullptr;
    }

    HRESULT OnRun(REFERENCE_TIME) override {
        ResetEvent(abort_);
        last_stop_ = 0;
        playback_ = BeginPlayback(UpstreamFile(pins()[0]), volume_, output_);
        return S_OK;
    }
    HRESULT OnStop() override {
        SetEvent(abort_);
        if (playback_ != 0) {
            EndPlayback(playback_.exchange(0), PlaybackEnd::Stopped);
        }
        return S_OK;
    }

  private:
    // Waits until media time t on the device clock; false when the graph stops meanwhile.
    bool WaitUntil(REFERENCE_TIME t) {
        const REFERENCE_TIME due = stream_start() + t;
        const REFERENCE_TIME now = DeviceTimeNow();
        if (due <= now) {
            return WaitForSingleObject(abort_, 0) != WAIT_OBJECT_0;
        }
        const auto ms = static_cast<DWORD>((due - now + 9999) / 10000);
        return WaitForSingleObject(abort_, ms) == WAIT_TIMEOUT;
    }

    HANDLE abort_;
    std::atomic<LONG> volume_{0};
    std::atomic<LONG> balance_{0};
    std::atomic<AudioOutput> output_{AudioOutput::Speaker};
    std::atomic<int> playback_{0};
    std::atomic<uint64_t> position_ms_{0};
    REFERENCE_TIME last_stop_ = 0;
};

RendererInput::RendererInput(AudioRenderer& renderer)
    : Pin(renderer, PINDIR_INPUT, L"Audio Input pin (rendered)"), renderer_(renderer) {}

HRESULT RendererInput::Receive(const Sample& sample) {
    return renderer_.Render(sample);
}

void RendererInput::ReceiveEndOfStream() {
    renderer_.EndOfStream();
}

}  // namespace

FilterBase* NewAudioRenderer() {
    return new (std::nothrow) AudioRenderer;
}

namespace {

HRESULT CreateAudioRenderer(REFIID riid, void** ppv) {
    return com::HandOutNewObject(NewAudioRenderer(), riid, ppv);
}

const com::ClassRegistration kAudioRendererClass(CLSID_AudioRender, CLSCTX_INPROC_SERVER,
                                                 &CreateAudioRenderer);

}  // namespace
}  // namespace tovarin::media
