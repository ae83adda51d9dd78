// The phone line's far end while a SIP call is connected: two bounded sample queues between the
// device's audio threads (which read the caller and play to the line at the pace of the device
// clock) and the SIP line's thread (which moves 20 ms packets at the pace of the host clock; in
// real time the two are the same clock).
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>

#include "host/audio.h"

namespace tovarin::emulator::sip {

// Each way holds at most this much; older samples are dropped, so the delay stays bounded when
// one side stalls.
inline constexpr size_t kMaxQueuedSamples = 8000 * 400 / 1000;
// What a reader of the caller's voice finds beyond what it asks for is dropped, but for 20 ms.
inline constexpr size_t kPacketSlackSamples = 160;

// Samples in order, with the host time each batch came in, so that the time from a batch's
// coming to its first sample's going can be measured.
class TimedQueue {
  public:
    using Clock = std::chrono::steady_clock;

    void Put(std::span<const int16_t> samples, Clock::time_point now);
    // Fills out from the front, silence where the queue runs short.
    void Take(std::span<int16_t> out, Clock::time_point now);
    // Drops the oldest samples beyond keep.
    void Trim(size_t keep);
    // The mean time from a batch's coming to its first sample's going; nullopt before any went.
    std::optional<uint32_t> MeanDelayMs() const;

  private:
    void Drop(size_t count);

    struct Batch {
        uint64_t first;  // index of its first sample since the queue began
        Clock::time_point came;
    };
    std::deque<int16_t> samples_;
    std::deque<Batch> batches_;
    uint64_t gone_ = 0;  // index of the front sample
    Clock::duration delay_sum_{};
    uint64_t delays_ = 0;
};

class LineAudio final : public media::LineEndpoint {
  public:
    // The device's side.
    void ReadCaller(std::span<int16_t> out) override;
    void PlayToCaller(std::span<const int16_t> samples) override;

    // The SIP line's side: what the caller said, and the next samples for the caller (silence
    // where nothing was played).
    void FromCaller(std::span<const int16_t> samples);
    void ToCaller(std::span<int16_t> out);

    // Mean milliseconds from the caller's packet's leaving the jitter buffer to a reader of the
    // line taking it, and from the device's playing to the line to the packet's going out;
    // nullopt while nothing went that way.
    std::optional<uint32_t> FromCallerDelayMs();
    std::optional<uint32_t> ToCallerDelayMs();

  private:
    std::mutex mutex_;
    TimedQueue from_caller_;
    TimedQueue to_caller_;
};

}  // namespace tovarin::emulator::sip
