// The file writer ({36A5F770-FE4C-11CE-A8ED-00AA002FEAB5}) of the device's AMR-NB recordings:
// takes storage-format frames and writes the AMR-NB file format, "#!AMR\n" and the frames, to
// the file named through IFileSinkFilter2. The file is made afresh when the graph starts and
// closed when it stops; every sample is written whole, so a graph torn down mid-stream leaves
// whole frames only. It is a renderer: the end of its stream is EC_COMPLETE.
#include <dshow.h>

#include <mutex>
#include <new>

#include "com/class_registry.h"
#include "host/amr_nb.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {
namespace {

constexpr CLSID kClsidAmrFileWriter = {
    0x36A5F770, 0xFE4C, 0x11CE, {0xA8, 0xED, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};

class AmrFileWriter;

class WriterInput final : public Pin {
  public:
    explicit WriterInput(AmrFileWriter& writer);
    bool Accepts(const MediaType& type) override {
        return type.major == MEDIATYPE_Audio && type.sub == kSubtypeAmrNb;
    }
    HRESULT Receive(const Sample& sample) override;
    void ReceiveEndOfStream() override;

  private:
    AmrFileWriter& writer_;
};

class AmrFileWriter final : public FilterBase, public IFileSinkFilter2 {
  public:
    AmrFileWriter() : FilterBase(kClsidAmrFileWriter) {
        AddPin(std::make_unique<WriterInput>(*this));
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        return FilterBase::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return FilterBase::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return FilterBase::Release(); }

    STDMETHODIMP SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override {
        if (pszFileName == nullptr) {
            return E_POINTER;
        }
        if (pszFileName[0] == L'\0' || wcslen(pszFileName) >= MAX_PATH) {
            return E_INVALIDARG;
        }
        std::lock_guard lock(mutex_);
        if (file_ != INVALID_HANDLE_VALUE) {
            return VFW_E_NOT_STOPPED;
        }
        path_ = pszFileName;
        type_ = pmt != nullptr ? MediaType::From(*pmt) : MediaType();
        return S_OK;
    }
    STDMETHODIMP GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override {
        if (ppszFileName == nullptr) {
            return E_POINTER;
        }
        std::lock_guard lock(mutex_);
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
    STDMETHODIMP SetMode(DWORD dwFlags) override {
        if ((dwFlags & ~static_cast<DWORD>(AM_FILE_OVERWRITE)) != 0) {
            return E_INVALIDARG;
        }
        mode_ = dwFlags;
        return S_OK;
    }
    STDMETHODIMP GetMode(DWORD* pdwFlags) override {
        if (pdwFlags == nullptr) {
            return E_POINTER;
        }
        *pdwFlags = mode_;
        return S_OK;
    }

    bool IsRenderer() const override { return true; }

    HRESULT Write(const Sample& sample) {
        std::lock_guard lock(mutex_);
        if (file_ == INVALID_HANDLE_VALUE) {
            return VFW_E_WRONG_STATE;
        }
        // Whole frames only: a sample that ends in a partial frame loses that frame.
        size_t whole = 0;
        while (whole < sample.data.size()) {
            const std::optional<size_t> size = AmrFrameSize(sample.data[whole]);
            if (!size || whole + *size > sample.data.size()) {
                break;
            }
            whole += *size;
        }
        return WriteAll(sample.data.data(), whole) ? S_OK : E_FAIL;
    }

    void EndOfStream() {
        {
            std::lock_guard lock(mutex_);
            if (file_ == INVALID_HANDLE_VALUE || ended_) {
                return;
            }
            ended_ = true;
            FlushFileBuffers(file_);
        }
        Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    }

  protected:
    ~AmrFileWriter() override { Close(); }
    void* QueryExtra(REFIID riid) override {
        return (riid == IID_IFileSinkFilter || riid == IID_IFileSinkFilter2)
                   ? static_cast<IFileSinkFilter2*>(this)
                   : nullptr;
    }
    HRESULT OnPause(FILTER_STATE from) override {
        if (from != State_Stopped) {
            return S_OK;
        }
        std::lock_guard lock(mutex_);
        if (path_.empty()) {
            return E_FAIL;
        }
        file_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        ended_ = false;
        if (!WriteAll(reinterpret_cast<const uint8_t*>(kAmrHeader.data()), kAmrHeader.size())) {
            CloseLocked();
            return E_FAIL;
        }
        return S_OK;
    }
    HRESULT OnStop() override {
        Close();
        return S_OK;
    }

  private:
    bool WriteAll(const uint8_t* data, size_t size) {
        DWORD written = 0;
        return size == 0 || (WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) &&
                             written == size);
    }
    void Close() {
        std::lock_guard lock(mutex_);
        CloseLocked();
    }
    void CloseLocked() {
        if (file_ != INVALID_HANDLE_VALUE) {
            CloseHandle(file_);
            file_ = INVALID_HANDLE_VALUE;
        }
    }

    std::mutex mutex_;
    std::wstring path_;
    MediaType type_;
    DWORD mode_ = 0;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    bool ended_ = false;
};

WriterInput::WriterInput(AmrFileWriter& writer)
    : Pin(writer, PINDIR_INPUT, L"in"), writer_(writer) {}

HRESULT WriterInput::Receive(const Sample& sample) {
    return writer_.Write(sample);
}

void WriterInput::ReceiveEndOfStream() {
    writer_.EndOfStream();
}

HRESULT CreateAmrFileWriter(REFIID riid, void** ppv) {
    auto* filter = new (std::nothrow) AmrFileWriter;
    if (filter == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT hr = filter->QueryInterface(riid, ppv);
    filter->Release();
    return hr;
}

const com::ClassRegistration kAmrFileWriterClass(kClsidAmrFileWriter, CLSCTX_INPROC_SERVER,
                                                 &CreateAmrFileWriter);

}  // namespace

// The capture graph builder's SetOutputFileName makes this writer.
HRESULT CreateFileWriter(REFIID riid, void** ppv) {
    return CreateAmrFileWriter(riid, ppv);
}

}  // namespace tovarin::media
