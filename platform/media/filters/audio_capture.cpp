// The audio capture filter (CLSID_AudioRecord): one capture pin that delivers what the
// microphone (or, when its property bag names it, the phone line) hears, in 100 ms samples at
// the pace of the device clock, in the format set through IAMStreamConfig. IAMStreamControl on
// the pin starts and stops the stream at given stream times; when a stop time ends a flowing
// stream, the pin reports EC_STREAM_CONTROL_STOPPED with its cookie and ends the stream
// downstream, so that the file being written is complete. A graph stopped while the stream
// flows ends it the same way.
#include <dshow.h>

#include <cstring>
#include <mutex>
#include <new>
#include <optional>

#include "com/class_registry.h"
#include "host/audio.h"
#include "media/filters/device_name.h"
#include "media/graph/device_worker.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {
namespace {

constexpr uint32_t kChunkMs = 100;
constexpr REFERENCE_TIME kChunk = kChunkMs * 10000;

class AudioCapture;

class CapturePin final : public Pin, public IAMStreamConfig, public IAMStreamControl {
  public:
    explicit CapturePin(AudioCapture& filter);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return Pin::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return Pin::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Pin::Release(); }

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** ppmt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* piCount, int* piSize) override;
    STDMETHODIMP GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) override;
    // IAMStreamControl
    STDMETHODIMP StartAt(const REFERENCE_TIME* ptStart, DWORD dwCookie) override;
    STDMETHODIMP StopAt(const REFERENCE_TIME* ptStop, BOOL bSendExtra, DWORD dwCookie) override;
    STDMETHODIMP GetInfo(AM_STREAM_INFO* pInfo) override;

    std::vector<MediaType> OfferedTypes() override;
    bool Accepts(const MediaType& type) override;
    GUID Category() const override { return PIN_CATEGORY_CAPTURE; }

    std::optional<PcmFormat> format() const {
        std::lock_guard lock(mutex_);
        return format_;
    }
    // Whether the chunk that starts at t flows, and whether a stop time has just ended a flowing
    // stream (then *cookie is its stop cookie).
    bool Flows(REFERENCE_TIME t, bool* ended, DWORD* cookie);
    void Reset();

  protected:
    void* QueryExtra(REFIID riid) override;

  private:
    REFERENCE_TIME StreamNow();

    mutable std::mutex mutex_;
    std::optional<PcmFormat> format_;
    std::optional<REFERENCE_TIME> start_at_;  // none: flows from the start
    bool start_cancelled_ = false;
    std::optional<REFERENCE_TIME> stop_at_;
    DWORD start_cookie_ = 0;
    DWORD stop_cookie_ = 0;
    bool flowing_ = false;
};

// {E30629D2-27E5-11CE-875D-00608CB78066}
class AudioCapture final : public FilterBase, public IPersistPropertyBag {
  public:
    AudioCapture() : FilterBase(CLSID_AudioRecord) { AddPin(std::make_unique<CapturePin>(*this)); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return FilterBase::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FilterBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FilterBase::Release(); }
    STDMETHODIMP GetClassID(CLSID* pClassID) override { return FilterBase::GetClassID(pClassID); }

    // IPersistPropertyBag: "DeviceName" "Line" records the caller's voice on the phone line,
    // "Call" the whole call (the caller and what the phone sends to the line); no bag (or any
    // other name) the microphone.
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override {
        const std::wstring name = ReadDeviceName(pPropBag, pErrorLog);
        input_ = name == L"Line"   ? AudioInput::Line
                 : name == L"Call" ? AudioInput::Call
                                   : AudioInput::Microphone;
        return S_OK;
    }
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

    CapturePin& pin() { return *static_cast<CapturePin*>(pins()[0]); }

    void PrepareStop() override { SetEvent(worker_.stop_event()); }

  protected:
    void* QueryExtra(REFIID riid) override {
        return (riid == IID_IPersistPropertyBag) ? static_cast<IPersistPropertyBag*>(this)
                                                 : nullptr;
    }
    HRESULT OnRun(REFERENCE_TIME) override {
        return worker_.Start([this](DeviceWorker& worker) { Stream(worker); }) ? S_OK : E_FAIL;
    }
    HRESULT OnStop() override {
        worker_.Stop();
        pin().Reset();
        return S_OK;
    }

  private:
    void Stream(DeviceWorker& worker) {
        const std::optional<PcmFormat> format = pin().format();
        if (!format) {
            return;
        }
        std::vector<int16_t> heard(kChunkMs * 8);
        bool flowed = false;
        bool ended = false;
        for (REFERENCE_TIME t = 0;; t += kChunk) {
            // A chunk is there once it has been heard.
            const REFERENCE_TIME due = stream_start() + t + kChunk;
            const REFERENCE_TIME now = DeviceTimeNow();
            const auto wait = static_cast<uint32_t>(due > now ? (due - now + 9999) / 10000 : 0);
            // Asked to stop: what was fully heard by now still goes out, so that where a
            // recording ends depends on the device time only, not on which thread ran first.
            if (!worker.Sleep(wait) && due > DeviceTimeNow()) {
                break;
            }
            const bool last = worker.StopRequested();
            ReadInput(input_, heard);
            bool stopped_now = false;
            DWORD cookie = 0;
            if (!pin().Flows(t, &stopped_now, &cookie)) {
                if (last) {
                    break;
                }
                if (stopped_now && !ended) {
                    ended = true;
                    Notify(EC_STREAM_CONTROL_STOPPED,
                           reinterpret_cast<LONG_PTR>(static_cast<IPin*>(&pin())),
                           static_cast<LONG_PTR>(cookie));
                    pin().DeliverEndOfStream();
                }
                continue;
            }
            flowed = true;
            ended = false;
            Sample sample;
            sample.start = t;
            sample.stop = t + kChunk;
            sample.data = FromDeviceSamples(*format, heard);
            pin().Deliver(sample);
            if (last) {
                break;
            }
        }
        if (flowed && !ended) {
            pin().DeliverEndOfStream();
        }
    }

    AudioInput input_ = AudioInput::Microphone;
    DeviceWorker worker_;
};

CapturePin::CapturePin(AudioCapture& filter) : Pin(filter, PINDIR_OUTPUT, L"Capture") {
    const std::vector<PcmFormat> formats = CaptureFormats();
    if (!formats.empty()) {
        format_ = formats.front();
    }
}

void* CapturePin::QueryExtra(REFIID riid) {
    if (riid == IID_IAMStreamConfig) {
        return static_cast<IAMStreamConfig*>(this);
    }
    if (riid == IID_IAMStreamControl) {
        return static_cast<IAMStreamControl*>(this);
    }
    return nullptr;
}

std::vector<MediaType> CapturePin::OfferedTypes() {
    std::optional<PcmFormat> f = format();
    if (!f) {
        return {};
    }
    return {MediaType::Pcm(*f)};
}

bool CapturePin::Accepts(const MediaType& type) {
    std::optional<PcmFormat> f = format();
    return f && type.Wave() == f;
}

// The hardware takes 8000 to 48000 Hz, one or two channels, 8 or 16 bits, whatever its
// capability list leads with.
STDMETHODIMP CapturePin::SetFormat(AM_MEDIA_TYPE* pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    if (filter().state() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    if (IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (CaptureFormats().empty()) {
        return E_FAIL;  // no capture hardware
    }
    const std::optional<PcmFormat> wanted = MediaType::From(*pmt).Wave();
    if (!wanted || wanted->rate < 8000 || wanted->rate > 48000 || wanted->channels > 2) {
        return VFW_E_INVALIDMEDIATYPE;
    }
    std::lock_guard lock(mutex_);
    format_ = wanted;
    return S_OK;
}

STDMETHODIMP CapturePin::GetFormat(AM_MEDIA_TYPE** ppmt) {
    if (ppmt == nullptr) {
        return E_POINTER;
    }
    std::optional<PcmFormat> f = format();
    *ppmt = f ? MediaType::Pcm(*f).NewTaskMemory() : nullptr;
    if (!f) {
        return E_FAIL;
    }
    return *ppmt != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CapturePin::GetNumberOfCapabilities(int* piCount, int* piSize) {
    if (piCount == nullptr || piSize == nullptr) {
        return E_POINTER;
    }
    *piCount = static_cast<int>(CaptureFormats().size());
    *piSize = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP CapturePin::GetStreamCaps(int iIndex, AM_MEDIA_TYPE** ppmt, BYTE* pSCC) {
    if (ppmt == nullptr || pSCC == nullptr) {
        return E_POINTER;
    }
    *ppmt = nullptr;
    const std::vector<PcmFormat> formats = CaptureFormats();
    if (iIndex < 0 || static_cast<size_t>(iIndex) >= formats.size()) {
        return S_FALSE;
    }
    const PcmFormat& f = formats[static_cast<size_t>(iIndex)];
    *ppmt = MediaType::Pcm(f).NewTaskMemory();
    if (*ppmt == nullptr) {
        return E_OUTOFMEMORY;
    }
    AUDIO_STREAM_CONFIG_CAPS caps{};
    caps.guid = MEDIATYPE_Audio;
    caps.MinimumChannels = 1;
    caps.MaximumChannels = f.channels;
    caps.ChannelsGranularity = 1;
    caps.MinimumBitsPerSample = 8;
    caps.MaximumBitsPerSample = f.bits;
    caps.BitsPerSampleGranularity = 8;
    caps.MinimumSampleFrequency = 8000;
    caps.MaximumSampleFrequency = f.rate;
    caps.SampleFrequencyGranularity = 1;
    std::memcpy(pSCC, &caps, sizeof(caps));
    return S_OK;
}

REFERENCE_TIME CapturePin::StreamNow() {
    return filter().state() == State_Running ? DeviceTimeNow() - filter().stream_start() : 0;
}

STDMETHODIMP CapturePin::StartAt(const REFERENCE_TIME* ptStart, DWORD dwCookie) {
    std::lock_guard lock(mutex_);
    start_cookie_ = dwCookie;
    if (ptStart != nullptr && *ptStart == MAXLONGLONG) {
        start_cancelled_ = true;
        start_at_.reset();
        return S_OK;
    }
    start_cancelled_ = false;
    start_at_ = ptStart != nullptr ? *ptStart : StreamNow();
    return S_OK;
}

STDMETHODIMP CapturePin::StopAt(const REFERENCE_TIME* ptStop, BOOL, DWORD dwCookie) {
    std::lock_guard lock(mutex_);
    stop_cookie_ = dwCookie;
    if (ptStop != nullptr && *ptStop == MAXLONGLONG) {
        stop_at_.reset();
        return S_OK;
    }
    stop_at_ = ptStop != nullptr ? *ptStop : StreamNow();
    return S_OK;
}

STDMETHODIMP CapturePin::GetInfo(AM_STREAM_INFO* pInfo) {
    if (pInfo == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    *pInfo = {};
    if (start_at_) {
        pInfo->tStart = *start_at_;
        pInfo->dwFlags |= AM_STREAM_INFO_START_DEFINED;
    }
    if (stop_at_) {
        pInfo->tStop = *stop_at_;
        pInfo->dwFlags |= AM_STREAM_INFO_STOP_DEFINED;
    }
    pInfo->dwStartCookie = start_cookie_;
    pInfo->dwStopCookie = stop_cookie_;
    if (!flowing_) {
        pInfo->dwFlags |= AM_STREAM_INFO_DISCARDING;
    }
    return S_OK;
}

bool CapturePin::Flows(REFERENCE_TIME t, bool* ended, DWORD* cookie) {
    std::lock_guard lock(mutex_);
    const bool started = !start_cancelled_ && (!start_at_ || t >= *start_at_);
    const bool stopped = stop_at_ && t >= *stop_at_ && !CaptureIgnoresStop();
    const bool flows = started && !stopped;
    *ended = flowing_ && !flows && stopped;
    *cookie = stop_cookie_;
    flowing_ = flows;
    return flows;
}

void CapturePin::Reset() {
    std::lock_guard lock(mutex_);
    flowing_ = false;
}

HRESULT CreateAudioCapture(REFIID riid, void** ppv) {
    return com::HandOutNewObject(new (std::nothrow) AudioCapture, riid, ppv);
}

const com::ClassRegistration kAudioCaptureClass(CLSID_AudioRecord, CLSCTX_INPROC_SERVER,
                                                &CreateAudioCapture);

}  // namespace
}  // namespace tovarin::media
