#include "sip/line_audio.h"

#include <algorithm>

namespace tovarin::emulator::sip {

void TimedQueue::Put(std::span<const int16_t> samples, Clock::time_point now) {
    if (samples.empty()) {
        return;
    }
    batches_.push_back({gone_ + samples_.size(), now});
    samples_.insert(samples_.end(), samples.begin(), samples.end());
    if (samples_.size() > kMaxQueuedSamples) {
        Drop(samples_.size() - kMaxQueuedSamples);
    }
}

void TimedQueue::Take(std::span<int16_t> out, Clock::time_point now) {
    const size_t taken = std::min(samples_.size(), out.size());
    std::copy_n(samples_.begin(), taken, out.begin());
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(taken), out.end(), int16_t{0});
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(taken));
    gone_ += taken;
    while (!batches_.empty() && batches_.front().first < gone_) {
        delay_sum_ += now - batches_.front().came;
        ++delays_;
        batches_.pop_front();
    }
}

void TimedQueue::Trim(size_t keep) {
    if (samples_.size() > keep) {
        Drop(samples_.size() - keep);
    }
}

void TimedQueue::Drop(size_t count) {
    samples_.erase(samples_.begin(), samples_.begin() + static_cast<std::ptrdiff_t>(count));
    gone_ += count;
    // A batch whose first sample was dropped was never heard from its start: not measured.
    while (!batches_.empty() && batches_.front().first < gone_) {
        batches_.pop_front();
    }
}

std::optional<uint32_t> TimedQueue::MeanDelayMs() const {
    if (delays_ == 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(delay_sum_).count() /
        static_cast<int64_t>(delays_));
}

void LineAudio::ReadCaller(std::span<int16_t> out) {
    std::lock_guard lock(mutex_);
    // The caller's voice is live: what came while nobody listened (before a recorder started)
    // is dropped, but for one packet's slack, so that a reader hears what is said now.
    from_caller_.Trim(out.size() + kPacketSlackSamples);
    from_caller_.Take(out, TimedQueue::Clock::now());
}

void LineAudio::PlayToCaller(std::span<const int16_t> samples) {
    std::lock_guard lock(mutex_);
    to_caller_.Put(samples, TimedQueue::Clock::now());
}

void LineAudio::FromCaller(std::span<const int16_t> samples) {
    std::lock_guard lock(mutex_);
    from_caller_.Put(samples, TimedQueue::Clock::now());
}

void LineAudio::ToCaller(std::span<int16_t> out) {
    std::lock_guard lock(mutex_);
    to_caller_.Take(out, TimedQueue::Clock::now());
}

std::optional<uint32_t> LineAudio::FromCallerDelayMs() {
    std::lock_guard lock(mutex_);
    return from_caller_.MeanDelayMs();
}

std::optional<uint32_t> LineAudio::ToCallerDelayMs() {
    std::lock_guard lock(mutex_);
    return to_caller_.MeanDelayMs();
}

}  // namespace tovarin::emulator::sip
