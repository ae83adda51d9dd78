#include "sip/sdp_offer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>

namespace tovarin::emulator::sip {
namespace {

constexpr int kStaticPcmu = 0;
constexpr int kStaticPcma = 8;

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const size_t at = text.find(separator);
        std::string_view part = text.substr(0, at);
        if (!part.empty()) {
            parts.push_back(part);
        }
        if (at == std::string_view::npos) {
            break;
        }
        text.remove_prefix(at + 1);
    }
    return parts;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// "c=IN IP4 192.0.2.1" into the address; false when it does not parse.
bool ParseConnection(std::string_view value, std::string* address, bool* ipv6) {
    const std::vector<std::string_view> parts = Split(value, ' ');
    if (parts.size() != 3 || parts[0] != "IN" || (parts[1] != "IP4" && parts[1] != "IP6")) {
        return false;
    }
    // A multicast address carries a /ttl; the phone takes only the address.
    *address = std::string(parts[2].substr(0, parts[2].find('/')));
    *ipv6 = parts[1] == "IP6";
    return !address->empty();
}

// The value of one parameter of an a=fmtp line ("octet-align=1; mode-set=0,2,5,7").
std::optional<std::string> FmtpValue(std::string_view fmtp, std::string_view name) {
    for (std::string_view parameter : Split(fmtp, ';')) {
        parameter = Trim(parameter);
        const size_t equals = parameter.find('=');
        if (equals != std::string_view::npos && Lower(Trim(parameter.substr(0, equals))) == name) {
            return std::string(Trim(parameter.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

bool FmtpFlag(std::string_view fmtp, std::string_view name) {
    const std::optional<std::string> value = FmtpValue(fmtp, name);
    return value && *value == "1";
}

// The modes 0..7 of an AMR mode-set, in order and each once, written as the answer writes them
// ("0,2,5"); an entry that is no such mode is left out, so that nothing else the caller wrote
// goes back to it.
std::string ModeSet(std::string_view mode_set) {
    bool modes[8] = {};
    for (std::string_view mode : Split(mode_set, ',')) {
        const std::optional<int> value = ParseNumber<int>(Trim(mode));
        if (value && *value >= 0 && *value <= 7) {
            modes[*value] = true;
        }
    }
    std::string text;
    for (int mode = 0; mode < 8; ++mode) {
        if (modes[mode]) {
            text += (text.empty() ? "" : ",") + std::to_string(mode);
        }
    }
    return text;
}

MediaDirection Reversed(MediaDirection direction) {
    switch (direction) {
        case MediaDirection::SendOnly:
            return MediaDirection::ReceiveOnly;
        case MediaDirection::ReceiveOnly:
            return MediaDirection::SendOnly;
        default:
            return direction;
    }
}

const char* DirectionAttribute(MediaDirection direction) {
    switch (direction) {
        case MediaDirection::SendOnly:
            return "sendonly";
        case MediaDirection::ReceiveOnly:
            return "recvonly";
        case MediaDirection::Inactive:
            return "inactive";
        case MediaDirection::SendReceive:
            break;
    }
    return "sendrecv";
}

}  // namespace

const char* VoiceCodecName(VoiceCodec codec) {
    switch (codec) {
        case VoiceCodec::AmrOctetAligned:
            return "AMR octet-aligned";
        case VoiceCodec::AmrBandwidthEfficient:
            return "AMR bandwidth-efficient";
        case VoiceCodec::Pcmu:
            return "PCMU";
        case VoiceCodec::Pcma:
            return "PCMA";
    }
    return "?";
}

std::optional<SdpOffer> ParseSdpOffer(std::string_view text, std::string* error) {
    SdpOffer offer;
    std::string session_address;
    bool session_ipv6 = false;
    bool seen_version = false;
    bool in_audio = false;    // inside the first audio m= section
    bool audio_done = false;  // past it
    std::map<int, SdpFormat> formats;
    std::vector<int> order;
    for (std::string_view line : Split(text, '\n')) {
        line = Trim(line);
        if (line.size() < 2 || line[1] != '=') {
            if (line.empty()) {
                continue;
            }
            *error = "a line of the session description is not TYPE=VALUE";
            return std::nullopt;
        }
        const char type = line[0];
        const std::string_view value = line.substr(2);
        if (type == 'v') {
            seen_version = value == "0";
            continue;
        }
        if (type == 'm') {
            if (in_audio) {
                in_audio = false;
                audio_done = true;
            }
            const std::vector<std::string_view> parts = Split(value, ' ');
            if (parts.size() < 4) {
                *error = "an m= line lacks its formats";
                return std::nullopt;
            }
            if (parts[0] != "audio" || audio_done) {
                continue;
            }
            const std::optional<uint16_t> port = ParseNumber<uint16_t>(parts[1]);
            if (!port) {
                *error = "the audio m= line has no port";
                return std::nullopt;
            }
            in_audio = true;
            offer.audio_port = parts[2] == "RTP/AVP" ? *port : 0;  // the phone speaks plain RTP
            for (size_t i = 3; i < parts.size(); ++i) {
                const std::optional<int> pt = ParseNumber<int>(parts[i]);
                if (!pt || *pt < 0 || *pt > 127) {
                    *error = "the audio m= line has a payload type that is not 0..127";
                    return std::nullopt;
                }
                if (!formats.contains(*pt)) {
                    formats[*pt].payload_type = *pt;
                    order.push_back(*pt);
                }
            }
            continue;
        }
        if (type == 'c') {
            std::string address;
            bool ipv6 = false;
            if (!ParseConnection(value, &address, &ipv6)) {
                *error = "a c= line does not parse";
                return std::nullopt;
            }
            if (in_audio) {
                offer.address = address;
                offer.ipv6 = ipv6;
            } else if (!audio_done && order.empty()) {
                session_address = address;
                session_ipv6 = ipv6;
            }
            continue;
        }
        if (type != 'a' || audio_done) {
            continue;
        }
        const size_t colon = value.find(':');
        const std::string_view name = value.substr(0, colon);
        const std::string_view rest =
            colon == std::string_view::npos ? "" : value.substr(colon + 1);
        if (name == "sendrecv" || name == "sendonly" || name == "recvonly" || name == "inactive") {
            offer.direction = name == "sendonly"   ? MediaDirection::SendOnly
                              : name == "recvonly" ? MediaDirection::ReceiveOnly
                              : name == "inactive" ? MediaDirection::Inactive
                                                   : MediaDirection::SendReceive;
            continue;
        }
        if (!in_audio || (name != "rtpmap" && name != "fmtp")) {
            continue;
        }
        const size_t space = rest.find(' ');
        const std::optional<int> pt = ParseNumber<int>(rest.substr(0, space));
        if (!pt || space == std::string_view::npos) {
            *error = "an a=" + std::string(name) + " line does not parse";
            return std::nullopt;
        }
        auto format = formats.find(*pt);
        if (format == formats.end()) {
            continue;  // describes a format the m= line does not list
        }
        const std::string_view description = Trim(rest.substr(space + 1));
        if (name == "fmtp") {
            format->second.fmtp = std::string(description);
            continue;
        }
        const std::vector<std::string_view> parts = Split(description, '/');
        const std::optional<uint32_t> rate =
            parts.size() >= 2 ? ParseNumber<uint32_t>(parts[1]) : std::nullopt;
        const std::optional<uint32_t> channels =
            parts.size() >= 3 ? ParseNumber<uint32_t>(parts[2]) : std::optional<uint32_t>(1);
        if (!rate || !channels) {
            *error = "an a=rtpmap line does not parse";
            return std::nullopt;
        }
        format->second.name = std::string(parts[0]);
        format->second.clock_rate = *rate;
        format->second.channels = *channels;
    }
    if (!seen_version) {
        *error = "the session description lacks v=0";
        return std::nullopt;
    }
    if (order.empty()) {
        *error = "the session description offers no audio";
        return std::nullopt;
    }
    if (offer.address.empty()) {
        offer.address = session_address;
        offer.ipv6 = session_ipv6;
    }
    if (offer.address.empty()) {
        *error = "the session description has no connection address for its audio";
        return std::nullopt;
    }
    for (int pt : order) {
        offer.formats.push_back(formats[pt]);
    }
    return offer;
}

std::optional<MediaChoice> ChooseMedia(const SdpOffer& offer) {
    if (offer.audio_port == 0) {
        return std::nullopt;
    }
    std::optional<MediaChoice> choice;
    int event_payload_type = -1;
    for (const SdpFormat& format : offer.formats) {
        const std::string name = Lower(format.name);
        if (name == "telephone-event" && format.clock_rate == 8000) {
            if (event_payload_type < 0) {
                event_payload_type = format.payload_type;
            }
            continue;
        }
        if (choice) {
            continue;
        }
        // The static types mean their codec even without an a=rtpmap line.
        const bool mapped = !name.empty();
        if ((!mapped && format.payload_type == kStaticPcmu) ||
            (name == "pcmu" && format.clock_rate == 8000 && format.channels == 1)) {
            choice = MediaChoice{VoiceCodec::Pcmu, format.payload_type};
        } else if ((!mapped && format.payload_type == kStaticPcma) ||
                   (name == "pcma" && format.clock_rate == 8000 && format.channels == 1)) {
            choice = MediaChoice{VoiceCodec::Pcma, format.payload_type};
        } else if (name == "amr" && format.clock_rate == 8000 && format.channels == 1) {
            // Frames with CRCs, robust sorting or interleaving are not what the phone sends.
            if (FmtpFlag(format.fmtp, "crc") || FmtpFlag(format.fmtp, "robust-sorting") ||
                FmtpValue(format.fmtp, "interleaving")) {
                continue;
            }
            MediaChoice amr{FmtpFlag(format.fmtp, "octet-align")
                                ? VoiceCodec::AmrOctetAligned
                                : VoiceCodec::AmrBandwidthEfficient,
                            format.payload_type};
            // The highest mode the caller takes; a mode-set without one is no restriction.
            if (const std::optional<std::string> modes = FmtpValue(format.fmtp, "mode-set")) {
                amr.amr_mode_set = ModeSet(*modes);
                if (!amr.amr_mode_set.empty()) {
                    amr.amr_mode = amr.amr_mode_set.back() - '0';
                }
            }
            choice = amr;
        }
    }
    if (choice) {
        choice->event_payload_type = event_payload_type;
        choice->direction = Reversed(offer.direction);
    }
    return choice;
}

std::string MakeSdpAnswer(const MediaChoice& choice, const std::string& local_address,
                          uint16_t local_port, uint64_t session_id) {
    const char* family = local_address.find(':') != std::string::npos ? "IP6" : "IP4";
    const std::string pt = std::to_string(choice.payload_type);
    std::string sdp = "v=0\r\n";
    sdp += "o=tovarin-emu " + std::to_string(session_id) + " 1 IN " + family + " " + local_address +
           "\r\n";
    sdp += "s=tovarin-emu\r\n";
    sdp += "c=IN " + std::string(family) + " " + local_address + "\r\n";
    sdp += "t=0 0\r\n";
    sdp += "m=audio " + std::to_string(local_port) + " RTP/AVP " + pt;
    if (choice.event_payload_type >= 0) {
        sdp += " " + std::to_string(choice.event_payload_type);
    }
    sdp += "\r\n";
    switch (choice.codec) {
        case VoiceCodec::Pcmu:
            sdp += "a=rtpmap:" + pt + " PCMU/8000\r\n";
            break;
        case VoiceCodec::Pcma:
            sdp += "a=rtpmap:" + pt + " PCMA/8000\r\n";
            break;
        case VoiceCodec::AmrOctetAligned:
        case VoiceCodec::AmrBandwidthEfficient: {
            sdp += "a=rtpmap:" + pt + " AMR/8000\r\n";
            std::string fmtp =
                choice.codec == VoiceCodec::AmrOctetAligned ? "octet-align=1" : "octet-align=0";
            if (!choice.amr_mode_set.empty()) {
                fmtp += ";mode-set=" + choice.amr_mode_set;
            }
            sdp += "a=fmtp:" + pt + " " + fmtp + "\r\n";
            break;
        }
    }
    if (choice.event_payload_type >= 0) {
        const std::string event = std::to_string(choice.event_payload_type);
        sdp += "a=rtpmap:" + event + " telephone-event/8000\r\n";
        sdp += "a=fmtp:" + event + " 0-15\r\n";
    }
    sdp += "a=ptime:20\r\n";
    sdp += std::string("a=") + DirectionAttribute(choice.direction) + "\r\n";
    return sdp;
}

}  // namespace tovarin::emulator::sip
