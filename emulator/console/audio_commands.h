// The console's audio commands: what the microphone hears and the caller says, keeping what the
// speaker plays, and the expectations on what plays and what was recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "console/words.h"
#include "host/audio.h"

namespace tovarin::emulator::console {

// mic "HOSTFILE.wav" | mic tone HZ | mic silence; call voice ... (the same three forms);
// speaker record "HOSTFILE.wav" | speaker record off.
struct AudioCommand {
    enum class Target { Microphone, CallerVoice, SpeakerRecord };
    enum class Kind { File, Tone, Silence, Off };
    Target target = Target::Microphone;
    Kind kind = Kind::Silence;
    std::string host_file;  // File: a host path, as written
    uint32_t hz = 0;        // Tone
};

// expect sound "PATH" [on line|speaker] [volume V] | expect no sound [on line|speaker] |
// expect amr "PATH" MIN_MS MAX_MS.
struct ExpectAudioCommand {
    enum class Kind { Sound, NoSound, Amr };
    Kind kind = Kind::Sound;
    std::wstring path;
    std::optional<media::AudioOutput> output;  // either when not given
    std::optional<int32_t> volume;
    uint32_t min_ms = 0;
    uint32_t max_ms = 0;
};

}  // namespace tovarin::emulator::console
