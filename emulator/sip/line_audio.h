// The phone line's far end while a SIP call is connected: two bounded sample queues between the
// device's audio threads (which read the caller and play to the line at the pace of the device
// clock) and the SIP line's thread (which moves 20 ms packets at the pace of the host clock; in
// real time the two are the same clock).
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>

#include "media/audio/audio_devices.h"

namespace tovarin::emulator::sip {

// Each way holds at most this much; older samples are dropped, so the delay stays bounded when
// one side stalls.
inline constexpr size_t kMaxQueuedSamples = 8000 * 400 / 1000;
// What a reader of the caller's voice finds beyond what it asks for is dropped, but for 20 ms.
inline constexpr size_t kPacketSlackSamples = 160;

class LineAudio final : public media::LineEndpoint {
  public:
    // The device's side.
    void ReadCaller(std::span<int16_t> out) override;
    void PlayToCaller(std::span<const int16_t> samples) override;

    // The SIP line's side: what the caller said, and the next samples for the caller (silence
    // where nothing was played). Both return how many samples were waiting before the call, for
    // the delay figures.
    size_t FromCaller(std::span<const int16_t> samples);
    size_t ToCaller(std::span<int16_t> out);
    // How long, on the mean, the oldest sample a reader of the caller's voice took had waited
    // in the queue, in milliseconds; nullopt while nothing has read.
    std::optional<uint32_t> ReaderDelayMs();

  private:
    std::mutex mutex_;
    std::deque<int16_t> from_caller_;
    std::deque<int16_t> to_caller_;
    uint64_t waiting_at_reads_ = 0;
    uint64_t reads_ = 0;
};

}  // namespace tovarin::emulator::sip
