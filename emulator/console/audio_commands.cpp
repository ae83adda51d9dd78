#include "console/audio_commands.h"

#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

constexpr uint64_t kMaxHz = 4000;  // the highest tone an 8000 Hz line carries

std::string Joined(std::span<const Word> words) {
    std::string text;
    for (const Word& w : words) {
        text += (text.empty() ? "" : " ") + w.text;
    }
    return text;
}

std::optional<int32_t> ParseSigned(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::optional<uint64_t> magnitude = ParseNumber(
        negative ? std::string_view(text).substr(1) : std::string_view(text), 0x7FFFFFFF);
    if (!magnitude) {
        return std::nullopt;
    }
    return negative ? -static_cast<int32_t>(*magnitude) : static_cast<int32_t>(*magnitude);
}

}  // namespace

std::variant<AudioCommand, std::string> ParseAudioCommand(AudioCommand::Target target,
                                                          std::span<const Word> rest) {
    AudioCommand command{.target = target};
    if (target == AudioCommand::Target::SpeakerRecord) {
        if (rest.empty() || rest[0].quoted || rest[0].text != "record") {
            return std::string(
                "expected 'speaker record \"HOSTFILE.wav\"' or 'speaker record off'");
        }
        rest = rest.subspan(1);
        if (rest.size() == 1 && !rest[0].quoted && rest[0].text == "off") {
            command.kind = AudioCommand::Kind::Off;
            return command;
        }
        if (rest.size() != 1) {
            return std::string("expected \"HOSTFILE.wav\" or off after 'speaker record'");
        }
        command.kind = AudioCommand::Kind::File;
        command.host_file = rest[0].text;
        return command;
    }
    if (rest.size() == 1 && !rest[0].quoted && rest[0].text == "silence") {
        command.kind = AudioCommand::Kind::Silence;
        return command;
    }
    if (rest.size() == 2 && !rest[0].quoted && rest[0].text == "tone") {
        const std::optional<uint64_t> hz = ParseNumber(rest[1].text, kMaxHz);
        if (!hz || *hz == 0) {
            return "'" + rest[1].text + "' is not a tone from 1 to 4000 Hz";
        }
        command.kind = AudioCommand::Kind::Tone;
        command.hz = static_cast<uint32_t>(*hz);
        return command;
    }
    if (rest.size() == 1 && rest[0].quoted) {
        command.kind = AudioCommand::Kind::File;
        command.host_file = rest[0].text;
        return command;
    }
    return "expected \"HOSTFILE.wav\", tone HZ or silence, found '" + Joined(rest) + "'";
}

std::variant<ExpectAudioCommand, std::string> ParseExpectAudio(bool negated, bool amr,
                                                               std::span<const Word> rest) {
    ExpectAudioCommand command;
    if (negated) {
        if (amr || !rest.empty()) {
            return std::string(amr ? "'expect no amr' is not a command"
                                   : "'expect no sound' takes nothing more");
        }
        command.kind = ExpectAudioCommand::Kind::NoSound;
        return command;
    }
    if (rest.empty()) {
        return std::string("missing PATH");
    }
    command.path = kernel::Utf8ToWide(rest[0].text);
    rest = rest.subspan(1);
    if (amr) {
        command.kind = ExpectAudioCommand::Kind::Amr;
        if (rest.size() != 2) {
            return std::string("expected MIN_MS MAX_MS after the path");
        }
        const auto min = ParseNumber(rest[0].text, 0xFFFFFFFF);
        const auto max = ParseNumber(rest[1].text, 0xFFFFFFFF);
        if (!min || !max || *min > *max) {
            return "'" + Joined(rest) + "' is not a range MIN_MS MAX_MS";
        }
        command.min_ms = static_cast<uint32_t>(*min);
        command.max_ms = static_cast<uint32_t>(*max);
        return command;
    }
    command.kind = ExpectAudioCommand::Kind::Sound;
    if (rest.empty()) {
        return command;
    }
    if (rest.size() != 2 || rest[0].quoted || rest[0].text != "volume") {
        return "unexpected '" + Joined(rest) + "' (volume V)";
    }
    command.volume = ParseSigned(rest[1].text);
    if (!command.volume || *command.volume < -10000 || *command.volume > 0) {
        return "'" + rest[1].text + "' is not a volume from -10000 to 0";
    }
    return command;
}

}  // namespace tovarin::emulator::console
