// The mix of one output: what a block holds when sounds start, end, change volume and overflow.
#include "media/audio/mixer.h"

#include <gtest/gtest.h>

#include <vector>

namespace tovarin::media {
namespace {

std::vector<int16_t> Steady(int16_t value, size_t blocks = 1) {
    return std::vector<int16_t>(kMixBlockSamples * blocks, value);
}

std::vector<int16_t> Mix(Mixer& mixer, bool* played = nullptr) {
    std::vector<int16_t> block(kMixBlockSamples, 12345);
    const bool any = mixer.MixBlock(block);
    if (played != nullptr) {
        *played = any;
    }
    return block;
}

TEST(MixerTest, SoundsAreSummedEachAtItsVolume) {
    Mixer mixer;
    mixer.Add(1, 0);
    mixer.Add(2, -600);  // half the amplitude, near enough: 10^(-0.3)
    mixer.Feed(1, Steady(1000));
    std::vector<int16_t> ramp(kMixBlockSamples);
    for (size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = static_cast<int16_t>(i * 10);
    }
    mixer.Feed(2, ramp);
    const std::vector<int16_t> block = Mix(mixer);
    for (size_t i = 0; i < block.size(); i += 37) {
        EXPECT_NEAR(block[i], 1000 + ramp[i] * 0.501, 1.0) << "sample " << i;
    }
}

TEST(MixerTest, TheSumSaturatesAtBothEndsInsteadOfWrapping) {
    Mixer mixer;
    mixer.Add(1, 0);
    mixer.Add(2, 0);
    mixer.Feed(1, Steady(30000, 2));
    mixer.Feed(2, Steady(20000));
    mixer.Feed(2, Steady(-32768));
    EXPECT_EQ(Mix(mixer), Steady(32767));
    mixer.Feed(1, Steady(-30000));
    mixer.Remove(1);  // stopped: what it was fed is not heard
    mixer.Add(3, 0);
    mixer.Feed(3, Steady(-20000));
    EXPECT_EQ(Mix(mixer), Steady(-32768));
}

TEST(MixerTest, AVolumeChangeIsHeardFromTheNextBlock) {
    Mixer mixer;
    mixer.Add(1, 0);
    mixer.Feed(1, Steady(8000, 3));
    EXPECT_EQ(Mix(mixer), Steady(8000));
    mixer.SetVolume(1, -2000);  // a tenth
    EXPECT_EQ(Mix(mixer), Steady(800));
    mixer.SetVolume(1, -10000);  // -100 dB is silence
    bool played = false;
    EXPECT_EQ(Mix(mixer, &played), Steady(0));
    EXPECT_TRUE(played);
}

TEST(MixerTest, ASoundThatEndsLeavesTheOthersPlaying) {
    Mixer mixer;
    mixer.Add(1, 0);
    mixer.Add(2, 0);
    mixer.Feed(1, Steady(100, 3));
    // The effect's last 80 samples are heard, then silence where it ran out; it then leaves.
    mixer.Feed(2, Steady(50, 1));
    mixer.Feed(2, std::vector<int16_t>(kMixBlockSamples / 2, 50));
    mixer.Finish(2);
    EXPECT_EQ(Mix(mixer), Steady(150));
    std::vector<int16_t> tail = Steady(100);
    std::fill(tail.begin(), tail.begin() + kMixBlockSamples / 2, 150);
    EXPECT_EQ(Mix(mixer), tail);
    EXPECT_EQ(Mix(mixer), Steady(100));
    EXPECT_FALSE(mixer.HasPending());
    EXPECT_FALSE(mixer.AllFinished());  // the background goes on
    // A sound that was stopped is silent from the next block, whatever it had been fed.
    mixer.Feed(1, Steady(100, 2));
    mixer.Remove(1);
    bool played = true;
    EXPECT_EQ(Mix(mixer, &played), Steady(0));
    EXPECT_FALSE(played);
}

TEST(MixerTest, NothingPlayingIsSilence) {
    Mixer mixer;
    bool played = true;
    EXPECT_EQ(Mix(mixer, &played), Steady(0));
    EXPECT_FALSE(played);
    // A sound that was added but has been fed nothing yet has not begun.
    mixer.Add(1, 0);
    EXPECT_EQ(Mix(mixer, &played), Steady(0));
    EXPECT_FALSE(played);
    EXPECT_FALSE(mixer.HasPending());
}

}  // namespace
}  // namespace tovarin::media
