// The source of a played file: reads an AMR-NB or a PCM WAVE file whole and delivers it from its
// play range in 100 ms samples, as fast as the filters below take them (the renderer paces).
#include <dshow.h>

#include <algorithm>
#include <new>

#include "host/amr_nb.h"
#include "host/wave_file.h"
#include "media/audio/media_trace.h"
#include "media/filters/playback_filters.h"
#include "media/graph/device_worker.h"
#include "media/graph/filter_base.h"
#include "media/graph/filter_roles.h"

namespace tovarin::media {
namespace {

constexpr REFERENCE_TIME kSampleLength = 100 * 10000;  // 100 ms
constexpr REFERENCE_TIME kFrameLength = kAmrFrameMs * 10000;

// {6B0F1C52-33A1-4D0B-8E47-2C1A9D5E7F30}: the platform's file source.
constexpr CLSID kClsidFileSource = {
    0x6B0F1C52, 0x33A1, 0x4D0B, {0x8E, 0x47, 0x2C, 0x1A, 0x9D, 0x5E, 0x7F, 0x30}};

std::optional<std::vector<uint8_t>> ReadDeviceFile(LPCWSTR path, HRESULT* error) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error = HRESULT_FROM_WIN32(GetLastError());
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    uint8_t block[16384];
    DWORD read = 0;
    while (ReadFile(file, block, sizeof(block), &read, nullptr) && read > 0) {
        bytes.insert(bytes.end(), block, block + read);
    }
    CloseHandle(file);
    return bytes;
}

class FileSource;

class SourcePin final : public Pin {
  public:
    SourcePin(FilterBase& filter, FileSource& source)
        : Pin(filter, PINDIR_OUTPUT, L"Output"), source_(source) {}
    std::vector<MediaType> OfferedTypes() override;
    bool Accepts(const MediaType& type) override;

  private:
    FileSource& source_;
};

class FileSource final : public FilterBase, public IFileSourceFilter, public SeekableSource {
  public:
    FileSource() : FilterBase(kClsidFileSource) {
        AddPin(std::make_unique<SourcePin>(*this, *this));
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return FilterBase::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FilterBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FilterBase::Release(); }

    STDMETHODIMP Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) override {
        if (pszFileName == nullptr) {
            return E_POINTER;
        }
        if (!path_.empty()) {
            return E_UNEXPECTED;  // a source reads one file
        }
        HRESULT error = S_OK;
        std::optional<std::vector<uint8_t>> bytes = ReadDeviceFile(pszFileName, &error);
        if (!bytes) {
            return error;
        }
        size_t left_out = 0;
        if (auto frames = SplitAmrFrames(*bytes, &left_out)) {
            if (left_out > 0) {
                TraceLine(std::wstring(L"AMR: ") + pszFileName + L" ends in " +
                          std::to_wstring(left_out) +
                          L" bytes that are no whole frame; they are left out");
            }
            if (frames->empty()) {
                return VFW_E_FILE_TOO_SHORT;
            }
            for (const auto& frame : *frames) {
                frames_.emplace_back(frame.begin(), frame.end());
            }
            type_ = MediaType::AmrNb();
            duration_ = static_cast<REFERENCE_TIME>(frames_.size()) * kFrameLength;
        } else if (auto wave = ParseWave(*bytes)) {
            pcm_ = std::move(wave->data);
            format_ = wave->format;
            type_ = MediaType::Pcm(format_);
            duration_ = static_cast<REFERENCE_TIME>(pcm_.size() / format_.BlockAlign()) * 10000000 /
                        format_.rate;
        } else {
            return VFW_E_UNKNOWN_FILE_TYPE;
        }
        path_ = pszFileName;
        range_stop_ = duration_;
        return S_OK;
    }

    STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override {
        if (ppszFileName == nullptr) {
            return E_POINTER;
        }
        *ppszFileName = nullptr;
        if (path_.empty()) {
            return E_FAIL;
        }
        *ppszFileName = TaskMemoryString(path_);
        if (pmt != nullptr) {
            type_.CopyTo(pmt);
        }
        return S_OK;
    }

    REFERENCE_TIME Duration() const override { return duration_; }
    void SetPlayRange(REFERENCE_TIME start, REFERENCE_TIME stop) override {
        range_start_ = std::clamp<REFERENCE_TIME>(start, 0, duration_);
        range_stop_ = std::clamp<REFERENCE_TIME>(stop, range_start_, duration_);
    }

    const MediaType& type() const { return type_; }
    bool loaded() const { return !path_.empty(); }

  protected:
    void* QueryExtra(REFIID riid) override {
        return riid == IID_IFileSourceFilter ? static_cast<IFileSourceFilter*>(this) : nullptr;
    }
    HRESULT OnRun(REFERENCE_TIME) override {
        return worker_.Start([this](DeviceWorker& worker) { Stream(worker); }) ? S_OK : E_FAIL;
    }
    HRESULT OnStop() override {
        worker_.Stop();
        return S_OK;
    }

  private:
    void Stream(DeviceWorker& worker) {
        Pin* out = pins()[0];
        for (REFERENCE_TIME at = range_start_; at < range_stop_; at += kSampleLength) {
            if (worker.StopRequested()) {
                return;
            }
            Sample sample = Cut(at, std::min(at + kSampleLength, range_stop_));
            if (FAILED(out->Deliver(sample))) {
                return;  // stopping
            }
        }
        out->DeliverEndOfStream();
    }

    Sample Cut(REFERENCE_TIME from, REFERENCE_TIME to) const {
        Sample sample;
        sample.start = from;
        sample.stop = to;
        if (!frames_.empty()) {
            for (auto i = static_cast<size_t>(from / kFrameLength);
                 i < frames_.size() && static_cast<REFERENCE_TIME>(i) * kFrameLength < to; ++i) {
                sample.data.insert(sample.data.end(), frames_[i].begin(), frames_[i].end());
            }
        } else {
            const size_t block = format_.BlockAlign();
            auto offset = [&](REFERENCE_TIME t) {
                return std::min(pcm_.size(),
                                static_cast<size_t>(t * format_.rate / 10000000) * block);
            };
            sample.data.assign(pcm_.begin() + static_cast<ptrdiff_t>(offset(from)),
                               pcm_.begin() + static_cast<ptrdiff_t>(offset(to)));
        }
        return sample;
    }

    std::wstring path_;
    MediaType type_;
    std::vector<std::vector<uint8_t>> frames_;  // AMR-NB
    std::vector<uint8_t> pcm_;                  // WAVE
    PcmFormat format_;
    REFERENCE_TIME duration_ = 0;
    REFERENCE_TIME range_start_ = 0;
    REFERENCE_TIME range_stop_ = 0;
    DeviceWorker worker_;
};

std::vector<MediaType> SourcePin::OfferedTypes() {
    if (!source_.loaded()) {
        return {};
    }
    return {source_.type()};
}

bool SourcePin::Accepts(const MediaType& type) {
    return source_.loaded() && type.major == source_.type().major && type.sub == source_.type().sub;
}

}  // namespace

FilterBase* NewFileSource() {
    return new (std::nothrow) FileSource;
}

}  // namespace tovarin::media
