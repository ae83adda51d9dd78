#include "host/wave_file.h"

#include <cstring>

namespace tovarin::media {
namespace {

uint32_t Le32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Fail(std::string* error, const char* why) {
    if (error != nullptr) {
        *error = why;
    }
}

}  // namespace

std::optional<WaveAudio> ParseWave(std::span<const uint8_t> file, std::string* error) {
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 ||
        std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        Fail(error, "not a RIFF WAVE file");
        return std::nullopt;
    }
    std::optional<PcmFormat> format;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const uint8_t* chunk = file.data() + at;
        const size_t size = Le32(chunk + 4);
        const size_t available = file.size() - at - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > available) {
                Fail(error, "damaged format chunk");
                return std::nullopt;
            }
            const uint16_t tag = Le16(chunk + 8);
            PcmFormat f;
            f.channels = Le16(chunk + 10);
            f.rate = Le32(chunk + 12);
            f.bits = Le16(chunk + 22);
            if (tag != 1 || (f.bits != 8 && f.bits != 16) || f.channels == 0 || f.channels > 8 ||
                f.rate < 1000 || f.rate > 192000) {
                Fail(error, "not 8- or 16-bit PCM");
                return std::nullopt;
            }
            format = f;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!format) {
                Fail(error, "data before the format chunk");
                return std::nullopt;
            }
            // A writer that never patched the size leaves it too large: take what is there.
            const size_t length = std::min(size, available);
            WaveAudio audio{*format, {}};
            const size_t whole = length - length % format->BlockAlign();
            audio.data.assign(chunk + 8, chunk + 8 + whole);
            return audio;
        }
        at += 8 + size + (size & 1);
    }
    Fail(error, format ? "no data chunk" : "no format chunk");
    return std::nullopt;
}

std::vector<uint8_t> MakeWave(std::span<const int16_t> samples, uint32_t rate) {
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + size_t{bytes});  // the header and the samples, in one allocation
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, 36 + bytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, 1);
    Put32(out, rate);
    Put32(out, rate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, bytes);
    for (int16_t s : samples) {
        Put16(out, static_cast<uint16_t>(s));
    }
    return out;
}

std::vector<int16_t> ToDeviceSamples(const PcmFormat& format, std::span<const uint8_t> data) {
    const size_t block = format.BlockAlign();
    if (block == 0 || format.rate == 0) {
        return {};
    }
    const size_t frames = data.size() / block;
    auto sample_at = [&](size_t frame) {
        int sum = 0;
        const uint8_t* p = data.data() + frame * block;
        for (uint16_t c = 0; c < format.channels; ++c) {
            sum += format.bits == 8 ? (static_cast<int>(p[c]) - 128) << 8
                                    : static_cast<int16_t>(Le16(p + 2 * c));
        }
        return static_cast<int16_t>(sum / format.channels);
    };
    const size_t out_count =
        static_cast<size_t>(static_cast<uint64_t>(frames) * 8000 / format.rate);
    std::vector<int16_t> out(out_count);
    for (size_t i = 0; i < out_count; ++i) {
        out[i] = sample_at(static_cast<size_t>(static_cast<uint64_t>(i) * format.rate / 8000));
    }
    return out;
}

std::vector<uint8_t> FromDeviceSamples(const PcmFormat& format, std::span<const int16_t> samples) {
    const size_t out_frames =
        static_cast<size_t>(static_cast<uint64_t>(samples.size()) * format.rate / 8000);
    std::vector<uint8_t> out;
    out.reserve(out_frames * format.BlockAlign());
    for (size_t i = 0; i < out_frames; ++i) {
        const int16_t s =
            samples[static_cast<size_t>(static_cast<uint64_t>(i) * 8000 / format.rate)];
        for (uint16_t c = 0; c < format.channels; ++c) {
            if (format.bits == 8) {
                out.push_back(static_cast<uint8_t>((s >> 8) + 128));
            } else {
                Put16(out, static_cast<uint16_t>(s));
            }
        }
    }
    return out;
}

}  // namespace tovarin::media
