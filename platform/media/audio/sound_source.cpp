#include "host/sound_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tovarin::media {

SoundSpec SoundSpec::Silence() {
    SoundSpec spec;
    spec.label = L"silence";
    return spec;
}

SoundSpec SoundSpec::Tone(uint32_t hz) {
    SoundSpec spec;
    spec.kind = Kind::Tone;
    spec.hz = hz;
    spec.label = L"tone " + std::to_wstring(hz) + L" Hz";
    return spec;
}

SoundSpec SoundSpec::Recorded(std::vector<int16_t> samples, std::wstring label) {
    SoundSpec spec;
    spec.kind = Kind::Samples;
    spec.samples = std::make_shared<const std::vector<int16_t>>(std::move(samples));
    spec.label = std::move(label);
    return spec;
}

void SoundSource::Read(std::span<int16_t> out) {
    switch (spec_.kind) {
        case SoundSpec::Kind::Silence:
            std::fill(out.begin(), out.end(), 0);
            break;
        case SoundSpec::Kind::Tone:
            // Half of full scale: loud enough to survive the codec, far from clipping.
            for (int16_t& s : out) {
                const double t = static_cast<double>(position_++) / 8000.0;
                s = static_cast<int16_t>(16000.0 * std::sin(2.0 * std::numbers::pi * spec_.hz * t));
            }
            break;
        case SoundSpec::Kind::Samples: {
            const std::vector<int16_t>& all = *spec_.samples;
            for (int16_t& s : out) {
                s = position_ < all.size() ? all[position_] : 0;
                ++position_;
            }
            break;
        }
    }
}

}  // namespace tovarin::media
