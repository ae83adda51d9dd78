// Makes the audio that the SIP tests' caller sends and judges the audio that a call left behind.
//   tovarin-audio-probe tone HZ MS OUT.wav|OUT.amr
//       writes a tone (a WAVE file for the caller, an AMR-NB file for a greeting)
//   tovarin-audio-probe check FILE.wav|FILE.amr [--sound MIN_MS MAX_MS] [--tone HZ TOLERANCE_HZ]
//                         [--carries HZ MAX_BELOW_DB]... [--within FROM_MS TO_MS]
//       prints where the file's longest stretch of sound lies, its level and its strongest
//       frequency; exits 1 when the stretch's length or its tone is not what was asked for, or
//       when the stretch does not carry each HZ of --carries within MAX_BELOW_DB of its
//       strongest frequency (a mix of several sounds); --within judges only that part of the file
// Exits 2 on a usage error or a file it cannot read.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "audio_probe.h"
#include "host/amr_nb.h"
#include "host/wave_file.h"

namespace {

using tovarin::audio_probe::kProbeRate;

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::optional<std::vector<uint8_t>> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The file's audio as the line's samples; nullopt (reported) when it is neither a PCM WAVE file
// nor an AMR-NB file.
std::optional<std::vector<int16_t>> ReadAudio(const std::string& path) {
    auto bytes = ReadBytes(path);
    if (!bytes) {
        std::fprintf(stderr, "tovarin-audio-probe: cannot read %s\n", path.c_str());
        return std::nullopt;
    }
    if (auto frames = tovarin::media::SplitAmrFrames(*bytes)) {
        tovarin::media::AmrDecoder decoder;
        std::vector<int16_t> samples(frames->size() * tovarin::media::kAmrFrameSamples);
        for (size_t i = 0; i < frames->size(); ++i) {
            decoder.DecodeFrame((*frames)[i], &samples[i * tovarin::media::kAmrFrameSamples]);
        }
        return samples;
    }
    std::string error;
    auto wave = tovarin::media::ParseWave(*bytes, &error);
    if (!wave) {
        std::fprintf(stderr, "tovarin-audio-probe: %s is neither AMR-NB nor PCM WAVE: %s\n",
                     path.c_str(), error.c_str());
        return std::nullopt;
    }
    return tovarin::media::ToDeviceSamples(wave->format, wave->data);
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

int Tone(double hz, unsigned long ms, const std::string& path) {
    const auto samples = tovarin::audio_probe::MakeTone(hz, static_cast<uint32_t>(ms));
    const auto bytes = EndsWith(path, ".amr") ? tovarin::media::EncodeAmrFile(samples)
                                              : tovarin::media::MakeWave(samples);
    if (!WriteBytes(path, bytes)) {
        std::fprintf(stderr, "tovarin-audio-probe: cannot write %s\n", path.c_str());
        return 2;
    }
    return 0;
}

struct Wanted {
    std::optional<std::pair<unsigned long, unsigned long>> length_ms;
    std::optional<std::pair<double, double>> tone_hz;
    std::vector<std::pair<double, double>> carried;  // hz, most dB below the strongest
    std::optional<std::pair<unsigned long, unsigned long>> within_ms;
};

int Check(const std::string& path, const Wanted& wanted) {
    auto samples = ReadAudio(path);
    if (!samples) {
        return 2;
    }
    if (wanted.within_ms) {
        const size_t from = std::min(samples->size(), wanted.within_ms->first * kProbeRate / 1000);
        const size_t to = std::min(samples->size(), wanted.within_ms->second * kProbeRate / 1000);
        samples->erase(samples->begin() + static_cast<std::ptrdiff_t>(std::max(from, to)),
                       samples->end());
        samples->erase(samples->begin(), samples->begin() + static_cast<std::ptrdiff_t>(from));
    }
    const auto sound = tovarin::audio_probe::FindSound(*samples);
    const size_t first = size_t{sound.start_ms} * kProbeRate / 1000;
    const size_t count = size_t{sound.length_ms} * kProbeRate / 1000;
    const double hz = sound.length_ms == 0
                          ? 0
                          : tovarin::audio_probe::DominantFrequency(
                                std::span<const int16_t>(*samples).subspan(first, count));
    std::printf(
        "%s: %zu ms of audio, sound from %u ms for %u ms at %.1f dBFS, strongest at %.1f Hz\n",
        path.c_str(), samples->size() * 1000 / kProbeRate, sound.start_ms, sound.length_ms,
        sound.level_dbfs, hz);
    bool held = true;
    if (wanted.length_ms &&
        (sound.length_ms < wanted.length_ms->first || sound.length_ms > wanted.length_ms->second)) {
        std::printf("  expected a sound of %lu to %lu ms\n", wanted.length_ms->first,
                    wanted.length_ms->second);
        held = false;
    }
    if (wanted.tone_hz && !(std::abs(hz - wanted.tone_hz->first) <= wanted.tone_hz->second)) {
        std::printf("  expected a tone of %.1f Hz within %.1f Hz\n", wanted.tone_hz->first,
                    wanted.tone_hz->second);
        held = false;
    }
    for (const auto& [carried_hz, most_below] : wanted.carried) {
        const double below =
            count == 0 ? 120
                       : tovarin::audio_probe::LevelBelowStrongestDb(
                             std::span<const int16_t>(*samples).subspan(first, count), carried_hz);
        std::printf("  %.1f Hz lies %.1f dB below the strongest\n", carried_hz, below);
        if (below > most_below) {
            std::printf("  expected %.1f Hz within %.1f dB of the strongest\n", carried_hz,
                        most_below);
            held = false;
        }
    }
    return held ? 0 : 1;
}

bool ParseNumber(const char* text, double* out) {
    char* end = nullptr;
    *out = std::strtod(text, &end);
    return end != text && *end == '\0' && *out >= 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: tovarin-audio-probe tone HZ MS OUT.wav|OUT.amr\n"
                 "       tovarin-audio-probe check FILE [--sound MIN_MS MAX_MS] [--tone HZ "
                 "TOLERANCE_HZ] [--carries HZ MAX_BELOW_DB]... [--within FROM_MS TO_MS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "tone") {
        double hz = 0;
        double ms = 0;
        if (!ParseNumber(args[1].c_str(), &hz) || !ParseNumber(args[2].c_str(), &ms) ||
            hz >= kProbeRate / 2.0 || ms > 600000) {
            return Usage();
        }
        return Tone(hz, static_cast<unsigned long>(ms), args[3]);
    }
    if (args.size() < 2 || args[0] != "check") {
        return Usage();
    }
    Wanted wanted;
    for (size_t i = 2; i < args.size(); i += 3) {
        double a = 0;
        double b = 0;
        if (i + 2 >= args.size() || !ParseNumber(args[i + 1].c_str(), &a) ||
            !ParseNumber(args[i + 2].c_str(), &b)) {
            return Usage();
        }
        if (args[i] == "--sound") {
            wanted.length_ms = {static_cast<unsigned long>(a), static_cast<unsigned long>(b)};
        } else if (args[i] == "--tone") {
            wanted.tone_hz = {a, b};
        } else if (args[i] == "--carries") {
            wanted.carried.emplace_back(a, b);
        } else if (args[i] == "--within") {
            wanted.within_ms = {static_cast<unsigned long>(a), static_cast<unsigned long>(b)};
        } else {
            return Usage();
        }
    }
    return Check(args[1], wanted);
}
