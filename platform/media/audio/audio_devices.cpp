#include "host/audio.h"

#include <fstream>
#include <map>
#include <mutex>

#include "host/device.h"
#include "kernel/device_local.h"
#include "kernel/scheduler.h"
#include "host/trace.h"
#include "media/audio/host_audio.h"
#include "media/audio/media_trace.h"

namespace tovarin::media {
namespace {

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
    std::optional<std::filesystem::path> speaker_file;
    std::vector<int16_t> speaker_samples;
    // The sound card, opened on first use in real time.
    bool host_audio_tried = false;
    std::unique_ptr<HostAudio> host_audio;

    ~AudioState() { FlushSpeakerFile(); }

    void FlushSpeakerFile() {
        if (speaker_file) {
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
    if (input == AudioInput::Line) {
        if (state->line) {
            state->line->ReadCaller(out);
        } else {
            state->caller.Read(out);
        }
        return;
    }
    // The card's microphone when there is one; what the console set otherwise.
    if (HostAudio* host = state->Host(); host != nullptr && host->Capture(out)) {
        return;
    }
    state->microphone.Read(out);
}

void AttachLine(std::shared_ptr<LineEndpoint> line) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    state->line = std::move(line);
}

void SetLineConnected(bool connected) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    const bool was = state->line_connected;
    state->line_connected = connected;
    if (was && !connected) {
        // Each call starts with a silent caller until told otherwise.
        state->caller = SoundSource();
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

int BeginPlayback(const std::wstring& path, int32_t volume) {
    auto state = State();
    PlayingSound sound;
    {
        std::lock_guard lock(state->mutex);
        sound.id = state->next_id++;
        sound.path = path;
        sound.volume = volume;
        sound.output = state->line_connected ? AudioOutput::Line : AudioOutput::Speaker;
        state->playing[sound.id] = sound;
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
        it->second.position_ms = position_ms;
        it->second.volume = volume;
    }
}

void PlaySamples(int id, std::span<const int16_t> samples) {
    auto state = State();
    std::lock_guard lock(state->mutex);
    auto it = state->playing.find(id);
    if (it == state->playing.end()) {
        return;
    }
    if (it->second.output == AudioOutput::Line) {
        if (state->line) {
            state->line->PlayToCaller(samples);
        }
        return;
    }
    if (state->speaker_file) {
        state->speaker_samples.insert(state->speaker_samples.end(), samples.begin(), samples.end());
    }
    if (HostAudio* host = state->Host()) {
        host->Play(samples);
    }
}

void EndPlayback(int id, const wchar_t* how) {
    auto state = State();
    PlayingSound sound;
    {
        std::lock_guard lock(state->mutex);
        auto it = state->playing.find(id);
        if (it == state->playing.end()) {
            return;
        }
        sound = it->second;
        state->playing.erase(it);
    }
    TraceLine(std::wstring(OutputName(sound.output)) + L": " + how + L" " + sound.path + L" at " +
              std::to_wstring(sound.position_ms) + L" ms");
}

std::vector<PlayingSound> NowPlaying() {
    auto state = State();
    std::lock_guard lock(state->mutex);
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
