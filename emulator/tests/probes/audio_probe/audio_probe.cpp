#include "audio_probe.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tovarin::audio_probe {
namespace {

constexpr size_t kFrameSamples = kProbeRate / 50;  // 20 ms
constexpr uint32_t kFrameMs = 20;

double Dbfs(double sum_of_squares, size_t count) {
    if (count == 0 || sum_of_squares <= 0) {
        return -120;
    }
    return std::max(-120.0, 10 * std::log10(sum_of_squares / count / (32768.0 * 32768.0)));
}

// Goertzel's power of one frequency over a Hann-windowed block.
double PowerAt(std::span<const double> windowed, double hz) {
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / kProbeRate);
    double previous = 0;
    double before_previous = 0;
    for (double x : windowed) {
        const double current = x + coefficient * previous - before_previous;
        before_previous = previous;
        previous = current;
    }
    return previous * previous + before_previous * before_previous -
           coefficient * previous * before_previous;
}

// The first second of samples under a Hann window; empty when there is less than a frame.
std::vector<double> Windowed(std::span<const int16_t> samples) {
    // A second is enough for a resolution well under a hertz.
    const size_t count = std::min<size_t>(samples.size(), kProbeRate);
    if (count < kFrameSamples) {
        return {};
    }
    std::vector<double> windowed(count);
    for (size_t i = 0; i < count; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (count - 1));
        windowed[i] = samples[i] * hann;
    }
    return windowed;
}

// The 1 Hz step between 50 and 3950 Hz with the most power.
double StrongestStep(std::span<const double> windowed, double* power) {
    double best_hz = 50;
    double best_power = -1;
    for (double hz = 50; hz <= 3950; hz += 1) {
        const double p = PowerAt(windowed, hz);
        if (p > best_power) {
            best_power = p;
            best_hz = hz;
        }
    }
    *power = best_power;
    return best_hz;
}

}  // namespace

SoundStretch FindSound(std::span<const int16_t> samples) {
    SoundStretch best;
    size_t frames = samples.size() / kFrameSamples;
    size_t run_first = 0;
    size_t run_last = 0;
    bool in_run = false;
    double run_energy = 0;
    size_t run_count = 0;
    auto close_run = [&] {
        const uint32_t length = static_cast<uint32_t>(run_last + 1 - run_first) * kFrameMs;
        if (length > best.length_ms) {
            best = {static_cast<uint32_t>(run_first) * kFrameMs, length,
                    Dbfs(run_energy, run_count)};
        }
    };
    for (size_t frame = 0; frame < frames; ++frame) {
        double energy = 0;
        for (size_t i = 0; i < kFrameSamples; ++i) {
            const double s = samples[frame * kFrameSamples + i];
            energy += s * s;
        }
        if (Dbfs(energy, kFrameSamples) < kSoundThresholdDbfs) {
            continue;
        }
        if (in_run && (frame - run_last - 1) * kFrameMs >= kLongestPauseMs) {
            close_run();
            in_run = false;
        }
        if (!in_run) {
            in_run = true;
            run_first = frame;
            run_energy = 0;
            run_count = 0;
        }
        // The pause inside the run counts towards its level as well.
        for (size_t gap = run_last + 1; run_count > 0 && gap < frame; ++gap) {
            for (size_t i = 0; i < kFrameSamples; ++i) {
                const double s = samples[gap * kFrameSamples + i];
                run_energy += s * s;
            }
            run_count += kFrameSamples;
        }
        run_energy += energy;
        run_count += kFrameSamples;
        run_last = frame;
    }
    if (in_run) {
        close_run();
    }
    return best;
}

double DominantFrequency(std::span<const int16_t> samples) {
    const std::vector<double> windowed = Windowed(samples);
    if (windowed.empty()) {
        return 0;
    }
    // A 1 Hz scan finds the peak; a parabola through the peak and its neighbours places it.
    double best_power = 0;
    double best_hz = StrongestStep(windowed, &best_power);
    const double below = std::sqrt(PowerAt(windowed, best_hz - 1));
    const double peak = std::sqrt(best_power);
    const double above = std::sqrt(PowerAt(windowed, best_hz + 1));
    const double curvature = below - 2 * peak + above;
    if (curvature < 0) {
        best_hz += 0.5 * (below - above) / curvature;
    }
    return best_hz;
}

double LevelBelowStrongestDb(std::span<const int16_t> samples, double hz) {
    const std::vector<double> windowed = Windowed(samples);
    double strongest = 0;
    StrongestStep(windowed, &strongest);
    // The Hann window spreads a tone over a few hertz: the best of hz and its neighbours counts.
    double power = 0;
    for (double near = hz - 1; near <= hz + 1; near += 0.5) {
        power = std::max(power, PowerAt(windowed, near));
    }
    if (windowed.empty() || strongest <= 0 || power <= 0) {
        return 120;
    }
    return std::max(0.0, 10 * std::log10(strongest / power));
}

std::vector<int16_t> MakeTone(double hz, uint32_t ms) {
    const size_t count = static_cast<size_t>(ms) * kProbeRate / 1000;
    const size_t fade = kProbeRate / 100;
    const double amplitude = 32767 * std::pow(10.0, -12 / 20.0);
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) {
        const double edge = std::min({1.0, double(i) / fade, double(count - 1 - i) / fade});
        samples[i] = static_cast<int16_t>(
            std::lround(amplitude * edge * std::sin(2 * std::numbers::pi * hz * i / kProbeRate)));
    }
    return samples;
}

}  // namespace tovarin::audio_probe
