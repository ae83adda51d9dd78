// The session's audio commands: feeding the microphone and the line, keeping what the speaker
// plays, and checking what plays now and what a recording holds.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "console/ffmpeg_decode.h"
#include "console/host_files.h"
#include "console/session.h"
#include "host/device_paths.h"
#include "host/text.h"
#include "host/audio.h"
#include "host/amr_nb.h"
#include "host/wave_file.h"

namespace tovarin::emulator::console {
namespace {

// A recording of the device is read whole to count its frames; an hour of 12.2 kbit/s AMR is 5.5
// MB.
constexpr uintmax_t kMaxRecordingBytes = 64ull << 20;

// A path whose file name holds * or ? names the first file that matches it.
std::wstring ResolvePattern(const std::wstring& path) {
    if (path.find_first_of(L"*?") == std::wstring::npos) {
        return path;
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return path;
    }
    FindClose(search);
    return path.substr(0, path.rfind(L'\\') + 1) + found.cFileName;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
}

std::string Describe(const media::PlayingSound& sound) {
    return kernel::WideToUtf8(std::wstring(media::OutputName(sound.output)) + L": " + sound.path +
                              L" at " + std::to_wstring(sound.position_ms) + L" ms, volume " +
                              std::to_wstring(sound.volume));
}

}  // namespace

Outcome Session::Do(const AudioCommand& command) {
    using Kind = AudioCommand::Kind;
    if (command.target == AudioCommand::Target::SpeakerRecord) {
        if (command.kind == Kind::Off) {
            media::StopSpeakerRecording();
            return Outcome::Done();
        }
        std::string error;
        return media::StartSpeakerRecording(command.host_file, &error) ? Outcome::Done()
                                                                       : Outcome::Failed(error);
    }
    media::SoundSpec spec = media::SoundSpec::Silence();
    if (command.kind == Kind::Tone) {
        spec = media::SoundSpec::Tone(command.hz);
    } else if (command.kind == Kind::File) {
        std::string why;
        std::optional<std::vector<uint8_t>> bytes =
            ReadRegularHostFile(command.host_file, kMaxHostSoundBytes, &why);
        if (!bytes) {
            return Outcome::Failed(why);
        }
        std::optional<media::WaveAudio> wave = media::ParseWave(*bytes, &why);
        if (!wave) {
            return Outcome::Failed(command.host_file + " is not a PCM WAVE file: " + why);
        }
        spec = media::SoundSpec::Recorded(media::ToDeviceSamples(wave->format, wave->data),
                                          kernel::Utf8ToWide(command.host_file));
    }
    if (command.target == AudioCommand::Target::Microphone) {
        media::SetMicrophone(std::move(spec));
    } else {
        media::SetCallerVoice(std::move(spec));
    }
    return Outcome::Done();
}

Outcome Session::Do(const ExpectAudioCommand& command) {
    using Kind = ExpectAudioCommand::Kind;
    if (command.kind == Kind::Amr) {
        const std::wstring path = ResolvePattern(command.path);
        std::optional<std::filesystem::path> host = kernel::HostPathFor(path);
        std::optional<std::vector<uint8_t>> bytes;
        std::string why;
        if (host) {
            bytes = ReadRegularHostFile(*host, kMaxRecordingBytes, &why);
        }
        if (!bytes) {
            const bool there = host && std::filesystem::symlink_status(*host).type() !=
                                           std::filesystem::file_type::not_found;
            return Outcome::Failed("the expectation did not hold",
                                   {there ? why : "no file " + kernel::WideToUtf8(path)});
        }
        size_t left_out = 0;
        auto frames = media::SplitAmrFrames(*bytes, &left_out);
        if (!frames) {
            return Outcome::Failed("the expectation did not hold", {"not an AMR-NB file"});
        }
        const long ms = static_cast<long>(frames->size() * media::kAmrFrameMs);
        std::vector<std::string> found{
            kernel::WideToUtf8(path) + ": an AMR-NB file of " + std::to_string(ms) + " ms" +
            (left_out > 0
                 ? ", and " + std::to_string(left_out) + " bytes at its end that are no whole frame"
                 : "")};
        bool held =
            ms >= static_cast<long>(command.min_ms) && ms <= static_cast<long>(command.max_ms);
        if (held && std::getenv("TOVARIN_FFMPEG") != nullptr) {
            auto decoded = FfmpegDurationMs(std::getenv("TOVARIN_FFMPEG"), *host);
            if (const auto* why = std::get_if<std::string>(&decoded)) {
                held = false;
                found.push_back(*why);
            } else if (std::get<long>(decoded) != ms) {
                held = false;
                found.push_back("ffmpeg decodes " + std::to_string(std::get<long>(decoded)) +
                                " ms");
            }
        }
        return held ? Outcome::Done() : Outcome::Failed("the expectation did not hold", found);
    }
    // The failure lists everything playing, on either output.
    const std::vector<media::PlayingSound> playing = media::NowPlaying();
    std::vector<std::string> found;
    for (const media::PlayingSound& sound : playing) {
        found.push_back(Describe(sound));
    }
    auto on_output = [&](const media::PlayingSound& sound) {
        return !command.output || *command.output == sound.output;
    };
    if (command.kind == Kind::NoSound) {
        return std::none_of(playing.begin(), playing.end(), on_output)
                   ? Outcome::Done()
                   : Outcome::Failed("the expectation did not hold", found);
    }
    for (const media::PlayingSound& sound : playing) {
        if (on_output(sound) && SamePath(sound.path, command.path) &&
            (!command.volume || *command.volume == sound.volume)) {
            return Outcome::Done();
        }
    }
    if (found.empty()) {
        found.push_back("nothing plays");
    }
    return Outcome::Failed("the expectation did not hold", found);
}

}  // namespace tovarin::emulator::console
