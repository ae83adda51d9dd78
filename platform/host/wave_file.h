// RIFF WAVE files of PCM audio, and the conversions the device's audio path makes: everything it
// plays or records internally is 8000 Hz mono 16-bit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tovarin::media {

struct PcmFormat {
    uint32_t rate = 8000;
    uint16_t channels = 1;
    uint16_t bits = 16;  // 8 (unsigned) or 16 (signed)
    uint32_t BlockAlign() const { return channels * (bits / 8u); }
    bool operator==(const PcmFormat&) const = default;
};

struct WaveAudio {
    PcmFormat format;
    std::vector<uint8_t> data;  // the "data" chunk
};

// Reads a PCM WAVE file's bytes; nullopt (with *error saying why) for anything else.
std::optional<WaveAudio> ParseWave(std::span<const uint8_t> file, std::string* error = nullptr);

// A WAVE file of 8000 Hz mono 16-bit samples.
std::vector<uint8_t> MakeWave(std::span<const int16_t> samples, uint32_t rate = 8000);

// PCM bytes of any supported format to 8000 Hz mono 16-bit samples (channels averaged, nearest
// sample taken for other rates), and back.
std::vector<int16_t> ToDeviceSamples(const PcmFormat& format, std::span<const uint8_t> data);
std::vector<uint8_t> FromDeviceSamples(const PcmFormat& format, std::span<const int16_t> samples);

}  // namespace tovarin::media
