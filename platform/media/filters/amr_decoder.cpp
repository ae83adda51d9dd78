// The AMR-NB decoder filter: storage-format frames in, 8000 Hz mono 16-bit PCM out, sample for
// sample with the same times.
#include <dshow.h>

#include <memory>
#include <new>

#include "host/amr_nb.h"
#include "media/filters/playback_filters.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {
namespace {

// {1F6A2B9C-5D3E-4A71-B0C8-7E2D4F6A8B13}: the platform's AMR-NB decoder.
constexpr CLSID kClsidAmrDecoder = {
    0x1F6A2B9C, 0x5D3E, 0x4A71, {0xB0, 0xC8, 0x7E, 0x2D, 0x4F, 0x6A, 0x8B, 0x13}};

const MediaType& PcmOut() {
    static const MediaType type = MediaType::Pcm({8000, 1, 16});
    return type;
}

class AmrDecoderFilter;

class DecoderInput final : public Pin {
  public:
    explicit DecoderInput(AmrDecoderFilter& filter);
    bool Accepts(const MediaType& type) override {
        return type.major == MEDIATYPE_Audio && type.sub == kSubtypeAmrNb;
    }
    HRESULT Receive(const Sample& sample) override;
    void ReceiveEndOfStream() override;

  private:
    AmrDecoderFilter& decoder_;
};

class DecoderOutput final : public Pin {
  public:
    explicit DecoderOutput(FilterBase& filter) : Pin(filter, PINDIR_OUTPUT, L"Output") {}
    std::vector<MediaType> OfferedTypes() override { return {PcmOut()}; }
    bool Accepts(const MediaType& type) override {
        return type.Wave().has_value() && *type.Wave() == PcmFormat{8000, 1, 16};
    }
};

class AmrDecoderFilter final : public FilterBase {
  public:
    AmrDecoderFilter() : FilterBase(kClsidAmrDecoder) {
        AddPin(std::make_unique<DecoderInput>(*this));
        AddPin(std::make_unique<DecoderOutput>(*this));
    }

    HRESULT Decode(const Sample& in) {
        if (state() == State_Stopped || !codec_) {
            return VFW_E_WRONG_STATE;
        }
        const auto frames = SplitAmrFrames(WithHeader(in.data));
        Sample out;
        out.start = in.start;
        out.stop = in.stop;
        out.data.resize(frames->size() * kAmrFrameSamples * 2);
        auto* pcm = reinterpret_cast<int16_t*>(out.data.data());
        for (size_t i = 0; i < frames->size(); ++i) {
            codec_->DecodeFrame((*frames)[i], pcm + i * kAmrFrameSamples);
        }
        return pins()[1]->Deliver(out);
    }
    void EndOfStream() { pins()[1]->DeliverEndOfStream(); }

  protected:
    HRESULT OnPause(FILTER_STATE from) override {
        if (from == State_Stopped) {
            codec_ = std::make_unique<AmrDecoder>();
        }
        return S_OK;
    }
    HRESULT OnStop() override {
        codec_.reset();
        return S_OK;
    }

  private:
    const std::vector<uint8_t>& WithHeader(const std::vector<uint8_t>& frames) {
        scratch_.assign(kAmrHeader.begin(), kAmrHeader.end());
        scratch_.insert(scratch_.end(), frames.begin(), frames.end());
        return scratch_;
    }

    std::unique_ptr<AmrDecoder> codec_;
    std::vector<uint8_t> scratch_;
};

DecoderInput::DecoderInput(AmrDecoderFilter& filter)
    : Pin(filter, PINDIR_INPUT, L"Input"), decoder_(filter) {}

HRESULT DecoderInput::Receive(const Sample& sample) {
    return decoder_.Decode(sample);
}

void DecoderInput::ReceiveEndOfStream() {
    decoder_.EndOfStream();
}

}  // namespace

FilterBase* NewAmrDecoder() {
    return new (std::nothrow) AmrDecoderFilter;
}

}  // namespace tovarin::media
