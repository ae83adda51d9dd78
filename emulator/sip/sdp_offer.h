// The session descriptions of a call: the caller's offer is read, one voice codec is chosen from
// it, and the phone's answer is written. The phone takes AMR-NB (RFC 4867, octet-aligned or
// bandwidth-efficient) and G.711 (PCMU, PCMA), 20 ms a packet, and RFC 4733 telephone events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovarin::emulator::sip {

struct SdpFormat {
    int payload_type = -1;
    std::string name;  // from a=rtpmap, as written ("AMR", "PCMU"); empty when not mapped
    uint32_t clock_rate = 0;
    uint32_t channels = 1;
    std::string fmtp;  // the parameters of a=fmtp, as written
};

enum class MediaDirection { SendReceive, SendOnly, ReceiveOnly, Inactive };

struct SdpOffer {
    std::string address;  // where the caller's audio is to go (c= of the media or the session)
    bool ipv6 = false;
    uint16_t audio_port = 0;         // 0: the caller refuses audio
    std::vector<SdpFormat> formats;  // of the first audio m= line, in the caller's order
    MediaDirection direction = MediaDirection::SendReceive;
};

// Reads an offer; nullopt with *error set when it is not a usable session description (no
// version line, no audio m= line, no connection address, a format line that does not parse).
// The reason is the line's own text, never the caller's.
std::optional<SdpOffer> ParseSdpOffer(std::string_view text, std::string* error);

enum class VoiceCodec { AmrOctetAligned, AmrBandwidthEfficient, Pcmu, Pcma };
const char* VoiceCodecName(VoiceCodec codec);

struct MediaChoice {
    VoiceCodec codec = VoiceCodec::Pcmu;
    int payload_type = 0;
    int amr_mode = 7;             // the AMR mode the phone sends (7: 12.2 kbit/s)
    std::string amr_mode_set;     // the caller's modes 0..7 ("0,2,5"), for the answer; empty: any
    int event_payload_type = -1;  // telephone-event, -1 when the caller offers none
    MediaDirection direction = MediaDirection::SendReceive;  // the answer's
};

// The first format of the caller's list that the phone takes, as RFC 3264 asks; nullopt when
// there is none (the call is then refused with 488).
std::optional<MediaChoice> ChooseMedia(const SdpOffer& offer);

// The phone's answer: its audio at local_address:local_port with the chosen format.
std::string MakeSdpAnswer(const MediaChoice& choice, const std::string& local_address,
                          uint16_t local_port, uint64_t session_id);

}  // namespace tovarin::emulator::sip
