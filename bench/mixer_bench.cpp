// The cost of an audio output's mix per 20 ms block (160 samples at 8000 Hz) with 1, 3 and 8
// sounds playing to it, through the door as the renderers drive it (each sound hands over its
// block, the device clock moves on, and the output mixes what is due), against decoding one
// AMR-NB stream alone (one 20 ms frame).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "host/amr_nb.h"
#include "host/audio.h"
#include "host/device.h"

namespace {

using namespace tovarin;

constexpr size_t kBlockSamples = 160;

std::vector<int16_t> ToneBlock(double hz) {
    std::vector<int16_t> block(kBlockSamples);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<int16_t>(12000 * std::sin(2 * M_PI * hz * i / 8000.0));
    }
    return block;
}

void BM_MixOneBlock(benchmark::State& state) {
    kernel::Device device({.clock = kernel::ClockMode::Simulated});
    kernel::AttachedThread self("bench");
    const auto sounds = static_cast<int>(state.range(0));
    std::vector<int> ids;
    std::vector<std::vector<int16_t>> blocks;
    for (int i = 0; i < sounds; ++i) {
        ids.push_back(media::BeginPlayback(L"\\Windows\\sound" + std::to_wstring(i) + L".amr",
                                           -600 * i, media::AudioOutput::Line));
        blocks.push_back(ToneBlock(300 + 100 * i));
    }
    uint64_t position_ms = 0;
    for (auto _ : state) {
        for (int i = 0; i < sounds; ++i) {
            media::PlaySamples(ids[i], blocks[i]);
        }
        kernel::AdvanceDeviceTime(20);
        position_ms += 20;
        // Any touch of the audio state mixes what is due: here the first sound's position.
        media::UpdatePlayback(ids[0], position_ms, 0);
    }
    for (int id : ids) {
        media::EndPlayback(id, media::PlaybackEnd::Stopped);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kBlockSamples));
}
BENCHMARK(BM_MixOneBlock)->Arg(1)->Arg(3)->Arg(8)->Unit(benchmark::kMicrosecond);

void BM_DecodeOneAmrFrame(benchmark::State& state) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < 50; ++i) {
        const std::vector<int16_t> block = ToneBlock(440);
        pcm.insert(pcm.end(), block.begin(), block.end());
    }
    const std::vector<uint8_t> file = media::EncodeAmrFile(pcm);
    const auto frames = media::SplitAmrFrames(file);
    media::AmrDecoder decoder;
    int16_t samples[media::kAmrFrameSamples];
    size_t next = 0;
    for (auto _ : state) {
        decoder.DecodeFrame((*frames)[next], samples);
        next = (next + 1) % frames->size();
        benchmark::DoNotOptimize(samples);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * media::kAmrFrameSamples));
}
BENCHMARK(BM_DecodeOneAmrFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
