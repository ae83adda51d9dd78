// One audio output's mixer: any number of sounds, each fed its samples as its renderer plays
// them and scaled by its own volume, summed sample by sample and saturated to 16 bits. The
// mixer knows no clock: whoever owns it takes one block at a time at the device clock's pace, so
// that a sound's start, end or volume change is heard from the next block taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <span>

namespace tovarin::media {

// 20 ms at 8000 Hz: the block the outputs are mixed in.
inline constexpr size_t kMixBlockSamples = 160;

// Hundredths of a decibel to a linear gain; -10000 (-100 dB) and below are silence.
double VolumeGain(int32_t volume);

class Mixer {
  public:
    void Add(int id, int32_t volume);
    void SetVolume(int id, int32_t volume);
    // Samples the sound plays after those it was fed before, at full scale.
    void Feed(int id, std::span<const int16_t> samples);
    // The sound has played its last sample: it leaves once what it was fed has been mixed.
    void Finish(int id);
    // The sound stops at once; what it was fed and was not mixed yet is not heard.
    void Remove(int id);

    // Mixes the next block into out (silence where nothing plays); false when no sound played
    // in it. A sound that has been fed nothing yet has not begun and takes no part.
    bool MixBlock(std::span<int16_t> out);
    // Whether a block mixed now would hear anything: some sound has samples not yet mixed.
    bool HasPending() const;
    // Whether every sound still here has played its last sample (none will be fed more).
    bool AllFinished() const;

  private:
    struct Sound {
        std::deque<int16_t> pending;
        double gain = 1.0;
        bool begun = false;
        bool finished = false;
    };
    std::map<int, Sound> sounds_;
};

}  // namespace tovarin::media
