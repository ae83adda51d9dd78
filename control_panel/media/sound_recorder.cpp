#include "sound_recorder.h"

#include <dmo.h>

#include <new>

namespace {

// The device's AMR-NB encoder media object and the writer of its recordings.
const CLSID CLSID_AmrNbEncoderDmo = {
    0xD62BCD13, 0x9969, 0x4570, {0xAD, 0x84, 0x26, 0xF6, 0xBE, 0xCA, 0x24, 0x30}};
const CLSID CLSID_AmrFileWriter = {
    0x36A5F770, 0xFE4C, 0x11CE, {0xA8, 0xED, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};
// The stream type of the recordings that the writer is given.
const GUID MEDIASUBTYPE_AmrNbStream = {
    0xF8949BB7, 0x3A8F, 0x4DA5, {0x8B, 0xE2, 0x69, 0x05, 0x14, 0x4E, 0x80, 0x69}};

// Platform events that end a recording, and the end of the capture stream, which this graph
// reports as EC_COMPLETE once the file is complete.
const LONG kEventRecordingEndA = 257;
const LONG kEventRecordingEndB = 260;

// How long Stop waits in all: for the capture stream to end, and then, when it has not, for the
// watch thread to leave once the graph is stopped. The thread leaves within one poll, and it
// must be gone before the library that holds its code can go.
const DWORD kStopWaitMs = 16000;
const DWORD kLeaveWaitMs = 500;
const DWORD kStreamEndWaitMs = kStopWaitMs - kLeaveWaitMs;

const LONGLONG kNeverStop = 0x7FFFFFFFFFFFFFFFLL;

template <class T>
void ReleaseSlot(T*& slot) {
    if (slot != NULL) {
        slot->Release();
        slot = NULL;
    }
}

bool IsWanted(const AM_MEDIA_TYPE* mt) {
    if (mt->formattype != FORMAT_WaveFormatEx || mt->pbFormat == NULL ||
        mt->cbFormat < sizeof(WAVEFORMATEX) - sizeof(WORD)) {
        return false;
    }
    const WAVEFORMATEX* wave = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    return wave->nSamplesPerSec == 8000 && wave->nChannels == 1 && wave->wBitsPerSample == 16;
}

}  // namespace

SoundRecorder::SoundRecorder()
    : eventThread(NULL),
      lastTick(0),
      elapsed(0),
      builder(NULL),
      graph(NULL),
      control(NULL),
      events(NULL),
      seeking(NULL),
      capture(NULL),
      writer(NULL),
      encoder(NULL),
      captureBag(NULL),
      streamConfig(NULL),
      fileSink(NULL),
      dmoWrapper(NULL),
      wired(FALSE),
      started(FALSE),
      comInitialized(FALSE),
      watch(NULL) {
    // The greeting applet shows the recorder without the page that initialises COM.
    comInitialized = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));

    if (FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&builder)))) {
        builder = NULL;
        return;
    }
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, NULL, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph)))) {
        graph = NULL;
        return;
    }
    if (FAILED(builder->SetFiltergraph(graph))) {
        return;
    }
    if (FAILED(graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control)))) {
        control = NULL;
        return;
    }
    if (FAILED(graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events)))) {
        events = NULL;
        return;
    }
    if (FAILED(graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)))) {
        seeking = NULL;
        return;
    }
    if (FAILED(CoCreateInstance(CLSID_AudioRecord, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&capture)))) {
        capture = NULL;
        return;
    }
    if (FAILED(capture->QueryInterface(IID_IPersistPropertyBag,
                                       reinterpret_cast<void**>(&captureBag)))) {
        captureBag = NULL;
        return;
    }
    captureBag->Load(NULL, NULL);  // the default capture device
    if (FAILED(graph->AddFilter(capture, L"Audio Capture Filter"))) {
        return;
    }
    if (FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, NULL, capture, IID_IAMStreamConfig,
                                      reinterpret_cast<void**>(&streamConfig)))) {
        streamConfig = NULL;
        return;
    }
    ConfigureCapture();
    ReleaseSlot(streamConfig);
}

// Chooses 8000 Hz mono 16-bit among the capture pin's capabilities, or makes the last one that
// when none offers it. A device that offers no capability is left as it is.
void SoundRecorder::ConfigureCapture() {
    int count = 0;
    int size = 0;
    if (FAILED(streamConfig->GetNumberOfCapabilities(&count, &size)) || count <= 0 ||
        size < static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS))) {
        return;
    }
    AM_MEDIA_TYPE* chosen = NULL;
    for (int i = 0; i < count; ++i) {
        AM_MEDIA_TYPE* mt = NULL;
        AUDIO_STREAM_CONFIG_CAPS caps;
        if (FAILED(streamConfig->GetStreamCaps(i, &mt, reinterpret_cast<BYTE*>(&caps))) ||
            mt == NULL) {
            break;  // a fetch that fails ends the search
        }
        if (chosen != NULL) {
            DeleteMediaType(chosen);
        }
        chosen = mt;
        if (IsWanted(mt)) {
            break;
        }
    }
    if (chosen == NULL) {
        return;
    }
    if (chosen->formattype == FORMAT_WaveFormatEx && chosen->pbFormat != NULL &&
        chosen->cbFormat >= sizeof(WAVEFORMATEX) - sizeof(WORD)) {
        WAVEFORMATEX* wave = reinterpret_cast<WAVEFORMATEX*>(chosen->pbFormat);
        wave->nChannels = 1;
        wave->nSamplesPerSec = 8000;
        wave->wBitsPerSample = 16;
        streamConfig->SetFormat(chosen);
    }
    DeleteMediaType(chosen);
}

int SoundRecorder::SetOutputFile(LPCWSTR path) {
    if (graph == NULL || builder == NULL || capture == NULL || control == NULL || events == NULL ||
        path == NULL || wired) {
        return 1;
    }
    if (FAILED(CoCreateInstance(CLSID_DMOWrapperFilter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&encoder)))) {
        encoder = NULL;
        return 1;
    }
    if (FAILED(encoder->QueryInterface(IID_IDMOWrapperFilter,
                                       reinterpret_cast<void**>(&dmoWrapper)))) {
        dmoWrapper = NULL;
        return 1;
    }
    if (FAILED(dmoWrapper->Init(CLSID_AmrNbEncoderDmo, DMOCATEGORY_AUDIO_ENCODER))) {
        return 1;
    }
    if (FAILED(graph->AddFilter(encoder, L".ivi AMRNB Encoder"))) {
        return 1;
    }
    if (FAILED(CoCreateInstance(CLSID_AmrFileWriter, NULL, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                reinterpret_cast<void**>(&writer)))) {
        writer = NULL;
        return 1;
    }
    if (FAILED(graph->AddFilter(writer, L"IVIMP4MuxFilter"))) {
        return 1;
    }
    if (FAILED(writer->QueryInterface(IID_IFileSinkFilter2, reinterpret_cast<void**>(&fileSink)))) {
        fileSink = NULL;
        return 1;
    }
    AM_MEDIA_TYPE outputType = {};
    outputType.majortype = MEDIATYPE_Stream;
    outputType.subtype = MEDIASUBTYPE_AmrNbStream;
    if (FAILED(fileSink->SetFileName(path, &outputType))) {
        return 1;
    }
    if (FAILED(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture, encoder,
                                     writer))) {
        return 1;
    }
    wired = TRUE;
    return 0;
}

// What the watch thread works with: its own references to the graph's event and control
// interfaces, so that the recorder can let the graph go while the thread still runs, and the
// recorder's request to leave.
struct SoundRecorder::Watch {
    IMediaEvent* events;
    IMediaControl* control;
    volatile LONG leave;
    volatile LONG references;  // the recorder's and the thread's
};

namespace {

// How often a watch thread that has no event looks whether it is to leave.
const LONG kWatchPollMs = 100;

void ReleaseWatch(SoundRecorder::Watch* watch) {
    if (InterlockedDecrement(&watch->references) == 0) {
        watch->events->Release();
        watch->control->Release();
        delete watch;
    }
}

}  // namespace

int SoundRecorder::Start() {
    // A graph that was never completed records nothing: nothing is run and no thread started.
    if (!wired || eventThread != NULL) {
        return 1;
    }
    if (FAILED(builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture, NULL, NULL,
                                      0, 0))) {
        return 1;
    }
    watch = new (std::nothrow) Watch{events, control, 0, 2};
    if (watch == NULL) {
        return 1;
    }
    events->AddRef();
    control->AddRef();
    control->Run();
    REFERENCE_TIME startTime = 0;
    REFERENCE_TIME stopTime = kNeverStop;
    builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture, &startTime, &stopTime,
                           0, 0);
    eventThread = CreateThread(NULL, 0, &SoundRecorder::EventThread, watch, 0, NULL);
    if (eventThread == NULL) {
        ReleaseWatch(watch);  // the thread's reference
    }
    lastTick = GetTickCount();
    started = TRUE;
    return 0;
}

DWORD WINAPI SoundRecorder::EventThread(LPVOID parameter) {
    Watch* watch = static_cast<Watch*>(parameter);
    BOOL comReady = SUCCEEDED(CoInitializeEx(NULL, COINIT_MULTITHREADED));
    while (InterlockedCompareExchange(&watch->leave, 0, 0) == 0) {
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        const HRESULT hr = watch->events->GetEvent(&code, &param1, &param2, kWatchPollMs);
        if (hr == E_ABORT) {
            continue;  // no event within the poll
        }
        if (FAILED(hr)) {
            break;
        }
        if (code == EC_STREAM_CONTROL_STOPPED) {
            watch->control->Stop();
        }
        watch->events->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE || code == kEventRecordingEndA || code == kEventRecordingEndB) {
            break;
        }
    }
    ReleaseWatch(watch);
    if (comReady) {
        CoUninitialize();
    }
    return 0;
}

BOOL SoundRecorder::WaitForEventThread(DWORD milliseconds) {
    return WaitForSingleObject(eventThread, milliseconds) == WAIT_OBJECT_0;
}

int SoundRecorder::Stop() {
    if (eventThread == NULL) {
        if (watch != NULL) {
            ReleaseWatch(watch);  // a thread that could not be started
            watch = NULL;
        }
        return 0;
    }
    LONGLONG position = 0;
    if (seeking == NULL || FAILED(seeking->GetCurrentPosition(&position))) {
        position = 0;
    }
    REFERENCE_TIME startTime = 0;
    builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture, &startTime, &position,
                           1, 2);
    if (!WaitForEventThread(kStreamEndWaitMs)) {
        // The capture stream never reported its end: the graph is stopped, which ends what can
        // be ended, and the watch thread is told to leave. It holds its own references, so the
        // recorder lets its own go whether or not the thread has left by the bound.
        NKDbgPrintfW(L"SoundRecorder: the capture stream did not end within %u ms\r\n",
                     kStreamEndWaitMs);
        control->Stop();
        InterlockedExchange(&watch->leave, 1);
        if (!WaitForEventThread(kLeaveWaitMs)) {
            NKDbgPrintfW(L"SoundRecorder: the event thread did not leave\r\n");
        }
    }
    ReleaseWatch(watch);
    watch = NULL;
    CloseHandle(eventThread);
    eventThread = NULL;
    return 0;
}

int SoundRecorder::GetElapsed(DWORD* milliseconds) {
    if (started) {
        DWORD now = GetTickCount();
        elapsed += now - lastTick;
        lastTick = now;
    }
    if (milliseconds != NULL) {
        *milliseconds = elapsed;
    }
    return 0;
}

void SoundRecorder::Close() {
    Stop();
    if (control != NULL) {
        control->Stop();
    }
    ReleaseSlot(fileSink);
    ReleaseSlot(streamConfig);
    ReleaseSlot(captureBag);
    ReleaseSlot(encoder);
    ReleaseSlot(writer);
    ReleaseSlot(capture);
    ReleaseSlot(events);
    ReleaseSlot(control);
    ReleaseSlot(seeking);
    ReleaseSlot(dmoWrapper);
    ReleaseSlot(graph);
    ReleaseSlot(builder);
    started = FALSE;
    if (comInitialized) {
        CoUninitialize();
        comInitialized = FALSE;
    }
}
