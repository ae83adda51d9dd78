// The host's sound card, for a device in real time (PortAudio). A machine without one gets no
// HostAudio, and the device's audio ends stay silent and paced by the device clock.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace tovarin::media {

class HostAudio {
  public:
    virtual ~HostAudio() = default;
    // Queues samples for the speaker; what does not fit in the card's buffer is dropped.
    virtual void Play(std::span<const int16_t> samples) = 0;
    // Takes what the microphone captured, padding with silence; false when the card has no input.
    virtual bool Capture(std::span<int16_t> samples) = 0;

    // The default devices at 8000 Hz mono 16-bit, or nullptr without a sound card. Says nothing
    // on the console either way.
    static std::unique_ptr<HostAudio> OpenDefault();
};

}  // namespace tovarin::media
