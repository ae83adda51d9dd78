// The sound card through PortAudio: blocking-free streams whose callbacks move samples through
// two ring buffers, so that the device's clocked threads never wait for the card.
#include <portaudio.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "media/audio/host_audio.h"

namespace tovarin::media {
namespace {

constexpr double kRate = 8000.0;
constexpr size_t kRingSamples = 8000;  // one second each way

class Ring {
  public:
    explicit Ring(size_t capacity) : data_(capacity) {}
    size_t Push(std::span<const int16_t> in) {
        std::lock_guard lock(mutex_);
        size_t n = std::min(in.size(), data_.size() - size_);
        for (size_t i = 0; i < n; ++i) {
            data_[(head_ + size_ + i) % data_.size()] = in[i];
        }
        size_ += n;
        return n;
    }
    size_t Pop(std::span<int16_t> out) {
        std::lock_guard lock(mutex_);
        size_t n = std::min(out.size(), size_);
        for (size_t i = 0; i < n; ++i) {
            out[i] = data_[(head_ + i) % data_.size()];
        }
        head_ = (head_ + n) % data_.size();
        size_ -= n;
        std::fill(out.begin() + static_cast<ptrdiff_t>(n), out.end(), 0);
        return n;
    }

  private:
    std::mutex mutex_;
    std::vector<int16_t> data_;
    size_t head_ = 0;
    size_t size_ = 0;
};

// PortAudio and the audio libraries below it print their probing to stderr; a machine without a
// sound card would fill the console with it. Stderr is pointed at /dev/null while they probe.
class QuietStderr {
  public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, STDERR_FILENO);
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ >= 0) {
            dup2(saved_, STDERR_FILENO);
            close(saved_);
        }
    }

  private:
    int saved_;
};

class PortAudioDevice final : public HostAudio {
  public:
    ~PortAudioDevice() override {
        QuietStderr quiet;
        for (PaStream* stream : {output_, input_}) {
            if (stream != nullptr) {
                Pa_StopStream(stream);
                Pa_CloseStream(stream);
            }
        }
        Pa_Terminate();
    }

    static std::unique_ptr<HostAudio> Open() {
        QuietStderr quiet;
        if (Pa_Initialize() != paNoError) {
            return nullptr;
        }
        auto device = std::unique_ptr<PortAudioDevice>(new PortAudioDevice);
        if (Pa_GetDefaultOutputDevice() != paNoDevice &&
            Pa_OpenDefaultStream(&device->output_, 0, 1, paInt16, kRate,
                                 paFramesPerBufferUnspecified, &PortAudioDevice::OutputCallback,
                                 device.get()) == paNoError) {
            Pa_StartStream(device->output_);
        } else {
            device->output_ = nullptr;
        }
        if (Pa_GetDefaultInputDevice() != paNoDevice &&
            Pa_OpenDefaultStream(&device->input_, 1, 0, paInt16, kRate,
                                 paFramesPerBufferUnspecified, &PortAudioDevice::InputCallback,
                                 device.get()) == paNoError) {
            Pa_StartStream(device->input_);
        } else {
            device->input_ = nullptr;
        }
        if (device->output_ == nullptr && device->input_ == nullptr) {
            return nullptr;  // the destructor terminates PortAudio
        }
        return device;
    }

    void Play(std::span<const int16_t> samples) override {
        if (output_ != nullptr) {
            to_card_.Push(samples);
        }
    }
    bool Capture(std::span<int16_t> samples) override {
        if (input_ == nullptr) {
            return false;
        }
        from_card_.Pop(samples);
        return true;
    }

  private:
    PortAudioDevice() = default;

    static int OutputCallback(const void*, void* output, unsigned long frames,
                              const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* self) {
        auto* device = static_cast<PortAudioDevice*>(self);
        device->to_card_.Pop(std::span(static_cast<int16_t*>(output), frames));
        return paContinue;
    }
    static int InputCallback(const void* input, void*, unsigned long frames,
                             const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* self) {
        auto* device = static_cast<PortAudioDevice*>(self);
        device->from_card_.Push(std::span(static_cast<const int16_t*>(input), frames));
        return paContinue;
    }

    PaStream* output_ = nullptr;
    PaStream* input_ = nullptr;
    Ring to_card_{kRingSamples};
    Ring from_card_{kRingSamples};
};

}  // namespace

std::unique_ptr<HostAudio> HostAudio::OpenDefault() {
    return PortAudioDevice::Open();
}

}  // namespace tovarin::media
