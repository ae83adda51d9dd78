#include "sip/line_audio.h"

#include <algorithm>

namespace tovarin::emulator::sip {
namespace {

void Append(std::deque<int16_t>& queue, std::span<const int16_t> samples) {
    queue.insert(queue.end(), samples.begin(), samples.end());
    if (queue.size() > kMaxQueuedSamples) {
        queue.erase(queue.begin(),
                    queue.begin() + static_cast<std::ptrdiff_t>(queue.size() - kMaxQueuedSamples));
    }
}

size_t Take(std::deque<int16_t>& queue, std::span<int16_t> out) {
    const size_t waiting = queue.size();
    const size_t taken = std::min(waiting, out.size());
    std::copy_n(queue.begin(), taken, out.begin());
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(taken), out.end(), int16_t{0});
    queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(taken));
    return waiting;
}

}  // namespace

void LineAudio::ReadCaller(std::span<int16_t> out) {
    std::lock_guard lock(mutex_);
    // The caller's voice is live: what came while nobody listened (before a recorder started)
    // is dropped, but for one packet's slack, so that a reader hears what is said now.
    const size_t keep = out.size() + kPacketSlackSamples;
    if (from_caller_.size() > keep) {
        from_caller_.erase(
            from_caller_.begin(),
            from_caller_.begin() + static_cast<std::ptrdiff_t>(from_caller_.size() - keep));
    }
    waiting_at_reads_ += std::min(from_caller_.size(), out.size());
    ++reads_;
    Take(from_caller_, out);
}

std::optional<uint32_t> LineAudio::ReaderDelayMs() {
    std::lock_guard lock(mutex_);
    if (reads_ == 0) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(waiting_at_reads_ / reads_ / 8);
}

void LineAudio::PlayToCaller(std::span<const int16_t> samples) {
    std::lock_guard lock(mutex_);
    Append(to_caller_, samples);
}

size_t LineAudio::FromCaller(std::span<const int16_t> samples) {
    std::lock_guard lock(mutex_);
    const size_t waiting = from_caller_.size();
    Append(from_caller_, samples);
    return waiting;
}

size_t LineAudio::ToCaller(std::span<int16_t> out) {
    std::lock_guard lock(mutex_);
    return Take(to_caller_, out);
}

}  // namespace tovarin::emulator::sip
