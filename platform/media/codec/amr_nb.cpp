#include "host/amr_nb.h"

#include <algorithm>
#include <array>
#include <cstring>

extern "C" {
#include <opencore-amrnb/interf_dec.h>
#include <opencore-amrnb/interf_enc.h>
}

namespace tovarin::media {
namespace {

// Speech bytes after the table-of-contents byte, by frame type (bits 3..6 of the byte):
// the eight speech modes, the comfort-noise frame (8), reserved types (9..14: not allowed) and
// "no data" (15).
constexpr std::array<int, 16> kPayloadBytes = {12, 13, 15, 17, 19, 20, 26, 31,
                                               5,  -1, -1, -1, -1, -1, -1, 0};

}  // namespace

std::optional<size_t> AmrFrameSize(uint8_t toc) {
    const int payload = kPayloadBytes[(toc >> 3) & 0x0F];
    if (payload < 0) {
        return std::nullopt;
    }
    return static_cast<size_t>(payload) + 1;
}

std::optional<std::vector<std::span<const uint8_t>>> SplitAmrFrames(std::span<const uint8_t> file,
                                                                    size_t* left_out) {
    if (file.size() < kAmrHeader.size() ||
        std::memcmp(file.data(), kAmrHeader.data(), kAmrHeader.size()) != 0) {
        return std::nullopt;
    }
    std::vector<std::span<const uint8_t>> frames;
    size_t at = kAmrHeader.size();
    while (at < file.size()) {
        const std::optional<size_t> size = AmrFrameSize(file[at]);
        if (!size || at + *size > file.size()) {
            break;
        }
        frames.push_back(file.subspan(at, *size));
        at += *size;
    }
    if (left_out != nullptr) {
        *left_out = file.size() - at;
    }
    return frames;
}

AmrEncoder::AmrEncoder(int mode)
    : state_(Encoder_Interface_init(0)), mode_(std::clamp(mode, 0, 7)) {}

AmrEncoder::~AmrEncoder() {
    Encoder_Interface_exit(state_);
}

size_t AmrEncoder::EncodeFrame(const int16_t* samples, uint8_t* out) {
    const int written = Encoder_Interface_Encode(state_, static_cast<Mode>(mode_), samples, out, 0);
    return written > 0 ? static_cast<size_t>(written) : 0;
}

AmrDecoder::AmrDecoder() : state_(Decoder_Interface_init()) {}

AmrDecoder::~AmrDecoder() {
    Decoder_Interface_exit(state_);
}

void AmrDecoder::DecodeFrame(std::span<const uint8_t> frame, int16_t* samples) {
    // The decoder reads as many bytes as the table-of-contents byte announces; a copy padded to
    // the largest frame keeps it inside the buffer whatever the byte says.
    std::array<uint8_t, kAmrMaxFrameBytes> padded{};
    std::copy_n(frame.begin(), std::min(frame.size(), padded.size()), padded.begin());
    Decoder_Interface_Decode(state_, padded.data(), samples, 0);
}

std::vector<uint8_t> EncodeAmrFile(std::span<const int16_t> pcm) {
    std::vector<uint8_t> file(kAmrHeader.begin(), kAmrHeader.end());
    AmrEncoder encoder;
    std::array<int16_t, kAmrFrameSamples> frame{};
    std::array<uint8_t, kAmrMaxFrameBytes> out{};
    for (size_t at = 0; at < pcm.size(); at += kAmrFrameSamples) {
        const size_t count = std::min(kAmrFrameSamples, pcm.size() - at);
        frame.fill(0);
        std::copy_n(pcm.begin() + static_cast<ptrdiff_t>(at), count, frame.begin());
        const size_t size = encoder.EncodeFrame(frame.data(), out.data());
        file.insert(file.end(), out.begin(), out.begin() + static_cast<ptrdiff_t>(size));
    }
    return file;
}

}  // namespace tovarin::media
