// The media framework through its COM interfaces, as device code uses it: a capture graph that
// records the microphone into an AMR-NB file, and a playback graph that plays it back on the
// device clock.
#include <dmo.h>
#include <dmodshow.h>
#include <dshow.h>
#include <ocidl.h>

#include <fstream>
#include <iterator>

#include "com/com_ptr.h"
#include "host/audio.h"
#include "media/audio/host_audio.h"
#include "host/amr_nb.h"
#include "host/device.h"
#include "host/trace.h"
#include "host/wave_file.h"
#include "media/graph/media_type.h"
#include "testing/media_device_fixture.h"

namespace tovarin::media {
namespace {

using com::ComPtr;

const CLSID kAmrEncoder = {
    0xD62BCD13, 0x9969, 0x4570, {0xAD, 0x84, 0x26, 0xF6, 0xBE, 0xCA, 0x24, 0x30}};
const CLSID kFileWriter = {
    0x36A5F770, 0xFE4C, 0x11CE, {0xA8, 0xED, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};

template <class T>
ComPtr<T> Create(const CLSID& clsid, const IID& iid) {
    ComPtr<T> object;
    EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                     reinterpret_cast<void**>(object.Out())));
    return object;
}

template <class T>
ComPtr<T> Query(IUnknown* object, const IID& iid) {
    ComPtr<T> result;
    EXPECT_EQ(S_OK, object->QueryInterface(iid, reinterpret_cast<void**>(result.Out())));
    return result;
}

class MediaGraphTest : public testing::MediaDeviceTest {
  protected:
    // A PCM WAVE file in \\Windows of the image.
    void WriteWave(const std::string& name, const std::vector<int16_t>& samples) {
        const std::vector<uint8_t> wave = MakeWave(samples);
        std::ofstream(HostPath("Windows/" + name), std::ios::binary)
            .write(reinterpret_cast<const char*>(wave.data()),
                   static_cast<std::streamsize>(wave.size()));
    }

    // What the speaker kept in a WAVE file, as device samples; empty when it is no WAVE file.
    static std::vector<int16_t> KeptSamples(const std::filesystem::path& kept) {
        std::ifstream in(kept, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        std::optional<WaveAudio> heard = ParseWave(bytes);
        return heard ? ToDeviceSamples(heard->format, heard->data) : std::vector<int16_t>{};
    }

    // The capture graph of the device's recorders: capture -> AMR-NB encoder -> file writer.
    struct Recorder {
        ComPtr<ICaptureGraphBuilder2> builder;
        ComPtr<IGraphBuilder> graph;
        ComPtr<IBaseFilter> capture;
        ComPtr<IMediaControl> control;
        ComPtr<IMediaEvent> events;
        ComPtr<IMediaSeeking> seeking;
    };

    Recorder BuildRecorder(const wchar_t* path) {
        Recorder r;
        r.builder =
            Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder, IID_ICaptureGraphBuilder2);
        r.graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
        EXPECT_EQ(S_OK, r.builder->SetFiltergraph(r.graph.Get()));
        r.control = Query<IMediaControl>(r.graph.Get(), IID_IMediaControl);
        r.events = Query<IMediaEvent>(r.graph.Get(), IID_IMediaEvent);
        r.seeking = Query<IMediaSeeking>(r.graph.Get(), IID_IMediaSeeking);
        r.capture = Create<IBaseFilter>(CLSID_AudioRecord, IID_IBaseFilter);
        EXPECT_EQ(S_OK, r.graph->AddFilter(r.capture.Get(), L"Audio Capture Filter"));

        ComPtr<IAMStreamConfig> config;
        EXPECT_EQ(S_OK, r.builder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, r.capture.Get(),
                                                 IID_IAMStreamConfig,
                                                 reinterpret_cast<void**>(config.Out())));
        AM_MEDIA_TYPE* mt = MediaType::Pcm({8000, 1, 16}).NewTaskMemory();
        EXPECT_EQ(S_OK, config->SetFormat(mt));
        DeleteMediaType(mt);

        ComPtr<IBaseFilter> encoder = Create<IBaseFilter>(CLSID_DMOWrapperFilter, IID_IBaseFilter);
        EXPECT_EQ(S_OK, Query<IDMOWrapperFilter>(encoder.Get(), IID_IDMOWrapperFilter)
                            ->Init(kAmrEncoder, DMOCATEGORY_AUDIO_ENCODER));
        EXPECT_EQ(S_OK, r.graph->AddFilter(encoder.Get(), L".ivi AMRNB Encoder"));
        ComPtr<IBaseFilter> writer = Create<IBaseFilter>(kFileWriter, IID_IBaseFilter);
        EXPECT_EQ(S_OK, r.graph->AddFilter(writer.Get(), L"IVIMP4MuxFilter"));
        AM_MEDIA_TYPE out{};
        out.majortype = MEDIATYPE_Stream;
        EXPECT_EQ(
            S_OK,
            Query<IFileSinkFilter2>(writer.Get(), IID_IFileSinkFilter2)->SetFileName(path, &out));
        EXPECT_EQ(S_OK, r.builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio,
                                                r.capture.Get(), encoder.Get(), writer.Get()));
        return r;
    }

    // Waits for the next event and returns its code (and second parameter).
    LONG NextEvent(IMediaEvent* events, LONG timeout_ms, LONG_PTR* param2 = nullptr) {
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        if (FAILED(events->GetEvent(&code, &p1, &p2, timeout_ms))) {
            return -1;
        }
        events->FreeEventParams(code, p1, p2);
        if (param2 != nullptr) {
            *param2 = p2;
        }
        return code;
    }

    std::string Bytes(const char* relative) {
        std::ifstream in(HostPath(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(MediaGraphTest, CodecFramesSurviveAFileRoundTrip) {
    std::vector<int16_t> pcm(8000 * 2 + 37, 1000);  // two seconds and a partial frame
    const std::vector<uint8_t> file = EncodeAmrFile(pcm);
    auto frames = SplitAmrFrames(file);
    ASSERT_TRUE(frames.has_value());
    EXPECT_EQ(frames->size(), 101u);  // the partial frame is padded, not dropped
    for (const auto& frame : *frames) {
        EXPECT_EQ(frame.size(), kAmrMaxFrameBytes);
    }
    EXPECT_FALSE(SplitAmrFrames(std::vector<uint8_t>{'R', 'I', 'F', 'F'}).has_value());
    // A damaged tail (a frame cut short, a frame type the format does not allow) leaves the
    // whole frames before it, and says how much it left out.
    size_t left_out = 0;
    EXPECT_EQ(SplitAmrFrames(file, &left_out)->size(), 101u);
    EXPECT_EQ(left_out, 0u);
    std::vector<uint8_t> cut(file.begin(), file.end() - 5);
    EXPECT_EQ(SplitAmrFrames(cut, &left_out)->size(), 100u);
    EXPECT_EQ(left_out, kAmrMaxFrameBytes - 5);
    std::vector<uint8_t> reserved = file;
    reserved.insert(reserved.end(), {12 << 3, 1, 2, 3});
    EXPECT_EQ(SplitAmrFrames(reserved, &left_out)->size(), 101u);
    EXPECT_EQ(left_out, 4u);
}

TEST_F(MediaGraphTest, PlayingAFileWithADamagedTailTracesWhatItLeavesOut) {
    std::vector<uint8_t> amr = EncodeAmrFile(std::vector<int16_t>(8000, 1000));
    amr.resize(amr.size() - 5);
    std::ofstream(HostPath("Windows/cut.amr"), std::ios::binary)
        .write(reinterpret_cast<const char*>(amr.data()), static_cast<std::streamsize>(amr.size()));
    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    ASSERT_EQ(S_OK, graph->RenderFile(L"\\Windows\\cut.amr", nullptr));
    size_t traced = 0;
    for (const kernel::TraceLine& line : kernel::Device::Current().trace().Lines()) {
        traced += line.text ==
                  L"AMR: \\Windows\\cut.amr ends in 27 bytes that are no whole frame; they are "
                  L"left out\r\n";
    }
    EXPECT_EQ(traced, 1u);
}

TEST_F(MediaGraphTest, CaptureGraphRecordsUntilTheStopTimeAndReportsTheCookie) {
    SetMicrophone(SoundSpec::Tone(440));
    Recorder r = BuildRecorder(L"\\My Documents\\rec.amr");
    ASSERT_EQ(S_OK, r.builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio,
                                             r.capture.Get(), nullptr, nullptr, 0, 0));
    ASSERT_EQ(S_OK, r.control->Run());
    REFERENCE_TIME start = 0;
    REFERENCE_TIME never = MAXLONGLONG;
    ASSERT_EQ(S_OK, r.builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio,
                                             r.capture.Get(), &start, &never, 0, 0));
    Sleep(3000);
    REFERENCE_TIME position = 0;
    ASSERT_EQ(S_OK, r.seeking->GetCurrentPosition(&position));
    EXPECT_EQ(position, 30'000'000);
    ASSERT_EQ(S_OK, r.builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio,
                                             r.capture.Get(), &start, &position, 1, 2));
    LONG_PTR cookie = 0;
    EXPECT_EQ(NextEvent(r.events.Get(), 1000, &cookie), EC_STREAM_CONTROL_STOPPED);
    EXPECT_EQ(cookie, 2);
    EXPECT_EQ(NextEvent(r.events.Get(), 1000), EC_COMPLETE);
    EXPECT_EQ(NextEvent(r.events.Get(), 0), -1);  // nothing more
    r.control->Stop();

    const std::string bytes = Bytes("My Documents/rec.amr");
    ASSERT_EQ(bytes.substr(0, 6), "#!AMR\n");
    EXPECT_EQ(bytes.size(), 6u + 150u * 32u);  // 3 s of 20 ms frames at 12.2 kbit/s
    EXPECT_EQ(testing::FfmpegDurationMs(HostPath("My Documents/rec.amr")), 3000);
}

TEST_F(MediaGraphTest, StoppingTheGraphMidStreamLeavesWholeFramesAndEndsTheStream) {
    Recorder r = BuildRecorder(L"\\My Documents\\cut.amr");
    ASSERT_EQ(S_OK, r.control->Run());
    Sleep(1250);
    ASSERT_EQ(S_OK, r.control->Stop());
    // The end of the capture stream reaches the writer, which completes the graph.
    EXPECT_EQ(NextEvent(r.events.Get(), 0), EC_COMPLETE);
    const std::string bytes = Bytes("My Documents/cut.amr");
    EXPECT_EQ((bytes.size() - 6) % 32, 0u);
    EXPECT_EQ(bytes.size(), 6u + 60u * 32u);  // the 12 whole 100 ms chunks heard by 1250 ms
    EXPECT_EQ(testing::FfmpegDurationMs(HostPath("My Documents/cut.amr")), 1200);
}

TEST_F(MediaGraphTest, PlaybackRunsOnTheDeviceClockAtItsVolumeAndCompletes) {
    std::vector<int16_t> tone(8000 * 2, 8000);
    const std::vector<uint8_t> amr = EncodeAmrFile(tone);
    std::ofstream(HostPath("Windows/two.amr"), std::ios::binary)
        .write(reinterpret_cast<const char*>(amr.data()), static_cast<std::streamsize>(amr.size()));

    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    auto control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    auto events = Query<IMediaEventEx>(graph.Get(), IID_IMediaEventEx);
    auto seeking = Query<IMediaSeeking>(graph.Get(), IID_IMediaSeeking);
    auto audio = Query<IBasicAudio>(graph.Get(), IID_IBasicAudio);
    EXPECT_EQ(audio->put_Volume(-500), E_NOTIMPL);  // nothing rendered yet
    ASSERT_EQ(S_OK, graph->RenderFile(L"\\Windows\\two.amr", nullptr));
    EXPECT_EQ(S_OK, audio->put_Volume(-500));
    EXPECT_EQ(audio->put_Volume(1), E_INVALIDARG);
    LONGLONG stop = 0;
    ASSERT_EQ(S_OK, seeking->GetStopPosition(&stop));
    EXPECT_EQ(stop, 20'000'000);

    OAEVENT handle = 0;
    ASSERT_EQ(S_OK, events->GetEventHandle(&handle));
    ASSERT_EQ(S_OK, control->Run());
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(handle), 1000),
              static_cast<DWORD>(WAIT_TIMEOUT));
    LONGLONG position = 0;
    seeking->GetCurrentPosition(&position);
    EXPECT_EQ(position, 10'000'000);
    std::vector<PlayingSound> playing = NowPlaying();
    ASSERT_EQ(playing.size(), 1u);
    EXPECT_EQ(playing[0].path, L"\\Windows\\two.amr");
    EXPECT_EQ(playing[0].volume, -500);
    EXPECT_EQ(playing[0].output, AudioOutput::Speaker);

    // The handle is set once the stream has ended, a second later.
    EXPECT_EQ(WaitForSingleObject(reinterpret_cast<HANDLE>(handle), 1001),
              static_cast<DWORD>(WAIT_OBJECT_0));
    LONG code = 0;
    EXPECT_EQ(S_OK, events->WaitForCompletion(0, &code));
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(NextEvent(events.Get(), 0), EC_COMPLETE);
    EXPECT_TRUE(NowPlaying().empty());
    seeking->GetCurrentPosition(&position);
    EXPECT_EQ(position, 20'000'000);
}

TEST_F(MediaGraphTest, SeekingToTheStartReplaysAndStopSilences) {
    WriteWave("one.wav", std::vector<int16_t>(8000, 500));
    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    auto control = Query<IMediaControl>(graph.Get(), IID_IMediaControl);
    auto seeking = Query<IMediaSeeking>(graph.Get(), IID_IMediaSeeking);
    ASSERT_EQ(S_OK, graph->RenderFile(L"\\Windows\\one.wav", nullptr));
    ASSERT_EQ(S_OK, control->Run());
    Sleep(600);
    LONGLONG zero = 0;
    ASSERT_EQ(S_OK, seeking->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr,
                                          AM_SEEKING_NoPositioning));
    Sleep(300);
    LONGLONG position = 0;
    seeking->GetCurrentPosition(&position);
    EXPECT_EQ(position, 3'000'000);
    ASSERT_EQ(NowPlaying().size(), 1u);
    control->Stop();
    EXPECT_TRUE(NowPlaying().empty());
}

TEST_F(MediaGraphTest, TheSpeakerKeepsWhatItPlaysAtItsVolume) {
    WriteWave("one.wav", std::vector<int16_t>(8000, 1000));
    const auto kept = image_.root() / "speaker.wav";
    std::string error;
    ASSERT_TRUE(StartSpeakerRecording(kept, &error)) << error;
    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    ASSERT_EQ(S_OK, graph->RenderFile(L"\\Windows\\one.wav", nullptr));
    Query<IBasicAudio>(graph.Get(), IID_IBasicAudio)->put_Volume(-600);  // about half
    Query<IMediaControl>(graph.Get(), IID_IMediaControl)->Run();
    LONG code = 0;
    ASSERT_EQ(S_OK,
              Query<IMediaEvent>(graph.Get(), IID_IMediaEvent)->WaitForCompletion(2000, &code));
    StopSpeakerRecording();
    const std::vector<int16_t> samples = KeptSamples(kept);
    ASSERT_EQ(samples.size(), 8000u);
    EXPECT_EQ(samples[4000], 501);
}

// A renderer's settings: "DeviceName" "Line".
class LineBag final : public IPropertyBag {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (std::wstring(name) != L"DeviceName") {
            return E_INVALIDARG;
        }
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(L"Line");
        return S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
};

TEST_F(MediaGraphTest, GraphsPlayingAtOnceAreSummedOnTheirOutput) {
    WriteWave("long.wav", std::vector<int16_t>(8000, 1000));
    WriteWave("short.wav", std::vector<int16_t>(4000, 2000));
    const auto kept = image_.root() / "speaker.wav";
    std::string error;
    ASSERT_TRUE(StartSpeakerRecording(kept, &error)) << error;
    ComPtr<IGraphBuilder> first = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    ComPtr<IGraphBuilder> second = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    ASSERT_EQ(S_OK, first->RenderFile(L"\\Windows\\long.wav", nullptr));
    ASSERT_EQ(S_OK, second->RenderFile(L"\\Windows\\short.wav", nullptr));
    // A third plays to the line: its renderer, told so, is in the graph before the file.
    ComPtr<IGraphBuilder> third = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    ComPtr<IBaseFilter> renderer = Create<IBaseFilter>(CLSID_AudioRender, IID_IBaseFilter);
    LineBag line;
    ASSERT_EQ(
        S_OK,
        Query<IPersistPropertyBag>(renderer.Get(), IID_IPersistPropertyBag)->Load(&line, nullptr));
    ASSERT_EQ(S_OK, third->AddFilter(renderer.Get(), L"Line renderer"));
    ASSERT_EQ(S_OK, third->RenderFile(L"\\Windows\\short.wav", nullptr));
    for (IGraphBuilder* graph : {first.Get(), second.Get(), third.Get()}) {
        ASSERT_EQ(S_OK, Query<IMediaControl>(graph, IID_IMediaControl)->Run());
    }
    std::vector<PlayingSound> playing = NowPlaying();
    ASSERT_EQ(playing.size(), 3u);
    EXPECT_EQ(playing[2].output, AudioOutput::Line);
    LONG code = 0;
    ASSERT_EQ(S_OK,
              Query<IMediaEvent>(first.Get(), IID_IMediaEvent)->WaitForCompletion(2000, &code));
    StopSpeakerRecording();
    // The speaker heard both of its sounds summed for half a second, then the longer one alone;
    // the line's sound is not in it.
    const std::vector<int16_t> samples = KeptSamples(kept);
    ASSERT_EQ(samples.size(), 8000u);
    EXPECT_EQ(samples[100], 3000);
    EXPECT_EQ(samples[3900], 3000);
    EXPECT_EQ(samples[4100], 1000);
    EXPECT_EQ(samples[7999], 1000);
}

TEST_F(MediaGraphTest, OpeningTheSoundCardPrintsNothing) {
    ::testing::internal::CaptureStderr();
    std::unique_ptr<HostAudio> card = HostAudio::OpenDefault();  // none on a build machine
    card.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(MediaGraphTest, RenderFileRefusesMissingAndUnknownFiles) {
    ComPtr<IGraphBuilder> graph = Create<IGraphBuilder>(CLSID_FilterGraph, IID_IGraphBuilder);
    EXPECT_EQ(graph->RenderFile(L"\\Windows\\none.amr", nullptr),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    std::ofstream(HostPath("Windows/text.amr")) << "hello";
    EXPECT_EQ(graph->RenderFile(L"\\Windows\\text.amr", nullptr), VFW_E_UNKNOWN_FILE_TYPE);
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(S_OK, graph->EnumFilters(filters.Out()));
    IBaseFilter* any = nullptr;
    EXPECT_EQ(filters->Next(1, &any, nullptr), S_FALSE);  // nothing left behind
}

TEST_F(MediaGraphTest, CaptureCapabilitiesFollowTheDevice) {
    SetCaptureFormats({{44100, 2, 16}, {8000, 1, 16}});
    ComPtr<IBaseFilter> capture = Create<IBaseFilter>(CLSID_AudioRecord, IID_IBaseFilter);
    ComPtr<ICaptureGraphBuilder2> builder =
        Create<ICaptureGraphBuilder2>(CLSID_CaptureGraphBuilder, IID_ICaptureGraphBuilder2);
    ComPtr<IAMStreamConfig> config;
    ASSERT_EQ(S_OK,
              builder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, capture.Get(),
                                     IID_IAMStreamConfig, reinterpret_cast<void**>(config.Out())));
    int count = 0;
    int size = 0;
    ASSERT_EQ(S_OK, config->GetNumberOfCapabilities(&count, &size));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    AM_MEDIA_TYPE* mt = nullptr;
    AUDIO_STREAM_CONFIG_CAPS caps{};
    ASSERT_EQ(S_OK, config->GetStreamCaps(0, &mt, reinterpret_cast<BYTE*>(&caps)));
    EXPECT_EQ(mt->formattype, FORMAT_WaveFormatEx);
    EXPECT_EQ(reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat)->nSamplesPerSec, 44100u);
    EXPECT_EQ(caps.MaximumChannels, 2u);
    DeleteMediaType(mt);
    EXPECT_EQ(config->GetStreamCaps(2, &mt, reinterpret_cast<BYTE*>(&caps)), S_FALSE);
}

}  // namespace
}  // namespace tovarin::media
