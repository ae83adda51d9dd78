// The AMR-NB encoder media object ({D62BCD13-9969-4570-AD84-26F6BECA2430}, an audio encoder):
// 8000 Hz mono 16-bit PCM in, 12.2 kbit/s storage-format frames out. It keeps the input it has
// not encoded yet; a discontinuity (the end of a stream) pads the last partial frame with
// silence so that nothing heard is lost.
#include <dmo.h>
#include <dshow.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "com/class_registry.h"
#include "com/com_ptr.h"
#include "host/amr_nb.h"
#include "media/graph/media_type.h"

namespace tovarin::media {
namespace {

constexpr CLSID kClsidAmrEncoderDmo = {
    0xD62BCD13, 0x9969, 0x4570, {0xAD, 0x84, 0x26, 0xF6, 0xBE, 0xCA, 0x24, 0x30}};
constexpr REFERENCE_TIME kFrameLength = kAmrFrameMs * 10000;
// Input it holds before it asks its caller to take output first: one second.
constexpr size_t kMaxPendingSamples = 8000;

const PcmFormat kInputFormat{8000, 1, 16};

class AmrEncoderDmo final : public IMediaObject, private com::RefCounted {
  public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IMediaObject) {
            *ppv = static_cast<IMediaObject*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    STDMETHODIMP GetStreamCount(DWORD* pcInputStreams, DWORD* pcOutputStreams) override {
        if (pcInputStreams == nullptr || pcOutputStreams == nullptr) {
            return E_POINTER;
        }
        *pcInputStreams = *pcOutputStreams = 1;
        return S_OK;
    }
    STDMETHODIMP GetInputStreamInfo(DWORD index, DWORD* pdwFlags) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pdwFlags == nullptr) {
            return E_POINTER;
        }
        *pdwFlags = DMO_INPUT_STREAMF_WHOLE_SAMPLES;
        return S_OK;
    }
    STDMETHODIMP GetOutputStreamInfo(DWORD index, DWORD* pdwFlags) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pdwFlags == nullptr) {
            return E_POINTER;
        }
        *pdwFlags = DMO_OUTPUT_STREAMF_WHOLE_SAMPLES;
        return S_OK;
    }
    STDMETHODIMP GetInputType(DWORD index, DWORD type, DMO_MEDIA_TYPE* pmt) override {
        return OfferType(index, type, MediaType::Pcm(kInputFormat), pmt);
    }
    STDMETHODIMP GetOutputType(DWORD index, DWORD type, DMO_MEDIA_TYPE* pmt) override {
        return OfferType(index, type, MediaType::AmrNb(), pmt);
    }
    STDMETHODIMP SetInputType(DWORD index, const DMO_MEDIA_TYPE* pmt, DWORD flags) override {
        return SetType(index, pmt, flags, true);
    }
    STDMETHODIMP SetOutputType(DWORD index, const DMO_MEDIA_TYPE* pmt, DWORD flags) override {
        return SetType(index, pmt, flags, false);
    }
    STDMETHODIMP GetInputCurrentType(DWORD index, DMO_MEDIA_TYPE* pmt) override {
        return CurrentType(index, input_set_, MediaType::Pcm(kInputFormat), pmt);
    }
    STDMETHODIMP GetOutputCurrentType(DWORD index, DMO_MEDIA_TYPE* pmt) override {
        return CurrentType(index, output_set_, MediaType::AmrNb(), pmt);
    }
    STDMETHODIMP GetInputSizeInfo(DWORD index, DWORD* pcbSize, DWORD* pcbMaxLookahead,
                                  DWORD* pcbAlignment) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pcbSize == nullptr || pcbMaxLookahead == nullptr || pcbAlignment == nullptr) {
            return E_POINTER;
        }
        if (!input_set_) {
            return DMO_E_TYPE_NOT_SET;
        }
        *pcbSize = 2;
        *pcbMaxLookahead = 0;
        *pcbAlignment = 1;
        return S_OK;
    }
    STDMETHODIMP GetOutputSizeInfo(DWORD index, DWORD* pcbSize, DWORD* pcbAlignment) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pcbSize == nullptr || pcbAlignment == nullptr) {
            return E_POINTER;
        }
        if (!output_set_) {
            return DMO_E_TYPE_NOT_SET;
        }
        *pcbSize = kAmrMaxFrameBytes;
        *pcbAlignment = 1;
        return S_OK;
    }
    STDMETHODIMP GetInputMaxLatency(DWORD, REFERENCE_TIME*) override { return E_NOTIMPL; }
    STDMETHODIMP SetInputMaxLatency(DWORD, REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP Flush() override {
        std::lock_guard lock(mutex_);
        pending_.clear();
        head_ = 0;
        draining_ = false;
        codec_.reset();
        return S_OK;
    }
    STDMETHODIMP Discontinuity(DWORD index) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        std::lock_guard lock(mutex_);
        draining_ = true;
        return S_OK;
    }
    STDMETHODIMP AllocateStreamingResources() override {
        std::lock_guard lock(mutex_);
        if (!codec_) {
            codec_ = std::make_unique<AmrEncoder>();
        }
        return S_OK;
    }
    STDMETHODIMP FreeStreamingResources() override {
        std::lock_guard lock(mutex_);
        codec_.reset();
        return S_OK;
    }
    STDMETHODIMP GetInputStatus(DWORD index, DWORD* dwFlags) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (dwFlags == nullptr) {
            return E_POINTER;
        }
        std::lock_guard lock(mutex_);
        *dwFlags = Pending() < kMaxPendingSamples ? DMO_INPUT_STATUSF_ACCEPT_DATA : 0;
        return S_OK;
    }
    STDMETHODIMP ProcessInput(DWORD index, IMediaBuffer* pBuffer, DWORD dwFlags,
                              REFERENCE_TIME rtTimestamp, REFERENCE_TIME) override {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pBuffer == nullptr) {
            return E_POINTER;
        }
        if (!input_set_ || !output_set_) {
            return DMO_E_TYPE_NOT_SET;
        }
        std::lock_guard lock(mutex_);
        if (Pending() >= kMaxPendingSamples || draining_) {
            return DMO_E_NOTACCEPTING;
        }
        BYTE* bytes = nullptr;
        DWORD length = 0;
        HRESULT hr = pBuffer->GetBufferAndLength(&bytes, &length);
        if (FAILED(hr)) {
            return hr;
        }
        if (Pending() == 0 && (dwFlags & DMO_INPUT_DATA_BUFFERF_TIME) != 0) {
            next_time_ = rtTimestamp;
        }
        // Taken samples are dropped from the front only now and then, so that a long recording
        // moves each sample once.
        if (head_ > 0 && head_ >= pending_.size() / 2) {
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<ptrdiff_t>(head_));
            head_ = 0;
        }
        const size_t at = pending_.size();
        pending_.resize(at + length / 2);
        for (DWORD i = 0; i + 1 < length; i += 2) {
            pending_[at + i / 2] = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
        }
        return S_OK;
    }
    STDMETHODIMP ProcessOutput(DWORD, DWORD cOutputBufferCount,
                               DMO_OUTPUT_DATA_BUFFER* pOutputBuffers, DWORD* pdwStatus) override {
        if (cOutputBufferCount != 1) {
            return E_INVALIDARG;
        }
        if (pOutputBuffers == nullptr) {
            return E_POINTER;
        }
        if (pdwStatus != nullptr) {
            *pdwStatus = 0;
        }
        DMO_OUTPUT_DATA_BUFFER& out = pOutputBuffers[0];
        out.dwStatus = 0;
        if (out.pBuffer == nullptr) {
            return E_POINTER;
        }
        std::lock_guard lock(mutex_);
        if (!codec_) {
            codec_ = std::make_unique<AmrEncoder>();
        }
        BYTE* bytes = nullptr;
        DWORD length = 0;
        DWORD max_length = 0;
        out.pBuffer->GetBufferAndLength(&bytes, &length);
        out.pBuffer->GetMaxLength(&max_length);
        if (draining_ && Pending() % kAmrFrameSamples != 0) {
            pending_.resize(pending_.size() + kAmrFrameSamples - pending_.size() % kAmrFrameSamples,
                            0);
        }
        const REFERENCE_TIME first = next_time_;
        BYTE encoded[kAmrMaxFrameBytes];
        size_t frames = 0;
        while (Pending() >= kAmrFrameSamples && max_length - length >= kAmrMaxFrameBytes) {
            const size_t size = codec_->EncodeFrame(pending_.data() + head_, encoded);
            head_ += kAmrFrameSamples;
            std::copy_n(encoded, size, bytes + length);
            length += static_cast<DWORD>(size);
            ++frames;
        }
        out.pBuffer->SetLength(length);
        next_time_ += static_cast<REFERENCE_TIME>(frames) * kFrameLength;
        if (frames > 0) {
            out.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_SYNCPOINT | DMO_OUTPUT_DATA_BUFFERF_TIME |
                            DMO_OUTPUT_DATA_BUFFERF_TIMELENGTH;
            out.rtTimestamp = first;
            out.rtTimelength = static_cast<REFERENCE_TIME>(frames) * kFrameLength;
        }
        if (Pending() >= kAmrFrameSamples) {
            out.dwStatus |= DMO_OUTPUT_DATA_BUFFERF_INCOMPLETE;
        } else if (draining_ && Pending() == 0) {
            draining_ = false;
        }
        return frames > 0 ? S_OK : S_FALSE;
    }
    STDMETHODIMP Lock(LONG) override { return S_OK; }

  private:
    ~AmrEncoderDmo() override = default;

    static HRESULT OfferType(DWORD index, DWORD type, const MediaType& offered,
                             DMO_MEDIA_TYPE* pmt) {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (type != 0) {
            return DMO_E_NO_MORE_ITEMS;
        }
        if (pmt != nullptr) {
            offered.CopyTo(reinterpret_cast<AM_MEDIA_TYPE*>(pmt));
        }
        return S_OK;
    }

    HRESULT SetType(DWORD index, const DMO_MEDIA_TYPE* pmt, DWORD flags, bool input) {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        bool& set = input ? input_set_ : output_set_;
        if ((flags & DMO_SET_TYPEF_CLEAR) != 0) {
            set = false;
            return S_OK;
        }
        if (pmt == nullptr) {
            return E_POINTER;
        }
        const MediaType type = MediaType::From(*reinterpret_cast<const AM_MEDIA_TYPE*>(pmt));
        const bool ok = input ? type.Wave() == kInputFormat
                              : (type.major == MEDIATYPE_Audio && type.sub == kSubtypeAmrNb);
        if (!ok) {
            return DMO_E_TYPE_NOT_ACCEPTED;
        }
        if ((flags & DMO_SET_TYPEF_TEST_ONLY) == 0) {
            set = true;
        }
        return S_OK;
    }

    static HRESULT CurrentType(DWORD index, bool set, const MediaType& type, DMO_MEDIA_TYPE* pmt) {
        if (index != 0) {
            return DMO_E_INVALIDSTREAMINDEX;
        }
        if (pmt == nullptr) {
            return E_POINTER;
        }
        if (!set) {
            return DMO_E_TYPE_NOT_SET;
        }
        type.CopyTo(reinterpret_cast<AM_MEDIA_TYPE*>(pmt));
        return S_OK;
    }

    size_t Pending() const { return pending_.size() - head_; }

    std::mutex mutex_;
    std::unique_ptr<AmrEncoder> codec_;
    std::vector<int16_t> pending_;  // from head_ on: input not encoded yet
    size_t head_ = 0;
    REFERENCE_TIME next_time_ = 0;
    bool draining_ = false;
    bool input_set_ = false;
    bool output_set_ = false;
};

HRESULT CreateAmrEncoderDmo(REFIID riid, void** ppv) {
    auto* dmo = new (std::nothrow) AmrEncoderDmo;
    if (dmo == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = dmo->QueryInterface(riid, ppv);
    dmo->Release();
    return hr;
}

const com::ClassRegistration kAmrEncoderClass(kClsidAmrEncoderDmo, CLSCTX_INPROC_SERVER,
                                              &CreateAmrEncoderDmo);

}  // namespace
}  // namespace tovarin::media
