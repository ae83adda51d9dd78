#include "audio_probe.h"

#include <gtest/gtest.h>

namespace tovarin::audio_probe {
namespace {

std::vector<int16_t> Silence(uint32_t ms) {
    return std::vector<int16_t>(ms * kProbeRate / 1000);
}

void Append(std::vector<int16_t>& to, const std::vector<int16_t>& what) {
    to.insert(to.end(), what.begin(), what.end());
}

TEST(AudioProbe, FindsATonesFrequencyToAFractionOfAHertz) {
    for (double hz : {350.0, 440.0, 1000.0, 1234.5, 3400.0}) {
        EXPECT_NEAR(DominantFrequency(MakeTone(hz, 1000)), hz, 0.5) << hz;
    }
    // A short stretch still places the tone within a few hertz.
    EXPECT_NEAR(DominantFrequency(MakeTone(440, 200)), 440, 3);
}

TEST(AudioProbe, TellsTheToneOfAMixFromOneThatIsNotThere) {
    std::vector<int16_t> mix = MakeTone(440, 1000);
    const std::vector<int16_t> quieter = MakeTone(1000, 1000);
    for (size_t i = 0; i < mix.size(); ++i) {
        mix[i] = static_cast<int16_t>(mix[i] + quieter[i] / 4);  // 12 dB below
    }
    EXPECT_NEAR(LevelBelowStrongestDb(mix, 440), 0, 0.5);
    EXPECT_NEAR(LevelBelowStrongestDb(mix, 1000), 12, 1.5);
    EXPECT_GT(LevelBelowStrongestDb(MakeTone(440, 1000), 1000), 60);
}

TEST(AudioProbe, TakesTheLongestSoundAcrossShortPauses) {
    std::vector<int16_t> audio = Silence(1000);
    Append(audio, MakeTone(500, 1500));
    Append(audio, Silence(200));  // a pause inside the sound
    Append(audio, MakeTone(700, 1000));
    Append(audio, Silence(2000));  // the end of it
    Append(audio, MakeTone(900, 400));
    const SoundStretch sound = FindSound(audio);
    EXPECT_EQ(sound.start_ms, 1000u);
    EXPECT_NEAR(sound.length_ms, 2700, 40);
    EXPECT_NEAR(sound.level_dbfs, -15 - 0.3, 1);  // a -12 dBFS sine is -15 dBFS RMS
}

TEST(AudioProbe, SilenceHasNoSound) {
    EXPECT_EQ(FindSound(Silence(3000)).length_ms, 0u);
    std::vector<int16_t> hiss(8000);
    for (size_t i = 0; i < hiss.size(); ++i) {
        hiss[i] = static_cast<int16_t>((i * 7919) % 61) - 30;  // about -63 dBFS
    }
    EXPECT_EQ(FindSound(hiss).length_ms, 0u);
}

}  // namespace
}  // namespace tovarin::audio_probe
