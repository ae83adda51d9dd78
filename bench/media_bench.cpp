// Sound costs: the recorder's encode path (the AMR-NB encoder media object, buffer by buffer as
// the DMO wrapper drives it) against the raw codec on the same PCM; decoding a recording against
// ffmpeg decoding the same file; and a 30-second recording through the capture graph in
// simulated time.
#include <benchmark/benchmark.h>

#include <dmo.h>
#include <dmodshow.h>
#include <dshow.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "com/com_ptr.h"
#include "host/device.h"
#include "host/audio.h"
#include "host/amr_nb.h"
#include "media/filters/media_buffer.h"

namespace {

using namespace tovarin;

const CLSID kAmrEncoder = {
    0xD62BCD13, 0x9969, 0x4570, {0xAD, 0x84, 0x26, 0xF6, 0xBE, 0xCA, 0x24, 0x30}};
const CLSID kFileWriter = {
    0x36A5F770, 0xFE4C, 0x11CE, {0xA8, 0xED, 0x00, 0xAA, 0x00, 0x2F, 0xEA, 0xB5}};

constexpr size_t kSeconds = 10;

// Speech-like test audio: a gliding tone with noise.
std::vector<int16_t> TestPcm() {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-2000, 2000);
    std::vector<int16_t> pcm(kSeconds * 8000);
    for (size_t i = 0; i < pcm.size(); ++i) {
        const double t = i / 8000.0;
        pcm[i] = static_cast<int16_t>(9000 * std::sin(2 * M_PI * (200 + 50 * std::sin(t)) * t) +
                                      noise(random));
    }
    return pcm;
}

void BM_RawCodecEncode(benchmark::State& state) {
    const std::vector<int16_t> pcm = TestPcm();
    uint8_t out[media::kAmrMaxFrameBytes];
    for (auto _ : state) {
        media::AmrEncoder encoder;
        size_t bytes = 0;
        for (size_t at = 0; at + media::kAmrFrameSamples <= pcm.size();
             at += media::kAmrFrameSamples) {
            bytes += encoder.EncodeFrame(pcm.data() + at, out);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pcm.size()));
}
BENCHMARK(BM_RawCodecEncode)->Unit(benchmark::kMillisecond);

// 100 ms buffers through ProcessInput and ProcessOutput, as the wrapper gives the capture's
// samples.
void BM_RecorderEncodePath(benchmark::State& state) {
    kernel::Device device({.clock = kernel::ClockMode::Simulated});
    kernel::AttachedThread self("bench");
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const std::vector<int16_t> pcm = TestPcm();
    for (auto _ : state) {
        com::ComPtr<IMediaObject> dmo;
        CoCreateInstance(kAmrEncoder, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaObject,
                         reinterpret_cast<void**>(dmo.Out()));
        DMO_MEDIA_TYPE in{};
        DMO_MEDIA_TYPE out{};
        dmo->GetInputType(0, 0, &in);
        dmo->GetOutputType(0, 0, &out);
        dmo->SetInputType(0, &in, 0);
        dmo->SetOutputType(0, &out, 0);
        MoFreeMediaType(&in);
        MoFreeMediaType(&out);
        size_t bytes = 0;
        for (size_t at = 0; at < pcm.size(); at += 800) {
            auto* input = new media::MediaBuffer(1600, 1600);
            std::memcpy(input->data(), pcm.data() + at, 1600);
            dmo->ProcessInput(0, input, DMO_INPUT_DATA_BUFFERF_TIME,
                              static_cast<REFERENCE_TIME>(at) * 1250, 0);
            input->Release();
            auto* output = new media::MediaBuffer(4096, 0);
            DMO_OUTPUT_DATA_BUFFER buffer{output, 0, 0, 0};
            DWORD status = 0;
            dmo->ProcessOutput(0, 1, &buffer, &status);
            bytes += output->length();
            output->Release();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * pcm.size()));
    CoUninitialize();
}
BENCHMARK(BM_RecorderEncodePath)->Unit(benchmark::kMillisecond);

std::filesystem::path RecordingFile() {
    static const std::filesystem::path path = [] {
        auto file = std::filesystem::temp_directory_path() / "tovarin-bench-recording.amr";
        const std::vector<uint8_t> amr = media::EncodeAmrFile(TestPcm());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(amr.data()),
                   static_cast<std::streamsize>(amr.size()));
        return file;
    }();
    return path;
}

void BM_DecodePath(benchmark::State& state) {
    std::ifstream in(RecordingFile(), std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    std::vector<int16_t> pcm(media::kAmrFrameSamples);
    for (auto _ : state) {
        media::AmrDecoder decoder;
        auto frames = media::SplitAmrFrames(file);
        for (const auto& frame : *frames) {
            decoder.DecodeFrame(frame, pcm.data());
        }
        benchmark::DoNotOptimize(pcm.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSeconds * 8000));
}
BENCHMARK(BM_DecodePath)->Unit(benchmark::kMillisecond);

void BM_FfmpegDecode(benchmark::State& state) {
    const std::string command = "ffmpeg -nostdin -v error -i '" + RecordingFile().string() +
                                "' -f s16le -ac 1 -ar 8000 - 2>/dev/null";
    for (auto _ : state) {
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[65536];
        size_t bytes = 0;
        size_t n = 0;
        while (pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            bytes += n;
        }
        if (pipe != nullptr) {
            pclose(pipe);
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSeconds * 8000));
}
BENCHMARK(BM_FfmpegDecode)->Unit(benchmark::kMillisecond);

// The device's recorder graph records 30 s of device time: the wall time it costs.
void BM_Record30SecondsSimulated(benchmark::State& state) {
    const auto root = std::filesystem::temp_directory_path() / "tovarin-bench-image";
    std::filesystem::create_directories(root / "My Documents");
    kernel::Device device({.clock = kernel::ClockMode::Simulated, .image_root = root});
    kernel::AttachedThread self("bench");
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    media::SetMicrophone(media::SoundSpec::Tone(440));
    for (auto _ : state) {
        com::ComPtr<ICaptureGraphBuilder2> builder;
        com::ComPtr<IGraphBuilder> graph;
        com::ComPtr<IBaseFilter> capture, encoder, writer;
        CoCreateInstance(CLSID_CaptureGraphBuilder, nullptr, CLSCTX_INPROC_SERVER,
                         IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(builder.Out()));
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                         reinterpret_cast<void**>(graph.Out()));
        builder->SetFiltergraph(graph.Get());
        CoCreateInstance(CLSID_AudioRecord, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                         reinterpret_cast<void**>(capture.Out()));
        CoCreateInstance(CLSID_DMOWrapperFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                         reinterpret_cast<void**>(encoder.Out()));
        com::ComPtr<IDMOWrapperFilter> wrapper;
        encoder->QueryInterface(IID_IDMOWrapperFilter, reinterpret_cast<void**>(wrapper.Out()));
        wrapper->Init(kAmrEncoder, DMOCATEGORY_AUDIO_ENCODER);
        CoCreateInstance(kFileWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                         reinterpret_cast<void**>(writer.Out()));
        graph->AddFilter(capture.Get(), L"Audio Capture Filter");
        graph->AddFilter(encoder.Get(), L"Encoder");
        graph->AddFilter(writer.Get(), L"Writer");
        com::ComPtr<IAMStreamConfig> config;
        builder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, capture.Get(), IID_IAMStreamConfig,
                               reinterpret_cast<void**>(config.Out()));
        WAVEFORMATEX wave = {WAVE_FORMAT_PCM, 1, 8000, 16000, 2, 16, 0};
        AM_MEDIA_TYPE mt{MEDIATYPE_Audio,
                         MEDIASUBTYPE_PCM,
                         TRUE,
                         FALSE,
                         2,
                         FORMAT_WaveFormatEx,
                         nullptr,
                         sizeof wave,
                         reinterpret_cast<BYTE*>(&wave)};
        config->SetFormat(&mt);
        com::ComPtr<IFileSinkFilter> sink;
        writer->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(sink.Out()));
        sink->SetFileName(L"\\My Documents\\bench.amr", nullptr);
        builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Audio, capture.Get(), encoder.Get(),
                              writer.Get());
        com::ComPtr<IMediaControl> control;
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control.Out()));
        control->Run();
        Sleep(30000);
        control->Stop();
    }
    CoUninitialize();
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_Record30SecondsSimulated)->Unit(benchmark::kMillisecond);

}  // namespace
