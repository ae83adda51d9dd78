// What a simulated input hears: silence, a steady tone, or recorded samples played once and
// followed by silence.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tovarin::media {

struct SoundSpec {
    enum class Kind { Silence, Tone, Samples };
    Kind kind = Kind::Silence;
    uint32_t hz = 0;                                      // Tone
    std::shared_ptr<const std::vector<int16_t>> samples;  // Samples: 8000 Hz mono
    std::wstring label;  // for messages: "silence", "tone 440 Hz", file

    static SoundSpec Silence();
    static SoundSpec Tone(uint32_t hz);
    static SoundSpec Recorded(std::vector<int16_t> samples, std::wstring label);
};

// Plays a SoundSpec from its start, block by block.
class SoundSource {
  public:
    SoundSource() : spec_(SoundSpec::Silence()) {}
    explicit SoundSource(SoundSpec spec) : spec_(std::move(spec)) {}
    const SoundSpec& spec() const { return spec_; }
    void Read(std::span<int16_t> out);

  private:
    SoundSpec spec_;
    size_t position_ = 0;
};

}  // namespace tovarin::media
