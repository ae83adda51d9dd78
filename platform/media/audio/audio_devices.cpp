#include "host/audio.h"

#include <algorithm>
#include <array>
#include <deque>
#include <fstream>
#include <map>
#include <mutex>

#include "host/device.h"
#include "kernel/device_local.h"
#include "kernel/scheduler.h"
#include "host/trace.h"
#include "media/audio/host_audio.h"
#include "media/audio/media_trace.h"
#include "media/audio/mixer.h"

namespace tovarin::media {
namespace {

constexpr uint64_t kBlockMs = kMixBlockSamples / 8;
// A block is mixed once it is this far in the past: renderers hand over each sample at its
// start time, so by then every sound playing has given what the block needs, whichever thread
// ran first at that instant.
constexpr uint64_t kMixLagMs = kBlockMs;
// What the phone sent to the line, kept for a whole-call recording: at most a second.
constexpr size_t kMaxSentSamples = 8000;
// The microphone's place in the line's mixer while a call is connected; playbacks count from 1.
constexpr int kMicrophoneSound = 0;

// One output's mixer and the next block of device time it mixes (block k covers
// [k * kBlockMs, (k + 1) * kBlockMs) ms).
struct OutputMix {
    Mixer mixer;
    uint64_t next_block = 0;
};

struct AudioState {
    std::mutex mutex;
    SoundSource microphone;
    SoundSource caller;
    std::shared_ptr<LineEndpoint> line;
    bool line_connected = false;
    std::vector<PcmFormat> capture_formats = DefaultCaptureFormats();
    bool capture_ignores_stop = false;
    std::map<int, PlayingSound> playing;
    int next_id = 1;
    std::array<OutputMix, 2> outputs;  // indexed by AudioOutput
    std::deque<int16_t> sent_to_line;
    std::optional<std::filesystem::path> speaker_file;
    std::vector<int16_t> speaker_samples;
    // The sound card, opened on first use in real time.
    bool host_audio_tried = false;
    std::unique_ptr<HostAudio> host_audio;

    ~AudioState() { FlushSpeakerFile(); }

    OutputMix& Output(AudioOutput output) { return outputs[static_cast<size_t>(output)]; }

    // Mixes every block of each output that is due by now_ms and sends it on.
    void MixUntil(uint64_t now_ms) {
        const uint64_t due = now_ms >= kMixLagMs ? (now_ms - kMixLagMs) / kBlockMs : 0;
        for (AudioOutput output : {AudioOutput::Speaker, AudioOutput::Line}) {
            OutputMix& mix = Output(output);
            while (mix.next_block < due) {
                if (!mix.mixer.HasPending() && !HearsMicrophone(output)) {
                    // Nothing to hear: the output is silent up to now, and sends nothing.
                    mix.next_block = due;
                    break;
                }
                MixNextBlock(output);
            }
        }
    }

    // Mixes whatever is still pending on an output at once.
    void DrainOutput(AudioOutput output) {
        while (Output(output).mixer.HasPending()) {
            MixNextBlock(output);
        }
    }

    void MixNextBlock(AudioOutput output) {
        OutputMix& mix = Output(output);
        std::array<int16_t, kMixBlockSamples> block{};
        if (HearsMicrophone(output)) {
            // The user speaks into the call: the microphone's block joins what plays to the line.
            ReadMicrophone(block);
            mix.mixer.Feed(kMicrophoneSound, block);
        }
        ++mix.next_block;
        if (mix.mixer.MixBlock(block)) {
            Send(output, block);
        }
    }

    void Send(AudioOutput output, std::span<const int16_t> block) {
        if (output == AudioOutput::Line) {
            if (line) {
                line->PlayToCaller(block);
            }
            if (line_connected) {
                sent_to_line.insert(sent_to_line.end(), block.begin(), block.end());
                if (sent_to_line.size() > kMaxSentSamples) {
                    sent_to_line.erase(
                        sent_to_line.begin(),
                        sent_to_line.begin() +
                            static_cast<std::ptrdiff_t>(sent_to_line.size() - kMaxSentSamples));
                }
            }
            return;
        }
        if (speaker_file) {
            speaker_samples.insert(speaker_samples.end(), block.begin(), block.end());
        }
        if (HostAudio* host = Host()) {
            host->Play(block);
        }
    }

    // Adds what the phone sent to the line, as far as it has been mixed, to the caller's voice.
    void AddSentToLine(std::span<int16_t> heard) {
        const size_t take = std::min(heard.size(), sent_to_line.size());
        for (size_t i = 0; i < take; ++i) {
            heard[i] = static_cast<int16_t>(std::clamp(heard[i] + sent_to_line[i], -32768, 32767));
        }
        sent_to_line.erase(sent_to_line.begin(),
                           sent_to_line.begin() + static_cast<std::ptrdiff_t>(take));
    }

    // While a call is connected the line sends the microphone, every block, whatever plays.
    bool HearsMicrophone(AudioOutput output) const {
        return output == AudioOutput::Line && line_connected;
    }

    // The card's microphone when there is one; what the console set otherwise.
    void ReadMicrophone(std::span<int16_t> out) {
        if (HostAudio* host = Host(); host != nullptr && host->Capture(out)) {
            return;
        }
        microphone.Read(out);
    }

    void FlushSpeakerFile() {
        if (speaker_file) {
            DrainOutput(AudioOutput::Speaker);  // so that the recording is whole
            const std::vector<uint8_t> bytes = MakeWave(speaker_samples);
            std::ofstream(*speaker_file, std::ios::binary | std::ios::trunc)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }

    HostAudio* Host() {
        if (kernel::Device::Current().options().clock != kernel::ClockMode::Real) {
            return nullptr;
        }
        if (!host_audio_tried) {
            host_audio_tried = true;
            host_audio = HostAudio::OpenDefault();
        }
        return host_audio.get();
    }
};

std::shared_ptr<AudioState> State() {
    static auto* state = new kernel::DeviceLocal<AudioState>;
    return state->Get();
}

uint64_t NowMs() {
    return kernel::Device::Current().NowMs();
}

}  // namespace

void TraceLine(std::wstring text) {
    kernel::Device& device = kernel::Device::Current();
    device.trace().Write({device.NowMs(), L"", std::move(text) + L"\r\n"});
}

const wchar_t* OutputName(AudioOutput output) {
    return output == AudioOutput::Line ? L"Line" : L"Speaker";
}

void SetMicrophone(SoundSpec spec) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->microphone = SoundSource(std::move(spec));
}

void SetCallerVoice(SoundSpec spec) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->caller = SoundSource(std::move(spec));
}

void ReadInput(AudioInput input, std::span<int16_t> out) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    // A recorder reads at the clock's pace: what is due on the outputs goes out meanwhile, the
    // end of a sound that nothing else follows among it.
    state->MixUntil(NowMs());
    if (input != AudioInput::Microphone) {
        if (state->line) {
            state->line->ReadCaller(out);
        } else {
            state->caller.Read(out);
        }
        if (input == AudioInput::Call) {
            state->AddSentToLine(out);
        }
        return;
    }
    state->ReadMicrophone(out);
}

void AttachLine(std::shared_ptr<LineEndpoint> line) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->line = std::move(line);
}

void SendDueLineAudio() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->MixUntil(NowMs());
}

void SetLineConnected(bool connected) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    const bool was = state->line_connected;
    if (was == connected) {
        return;
    }
    // What was due went out as it was: with the microphone while the call lasted, without it
    // before.
    state->MixUntil(NowMs());
    state->line_connected = connected;
    Mixer& line = state->Output(AudioOutput::Line).mixer;
    if (connected) {
        line.Add(kMicrophoneSound, 0);
    } else {
        line.Remove(kMicrophoneSound);
        // Each call starts with a silent caller until told otherwise.
        state->caller = SoundSource();
        state->sent_to_line.clear();
    }
}

bool LineConnected() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    return state->line_connected;
}

std::vector<PcmFormat> DefaultCaptureFormats() {
    return {{44100, 2, 16}, {22050, 1, 16}, {11025, 1, 16}, {8000, 1, 16}, {8000, 1, 8}};
}

std::vector<PcmFormat> CaptureFormats() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    return state->capture_formats;
}

void SetCaptureFormats(std::vector<PcmFormat> formats) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->capture_formats = std::move(formats);
}

void SetCaptureIgnoresStop(bool ignore) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->capture_ignores_stop = ignore;
}

bool CaptureIgnoresStop() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    return state->capture_ignores_stop;
}

int BeginPlayback(const std::wstring& path, int32_t volume, AudioOutput output) {
    auto state = State();
    PlayingSound sound;
    {
        std::lock_guard lock(state->mutex);
        state->MixUntil(NowMs());
        sound.id = state->next_id++;
        sound.path = path;
        sound.volume = volume;
        sound.output = output;
        state->playing[sound.id] = sound;
        state->Output(output).mixer.Add(sound.id, volume);
    }
    TraceLine(std::wstring(OutputName(sound.output)) + L": playing " + path + L" at volume " +
              std::to_wstring(volume));
    return sound.id;
}

void UpdatePlayback(int id, uint64_t position_ms, int32_t volume) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    auto it = state->playing.find(id);
    if (it != state->playing.end()) {
        state->MixUntil(NowMs());
        it->second.position_ms = position_ms;
        it->second.volume = volume;
        state->Output(it->second.output).mixer.SetVolume(id, volume);
    }
}

void PlaySamples(int id, std::span<const int16_t> samples) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    auto it = state->playing.find(id);
    if (it == state->playing.end()) {
        return;
    }
    state->MixUntil(NowMs());
    state->Output(it->second.output).mixer.Feed(id, samples);
}

void EndPlayback(int id, PlaybackEnd end) {
    auto state = State();
    PlayingSound sound;
    {
        std::lock_guard lock(state->mutex);
        auto it = state->playing.find(id);
        if (it == state->playing.end()) {
            return;
        }
        state->MixUntil(NowMs());
        sound = it->second;
        state->playing.erase(it);
        Mixer& mixer = state->Output(sound.output).mixer;
        if (end == PlaybackEnd::Finished) {
            mixer.Finish(id);
            // The last sound of an output ends: its tail goes out now rather than with whatever
            // touches the audio next, which may be long after.
            if (mixer.AllFinished()) {
                state->DrainOutput(sound.output);
            }
        } else {
            mixer.Remove(id);
        }
    }
    TraceLine(std::wstring(OutputName(sound.output)) + L": " +
              (end == PlaybackEnd::Finished ? L"finished " : L"stopped ") + sound.path + L" at " +
              std::to_wstring(sound.position_ms) + L" ms");
}

std::vector<PlayingSound> NowPlaying() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->MixUntil(NowMs());
    std::vector<PlayingSound> all;
    for (const auto& [id, sound] : state->playing) {
        all.push_back(sound);
    }
    return all;
}

bool StartSpeakerRecording(const std::filesystem::path& wave, std::string* error) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    std::ofstream probe(wave, std::ios::binary | std::ios::trunc);
    if (!probe) {
        if (error != nullptr) {
            *error = "cannot write " + wave.string();
        }
        return false;
    }
    state->FlushSpeakerFile();
    state->speaker_file = wave;
    state->speaker_samples.clear();
    return true;
}

void StopSpeakerRecording() {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->FlushSpeakerFile();
    state->speaker_file.reset();
    state->speaker_samples.clear();
}

}  // namespace tovarin::media
