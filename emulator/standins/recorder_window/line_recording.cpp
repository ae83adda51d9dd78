#include "line_recording.h"

#include <dmo.h>
#include <dmodshow.h>
#include <ocidl.h>
#include <strsafe.h>
#include <wchar.h>

namespace {

const CLSID kAmrEncoderDmo = {
    0xD62BCD13, 0x9969, 0x4570, {0xAD, 0x84, 0x26, 0xF6, 0xBE, 0xCA, 0x24, 0x30}};
const CLSID kAmrFileWriter = {
    0x36A5F770, 0xFE4C, 0x11CE, {0xA8, 0xED, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};

template <class T>
void ReleaseSlot(T*& slot) {
    if (slot != NULL) {
        slot->Release();
        slot = NULL;
    }
}

// An audio end's settings: "DeviceName" names the device (for the capture filter "Line", the
// caller's voice, or "Call", the whole call; for the renderer "Line", the phone line).
class DeviceBag : public IPropertyBag {
  public:
    explicit DeviceBag(LPCWSTR device) : device_(device) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
            *ppv = static_cast<IPropertyBag*>(this);
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }  // lives on the caller's stack
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (wcscmp(name, L"DeviceName") != 0) {
            return E_INVALIDARG;
        }
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(device_);
        return value->bstrVal != NULL ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

  private:
    LPCWSTR device_;
};

HRESULT LoadDevice(IBaseFilter* filter, LPCWSTR device) {
    IPersistPropertyBag* bag = NULL;
    HRESULT hr = filter->QueryInterface(IID_IPersistPropertyBag, reinterpret_cast<void**>(&bag));
    if (SUCCEEDED(hr)) {
        DeviceBag settings(device);
        hr = bag->Load(&settings, NULL);
        bag->Release();
    }
    return hr;
}

HRESULT AddFilter(IGraphBuilder* graph, const CLSID& clsid, LPCWSTR name, IBaseFilter** filter) {
    HRESULT hr = CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                  reinterpret_cast<void**>(filter));
    if (SUCCEEDED(hr)) {
        hr = graph->AddFilter(*filter, name);
    }
    return hr;
}

// What a playback's failure means to someone reading the trace.
LPCWSTR WhyNotPlayed(HRESULT hr) {
    switch (hr) {
        case VFW_E_UNKNOWN_FILE_TYPE:
        case VFW_E_CANNOT_RENDER:
            return L"not a sound it can decode";
        case VFW_E_FILE_TOO_SHORT:
            return L"it holds no sound";
        case HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND):
        case HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND):
            return L"no such file";
        case HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION):
        case HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED):
            return L"the file cannot be opened";
        default:
            return L"the graph failed";
    }
}

}  // namespace

BOOL CreateFolderPath(LPCWSTR folder) {
    WCHAR partial[MAX_PATH];
    size_t length = wcslen(folder);
    if (length == 0 || length >= MAX_PATH) {
        return FALSE;
    }
    for (size_t i = 1; i <= length; ++i) {
        if (folder[i] == L'\\' || folder[i] == L'\0') {
            wcsncpy(partial, folder, i);
            partial[i] = L'\0';
            if (!CreateDirectoryW(partial, NULL) && GetLastError() != ERROR_ALREADY_EXISTS) {
                return FALSE;
            }
        }
    }
    return TRUE;
}

void MakeRecordingPath(LPCWSTR folder, LPCWSTR namePart, LPWSTR path, size_t cchPath) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    size_t length = wcslen(folder);
    bool separator = length > 0 && folder[length - 1] == L'\\';
    StringCchPrintfW(
        path, cchPath,
        separator ? L"%s%s%04d%02d%02d%02d%02d%02d.amr" : L"%s\\%s%04d%02d%02d%02d%02d%02d.amr",
        folder, namePart, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

LineRecording::LineRecording() : program_(L""), builder_(NULL), graph_(NULL), control_(NULL) {
    path_[0] = L'\0';
}

// Nothing is stopped here: a program ended by the device's shutdown unwinds through this, and
// stopping a graph waits on the device. WinMain stops it on the ordinary way out.
LineRecording::~LineRecording() {}

BOOL LineRecording::Start(LPCWSTR program, LPCWSTR path, LPCWSTR device) {
    program_ = program;
    StringCchCopyW(path_, MAX_PATH, path);
    IBaseFilter* capture = NULL;
    IBaseFilter* encoder = NULL;
    IBaseFilter* writer = NULL;
    HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder, NULL, CLSCTX_INPROC_SERVER,
                                  IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&builder_));
    if (SUCCEEDED(hr)) {
        hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              reinterpret_cast<void**>(&graph_));
    }
    if (SUCCEEDED(hr)) {
        hr = builder_->SetFiltergraph(graph_);
    }
    if (SUCCEEDED(hr)) {
        hr = graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
    }
    if (SUCCEEDED(hr)) {
        hr = AddFilter(graph_, CLSID_AudioRecord, L"Audio Capture Filter", &capture);
    }
    if (SUCCEEDED(hr)) {
        hr = LoadDevice(capture, device);
    }
    if (SUCCEEDED(hr)) {
        IAMStreamConfig* config = NULL;
        hr = builder_->FindInterface(&PIN_CATEGORY_CAPTURE, NULL, capture, IID_IAMStreamConfig,
                                     reinterpret_cast<void**>(&config));
        if (SUCCEEDED(hr)) {
            WAVEFORMATEX wave = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
            AM_MEDIA_TYPE mt = {};
            mt.majortype = MEDIATYPE_Audio;
            mt.subtype = MEDIASUBTYPE_PCM;
            mt.formattype = FORMAT_WaveFormatEx;
            mt.cbFormat = sizeof(wave);
            mt.pbFormat = reinterpret_cast<BYTE*>(&wave);
            hr = config->SetFormat(&mt);
            config->Release();
        }
    }
    if (SUCCEEDED(hr)) {
        hr = AddFilter(graph_, CLSID_DMOWrapperFilter, L"AMR-NB Encoder", &encoder);
    }
    if (SUCCEEDED(hr)) {
        IDMOWrapperFilter* wrapper = NULL;
        hr = encoder->QueryInterface(IID_IDMOWrapperFilter, reinterpret_cast<void**>(&wrapper));
        if (SUCCEEDED(hr)) {
            hr = wrapper->Init(kAmrEncoderDmo, DMOCATEGORY_AUDIO_ENCODER);
            wrapper->Release();
        }
    }
    if (SUCCEEDED(hr)) {
        hr = AddFilter(graph_, kAmrFileWriter, L"File Writer", &writer);
    }
    if (SUCCEEDED(hr)) {
        IFileSinkFilter* sink = NULL;
        hr = writer->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(&sink));
        if (SUCCEEDED(hr)) {
            hr = sink->SetFileName(path_, NULL);
            sink->Release();
        }
    }
    if (SUCCEEDED(hr)) {
        hr = builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture, encoder,
                                    writer);
    }
    if (SUCCEEDED(hr)) {
        hr = control_->Run();
    }
    ReleaseSlot(capture);
    ReleaseSlot(encoder);
    ReleaseSlot(writer);
    if (FAILED(hr)) {
        NKDbgPrintfW(L"%s: cannot record into %s (0x%08X)\r\n", program_, path_, hr);
        ReleaseSlot(control_);
        ReleaseSlot(graph_);
        ReleaseSlot(builder_);
        return FALSE;
    }
    NKDbgPrintfW(L"%s: recording the line into %s\r\n", program_, path_);
    return TRUE;
}

void LineRecording::Stop() {
    if (control_ == NULL) {
        return;
    }
    control_->Stop();
    ReleaseSlot(control_);
    ReleaseSlot(graph_);
    ReleaseSlot(builder_);
    NKDbgPrintfW(L"%s: wrote %s\r\n", program_, path_);
}

LinePlayback::LinePlayback() : graph_(NULL), control_(NULL), events_(NULL), seeking_(NULL) {}

LinePlayback::~LinePlayback() {}

BOOL LinePlayback::Start(LPCWSTR program, LPCWSTR path, LONG volume) {
    IBaseFilter* renderer = NULL;
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                  reinterpret_cast<void**>(&graph_));
    // The renderer is told to play to the line before the file is rendered into it.
    if (SUCCEEDED(hr)) {
        hr = AddFilter(graph_, CLSID_AudioRender, L"Audio Renderer", &renderer);
    }
    if (SUCCEEDED(hr)) {
        hr = LoadDevice(renderer, L"Line");
    }
    ReleaseSlot(renderer);
    if (SUCCEEDED(hr)) {
        hr = graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control_));
    }
    if (SUCCEEDED(hr)) {
        hr = graph_->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events_));
    }
    if (SUCCEEDED(hr)) {
        hr = graph_->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking_));
    }
    if (SUCCEEDED(hr)) {
        hr = graph_->RenderFile(path, NULL);
    }
    if (SUCCEEDED(hr)) {
        IBasicAudio* audio = NULL;
        hr = graph_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio));
        if (SUCCEEDED(hr)) {
            hr = audio->put_Volume(volume);
            audio->Release();
        }
    }
    if (SUCCEEDED(hr)) {
        hr = control_->Run();
    }
    if (FAILED(hr)) {
        NKDbgPrintfW(L"%s: cannot play %s: %s (0x%08X)\r\n", program, path, WhyNotPlayed(hr), hr);
        Stop();
        return FALSE;
    }
    return TRUE;
}

BOOL LinePlayback::Finished() {
    if (events_ == NULL) {
        return TRUE;
    }
    // The position says it at the very time the sound ends, whichever thread runs first then.
    if (seeking_ != NULL) {
        LONGLONG position = 0;
        LONGLONG stop = 0;
        if (SUCCEEDED(seeking_->GetCurrentPosition(&position)) &&
            SUCCEEDED(seeking_->GetStopPosition(&stop)) && position >= stop) {
            return TRUE;
        }
    }
    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    while (SUCCEEDED(events_->GetEvent(&code, &param1, &param2, 0))) {
        events_->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) {
            return TRUE;
        }
    }
    return FALSE;
}

HANDLE LinePlayback::EventHandle() {
    OAEVENT handle = 0;
    if (events_ == NULL || FAILED(events_->GetEventHandle(&handle))) {
        return NULL;
    }
    return reinterpret_cast<HANDLE>(handle);
}

void LinePlayback::SetVolume(LONG volume) {
    IBasicAudio* audio = NULL;
    if (graph_ != NULL &&
        SUCCEEDED(graph_->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&audio)))) {
        audio->put_Volume(volume);
        audio->Release();
    }
}

void LinePlayback::Stop() {
    if (control_ != NULL) {
        control_->Stop();
    }
    ReleaseSlot(seeking_);
    ReleaseSlot(events_);
    ReleaseSlot(control_);
    ReleaseSlot(graph_);
}
