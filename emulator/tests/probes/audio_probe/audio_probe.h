// What a call's recordings hold, measured the way a listener would judge them: where the sound is
// and which tone it carries. All audio here is 8000 Hz mono 16-bit, the line's format.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tovarin::audio_probe {

inline constexpr int kProbeRate = 8000;

// The longest stretch of sound, in milliseconds from the start: 20 ms frames louder than
// kSoundThresholdDbfs, joined across quieter gaps shorter than kLongestPauseMs (a greeting's
// pause between two notes is one greeting, not two).
struct SoundStretch {
    uint32_t start_ms = 0;
    uint32_t length_ms = 0;    // 0 when the audio is silent throughout
    double level_dbfs = -120;  // the stretch's RMS level
};
inline constexpr double kSoundThresholdDbfs = -40;
inline constexpr uint32_t kLongestPauseMs = 300;

SoundStretch FindSound(std::span<const int16_t> samples);

// The frequency with the most energy between 50 and 3950 Hz, found to a fraction of a hertz.
double DominantFrequency(std::span<const int16_t> samples);

// How far below the strongest frequency's power (in dB, 0 or more) hz lies: a mix of two tones
// carries both within a few dB, a single tone leaves every other frequency tens of dB below.
double LevelBelowStrongestDb(std::span<const int16_t> samples, double hz);

// A sine of hz at -12 dBFS, faded in and out over 10 ms so that its edges do not click.
std::vector<int16_t> MakeTone(double hz, uint32_t ms);

}  // namespace tovarin::audio_probe
