// The AMR narrow-band codec (opencore-amr) and its storage format: the "#!AMR\n" header followed
// by frames, each a table-of-contents byte and the frame's speech bits. A frame is 20 ms of
// 8000 Hz mono 16-bit audio (160 samples).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tovarin::media {

inline constexpr std::string_view kAmrHeader = "#!AMR\n";
inline constexpr int kAmrSampleRate = 8000;
inline constexpr size_t kAmrFrameSamples = 160;
inline constexpr uint32_t kAmrFrameMs = 20;
// A 12.2 kbit/s frame takes 32 bytes with its table-of-contents byte.
inline constexpr size_t kAmrMaxFrameBytes = 32;

// The size in bytes (table-of-contents byte included) of the frame that starts with toc, or
// nullopt for a frame type the storage format does not allow.
std::optional<size_t> AmrFrameSize(uint8_t toc);

// Splits the frames of an AMR-NB file's bytes (the header included); nullopt when the header is
// missing. A damaged tail (a truncated last frame, a frame type the format does not allow, and
// everything after it) is left out; *left_out, when given, is its size in bytes.
std::optional<std::vector<std::span<const uint8_t>>> SplitAmrFrames(std::span<const uint8_t> file,
                                                                    size_t* left_out = nullptr);

// Encodes frame by frame in one of the eight speech modes (7: 12.2 kbit/s, what the phone
// records; a call may ask for a lower one).
class AmrEncoder {
  public:
    explicit AmrEncoder(int mode = 7);
    ~AmrEncoder();
    AmrEncoder(const AmrEncoder&) = delete;
    AmrEncoder& operator=(const AmrEncoder&) = delete;

    // Encodes one frame of kAmrFrameSamples samples into out (kAmrMaxFrameBytes bytes); returns
    // the frame's size.
    size_t EncodeFrame(const int16_t* samples, uint8_t* out);

  private:
    void* state_;
    int mode_;
};

class AmrDecoder {
  public:
    AmrDecoder();
    ~AmrDecoder();
    AmrDecoder(const AmrDecoder&) = delete;
    AmrDecoder& operator=(const AmrDecoder&) = delete;

    // Decodes one storage-format frame into kAmrFrameSamples samples.
    void DecodeFrame(std::span<const uint8_t> frame, int16_t* samples);

  private:
    void* state_;
};

// Encodes whole 8000 Hz mono PCM into an AMR-NB file's bytes (the last partial frame is padded
// with silence).
std::vector<uint8_t> EncodeAmrFile(std::span<const int16_t> pcm);

}  // namespace tovarin::media
