#include "media/audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tovarin::media {

double VolumeGain(int32_t volume) {
    return volume <= -10000 ? 0.0 : std::pow(10.0, volume / 2000.0);
}

void Mixer::Add(int id, int32_t volume) {
    sounds_[id].gain = VolumeGain(volume);
}

void Mixer::SetVolume(int id, int32_t volume) {
    if (auto it = sounds_.find(id); it != sounds_.end()) {
        it->second.gain = VolumeGain(volume);
    }
}

void Mixer::Feed(int id, std::span<const int16_t> samples) {
    if (auto it = sounds_.find(id); it != sounds_.end() && !it->second.finished) {
        it->second.pending.insert(it->second.pending.end(), samples.begin(), samples.end());
        it->second.begun = it->second.begun || !samples.empty();
    }
}

void Mixer::Finish(int id) {
    if (auto it = sounds_.find(id); it != sounds_.end()) {
        it->second.finished = true;
    }
}

void Mixer::Remove(int id) {
    sounds_.erase(id);
}

bool Mixer::HasPending() const {
    return std::any_of(sounds_.begin(), sounds_.end(),
                       [](const auto& entry) { return !entry.second.pending.empty(); });
}

bool Mixer::AllFinished() const {
    return std::all_of(sounds_.begin(), sounds_.end(),
                       [](const auto& entry) { return entry.second.finished; });
}

bool Mixer::MixBlock(std::span<int16_t> out) {
    std::erase_if(sounds_, [](const auto& entry) {
        return entry.second.finished && entry.second.pending.empty();
    });
    // Summed in doubles, so that loud sounds saturate once at the end, not one by one.
    std::vector<double> sum(out.size(), 0.0);
    bool played = false;
    for (auto& [id, sound] : sounds_) {
        if (!sound.begun) {
            continue;
        }
        played = true;
        // A sound whose renderer is late adds silence where it runs short; what it is fed later
        // follows without a gap.
        const size_t take = std::min(out.size(), sound.pending.size());
        for (size_t i = 0; i < take; ++i) {
            sum[i] += sound.pending[i] * sound.gain;
        }
        sound.pending.erase(sound.pending.begin(),
                            sound.pending.begin() + static_cast<std::ptrdiff_t>(take));
    }
    constexpr double kLow = std::numeric_limits<int16_t>::min();
    constexpr double kHigh = std::numeric_limits<int16_t>::max();
    for (size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<int16_t>(std::lround(std::clamp(sum[i], kLow, kHigh)));
    }
    return played;
}

}  // namespace tovarin::media
