#include "sip/amr_payload.h"

#include <array>

namespace tovarin::emulator::sip {
namespace {

// Speech bits by frame type: the eight modes, the comfort-noise frame (8), reserved types
// (9..14: -1) and "no data" (15).
constexpr std::array<int, 16> kFrameBits = {95, 103, 118, 134, 148, 159, 204, 244,
                                            39, -1,  -1,  -1,  -1,  -1,  -1,  0};
constexpr int kMaxFramesPerPayload = 16;

std::optional<int> FrameBits(uint8_t frame_type) {
    const int bits = kFrameBits[frame_type & 0x0F];
    return bits < 0 ? std::nullopt : std::optional<int>(bits);
}

size_t Bytes(int bits) {
    return static_cast<size_t>((bits + 7) / 8);
}

class BitWriter {
  public:
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ % 8 == 0) {
                bytes_.push_back(0);
            }
            if ((value >> i) & 1u) {
                bytes_.back() |= static_cast<uint8_t>(0x80u >> (used_ % 8));
            }
            ++used_;
        }
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
};

class BitReader {
  public:
    explicit BitReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
    std::optional<uint32_t> Get(int bits) {
        if (at_ + static_cast<size_t>(bits) > bytes_.size() * 8) {
            return std::nullopt;
        }
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i, ++at_) {
            value = (value << 1) | ((bytes_[at_ / 8] >> (7 - at_ % 8)) & 1u);
        }
        return value;
    }

  private:
    std::span<const uint8_t> bytes_;
    size_t at_ = 0;
};

struct TocEntry {
    uint8_t frame_type;
    bool quality;
};

uint8_t StorageToc(const TocEntry& entry) {
    return static_cast<uint8_t>((entry.frame_type << 3) | (entry.quality ? 0x04 : 0));
}

}  // namespace

std::optional<std::vector<uint8_t>> PackAmrPayload(std::span<const uint8_t> frame,
                                                   bool octet_aligned, uint8_t mode_request) {
    if (frame.empty()) {
        return std::nullopt;
    }
    const TocEntry toc{static_cast<uint8_t>((frame[0] >> 3) & 0x0F), (frame[0] & 0x04) != 0};
    const std::optional<int> bits = FrameBits(toc.frame_type);
    if (!bits || frame.size() < 1 + Bytes(*bits)) {
        return std::nullopt;
    }
    const std::span<const uint8_t> speech = frame.subspan(1, Bytes(*bits));
    if (octet_aligned) {
        std::vector<uint8_t> payload;
        payload.push_back(static_cast<uint8_t>(mode_request << 4));
        payload.push_back(StorageToc(toc));  // F = 0: the last (only) frame
        payload.insert(payload.end(), speech.begin(), speech.end());
        return payload;
    }
    BitWriter writer;
    writer.Put(mode_request, 4);
    writer.Put(0, 1);  // F
    writer.Put(toc.frame_type, 4);
    writer.Put(toc.quality ? 1 : 0, 1);
    BitReader reader(speech);
    for (int i = 0; i < *bits; ++i) {
        writer.Put(*reader.Get(1), 1);
    }
    return writer.Take();
}

std::optional<std::vector<std::vector<uint8_t>>> UnpackAmrPayload(std::span<const uint8_t> payload,
                                                                  bool octet_aligned) {
    std::vector<TocEntry> toc;
    std::vector<std::vector<uint8_t>> frames;
    if (octet_aligned) {
        size_t at = 1;  // past the mode request
        for (bool more = true; more; ++at) {
            if (at >= payload.size() || toc.size() == kMaxFramesPerPayload) {
                return std::nullopt;
            }
            more = (payload[at] & 0x80) != 0;
            toc.push_back(
                {static_cast<uint8_t>((payload[at] >> 3) & 0x0F), (payload[at] & 0x04) != 0});
        }
        for (const TocEntry& entry : toc) {
            const std::optional<int> bits = FrameBits(entry.frame_type);
            if (!bits || at + Bytes(*bits) > payload.size()) {
                return std::nullopt;
            }
            std::vector<uint8_t> frame{StorageToc(entry)};
            frame.insert(frame.end(), payload.begin() + static_cast<std::ptrdiff_t>(at),
                         payload.begin() + static_cast<std::ptrdiff_t>(at + Bytes(*bits)));
            at += Bytes(*bits);
            frames.push_back(std::move(frame));
        }
        return frames;
    }
    BitReader reader(payload);
    if (!reader.Get(4)) {
        return std::nullopt;
    }
    for (bool more = true; more;) {
        const std::optional<uint32_t> entry = reader.Get(6);
        if (!entry || toc.size() == kMaxFramesPerPayload) {
            return std::nullopt;
        }
        more = (*entry & 0x20) != 0;
        toc.push_back({static_cast<uint8_t>((*entry >> 1) & 0x0F), (*entry & 1) != 0});
    }
    for (const TocEntry& entry : toc) {
        const std::optional<int> bits = FrameBits(entry.frame_type);
        if (!bits) {
            return std::nullopt;
        }
        BitWriter speech;
        for (int i = 0; i < *bits; ++i) {
            const std::optional<uint32_t> bit = reader.Get(1);
            if (!bit) {
                return std::nullopt;
            }
            speech.Put(*bit, 1);
        }
        std::vector<uint8_t> frame{StorageToc(entry)};
        const std::vector<uint8_t> bytes = speech.Take();
        frame.insert(frame.end(), bytes.begin(), bytes.end());
        frames.push_back(std::move(frame));
    }
    return frames;
}

}  // namespace tovarin::emulator::sip
