#include "sip/rtp_media.h"

#include <netinet/in.h>

#include <array>
#include <cstring>
#include <optional>

#include "host_trace.h"
#include "host/audio.h"
#include "host/amr_nb.h"
#include "sip/amr_payload.h"
#include "sip/line_audio.h"
#include "sip/network_text.h"
#include "sip/re_stack.h"
#include "sip/stack_address.h"

namespace tovarin::emulator::sip {
namespace {

// RTP takes an even port from this range (RTCP, unused, would be the odd one above).
constexpr uint16_t kFirstRtpPort = 16384;
constexpr uint16_t kLastRtpPort = 32767;

constexpr uint32_t kPacketMs = 20;
constexpr size_t kPacketSamples = 160;
// The jitter buffer starts playing with two packets in it (40 ms) and holds at most ten.
constexpr uint32_t kJitterMinPackets = 2;
constexpr uint32_t kJitterMaxPackets = 10;
// A host that falls behind catches up this many packets at once, and skips the rest.
constexpr uint64_t kMaxCatchUpPackets = 5;

// The keys of RFC 4733's DTMF events 0..15.
constexpr char kEventKeys[] = "0123456789*#ABCD";

std::wstring CallerText(const std::wstring& number) {
    return number.empty() ? L"a withheld number" : number;
}

}  // namespace

class RtpMedia::Stream {
  public:
    explicit Stream(std::wstring caller) : caller_(std::move(caller)) {}

    ~Stream() {
        tmr_cancel(&tick_);
        if (line_) {
            media::AttachLine(nullptr);
        }
        mem_deref(socket_);
        mem_deref(jitter_);
    }

    bool Open(const std::string& host, std::string* error) {
        sa local;
        if (sa_set_str(&local, host.c_str(), 0) != 0) {
            *error = "'" + host + "' is no address for RTP";
            return false;
        }
        const int err = rtp_listen(&socket_, IPPROTO_UDP, &local, kFirstRtpPort, kLastRtpPort,
                                   false, &Stream::OnPacket, nullptr, this);
        if (err != 0) {
            *error = std::string("no RTP port is free: ") + std::strerror(err);
            return false;
        }
        return jbuf_alloc(&jitter_, kJitterMinPackets, kJitterMaxPackets) == 0;
    }

    uint16_t port() const { return sa_port(rtp_local(socket_)); }

    bool Start(const MediaChoice& choice, const SdpOffer& offer, std::string* error) {
        if (!FollowAddress(offer, error)) {
            return false;
        }
        const bool amr = choice.codec == VoiceCodec::AmrOctetAligned ||
                         choice.codec == VoiceCodec::AmrBandwidthEfficient;
        if (!started_ || choice.codec != choice_.codec || choice.amr_mode != choice_.amr_mode) {
            encoder_.reset();
            decoder_.reset();
            if (amr) {
                encoder_.emplace(choice.amr_mode);
                decoder_.emplace();
            }
        }
        if (started_ && choice.payload_type != choice_.payload_type) {
            jbuf_flush(jitter_);
        }
        choice_ = choice;
        if (!started_) {
            started_ = true;
            timestamp_ = rand_u32();
            line_ = std::make_shared<LineAudio>();
            media::AttachLine(line_);
            start_ms_ = tmr_jiffies();
            tmr_start(&tick_, kPacketMs, &Stream::OnTick, this);
        }
        return true;
    }

    void ExpectFrom(const RtpSource& source) { sources_.Expect(source); }
    void Confirm() { confirmed_ = true; }

    RtpFigures figures() const {
        RtpFigures figures = figures_;
        figures.dropped = sources_.dropped();
        jbuf_stat stat{};
        if (jbuf_stats(jitter_, &stat) == 0) {
            figures.late = stat.n_late + stat.n_dups;
        }
        if (!line_) {
            return figures;
        }
        figures.to_caller_delay_ms = line_->ToCallerDelayMs();
        // The jitter buffer's mean depth in packets, each of them 20 ms, comes before the line.
        const std::optional<uint32_t> line_delay = line_->FromCallerDelayMs();
        if (line_delay && from_caller_ticks_ > 0) {
            figures.from_caller_delay_ms =
                *line_delay +
                static_cast<uint32_t>(jitter_waiting_ * kPacketMs / from_caller_ticks_);
        }
        return figures;
    }

  private:
    // The caller's address and port from an offer; one that holds the call (0.0.0.0, ::) keeps
    // the address before it, since the phone then sends nothing.
    bool FollowAddress(const SdpOffer& offer, std::string* error) {
        const std::optional<IpAddress> address = ParseIpAddress(offer.address);
        if (address && address->IsUnspecified() && started_) {
            return true;
        }
        if (!address || address->IsUnspecified() ||
            sa_set_str(&remote_, offer.address.c_str(), offer.audio_port) != 0) {
            *error =
                "the caller's audio address '" + PrintableText(offer.address) + "' is no address";
            return false;
        }
        return true;
    }

    static void OnPacket(const sa* source, const rtp_header* header, mbuf* packet, void* arg) {
        static_cast<Stream*>(arg)->Received(*source, *header, packet);
    }

    // Only the caller's own packets are heard; the others are counted in the figures.
    bool FromCaller(const sa& source) {
        const std::optional<IpAddress> address = IpAddressOf(source);
        if (!address) {
            return false;
        }
        return sources_.Take(*address, sa_port(&source));
    }

    void Received(const sa& source, const rtp_header& header, mbuf* packet) {
        if (!started_ || !FromCaller(source)) {
            return;
        }
        // Voice and telephone events share the caller's sequence numbers.
        if (expected_sequence_) {
            const auto gap = static_cast<uint16_t>(header.seq - *expected_sequence_);
            if (gap > 0 && gap < 0x8000) {
                figures_.lost += gap;
            }
        }
        if (!expected_sequence_ ||
            static_cast<uint16_t>(header.seq - *expected_sequence_) < 0x8000) {
            expected_sequence_ = static_cast<uint16_t>(header.seq + 1);
        }
        if (choice_.event_payload_type >= 0 && header.pt == choice_.event_payload_type) {
            Event(header, packet);
            return;
        }
        if (header.pt != choice_.payload_type) {
            return;  // comfort noise or a format the answer did not take
        }
        ++figures_.received;
        mbuf* copy = mbuf_alloc(mbuf_get_left(packet));
        if (copy == nullptr) {
            return;
        }
        mbuf_write_mem(copy, mbuf_buf(packet), mbuf_get_left(packet));
        mbuf_set_pos(copy, 0);
        if (jbuf_put(jitter_, &header, copy) == 0) {
            ++jitter_depth_;
        }
        mem_deref(copy);
    }

    // An RFC 4733 event: the key, the end bit, the volume and the duration. Each key press has
    // its own timestamp, and is traced once.
    void Event(const rtp_header& header, mbuf* packet) {
        if (mbuf_get_left(packet) < 4) {
            return;
        }
        const uint8_t event = mbuf_buf(packet)[0];
        if (event >= sizeof kEventKeys - 1 || (last_event_ && *last_event_ == header.ts)) {
            return;
        }
        last_event_ = header.ts;
        ++figures_.events;
        HostTrace(L"sip", L"key " + std::wstring(1, static_cast<wchar_t>(kEventKeys[event])) +
                              L" from " + CallerText(caller_));
    }

    static void OnTick(void* arg) { static_cast<Stream*>(arg)->Tick(); }

    // Every 20 ms of the host clock: a packet to the caller and a packet's worth of the caller's
    // voice to the line. The timer is rearmed against the start, so that it does not drift.
    void Tick() {
        const uint64_t now = tmr_jiffies();
        const uint64_t due = (now - start_ms_) / kPacketMs;
        if (due > ticks_ + kMaxCatchUpPackets) {
            ticks_ = due - kMaxCatchUpPackets;
        }
        media::SendDueLineAudio();
        while (ticks_ < due) {
            ++ticks_;
            SendPacket();
            TakePacket();
        }
        const uint64_t next = start_ms_ + (ticks_ + 1) * kPacketMs;
        tmr_start(&tick_, next > now ? next - now : 0, &Stream::OnTick, this);
    }

    void SendPacket() {
        std::array<int16_t, kPacketSamples> samples{};
        line_->ToCaller(samples);
        const uint32_t timestamp = timestamp_;
        timestamp_ += kPacketSamples;
        if (!SendsToCaller()) {
            return;
        }
        mbuf* packet = mbuf_alloc(RTP_HEADER_SIZE + 64 + kPacketSamples);
        if (packet == nullptr) {
            return;
        }
        mbuf_set_end(packet, RTP_HEADER_SIZE);
        mbuf_set_pos(packet, RTP_HEADER_SIZE);
        Encode(samples, packet);
        mbuf_set_pos(packet, RTP_HEADER_SIZE);
        if (rtp_send(socket_, &remote_, false, first_packet_,
                     static_cast<uint8_t>(choice_.payload_type), timestamp, packet) == 0) {
            ++figures_.sent;
            first_packet_ = false;
        }
        mem_deref(packet);
    }

    // Audio goes to the caller once the call is confirmed, and while the call is not held.
    bool SendsToCaller() const {
        return confirmed_ && choice_.direction != MediaDirection::ReceiveOnly &&
               choice_.direction != MediaDirection::Inactive;
    }

    void Encode(const std::array<int16_t, kPacketSamples>& samples, mbuf* packet) {
        switch (choice_.codec) {
            case VoiceCodec::Pcmu:
                for (int16_t sample : samples) {
                    mbuf_write_u8(packet, g711_pcm2ulaw(sample));
                }
                return;
            case VoiceCodec::Pcma:
                for (int16_t sample : samples) {
                    mbuf_write_u8(packet, g711_pcm2alaw(sample));
                }
                return;
            case VoiceCodec::AmrOctetAligned:
            case VoiceCodec::AmrBandwidthEfficient: {
                std::array<uint8_t, media::kAmrMaxFrameBytes> frame{};
                const size_t size = encoder_->EncodeFrame(samples.data(), frame.data());
                const std::optional<std::vector<uint8_t>> payload = PackAmrPayload(
                    std::span(frame.data(), size), choice_.codec == VoiceCodec::AmrOctetAligned);
                if (payload) {
                    mbuf_write_mem(packet, payload->data(), payload->size());
                }
                return;
            }
        }
    }

    void TakePacket() {
        rtp_header header{};
        void* taken = nullptr;
        const int err = jbuf_get(jitter_, &header, &taken);
        std::vector<int16_t> samples;
        if (err == 0 || err == EAGAIN) {
            if (jitter_depth_ > 0) {
                --jitter_depth_;
            }
            auto* packet = static_cast<mbuf*>(taken);
            samples = Decode(std::span(mbuf_buf(packet), mbuf_get_left(packet)));
            mem_deref(taken);
        }
        if (samples.empty()) {
            samples.assign(kPacketSamples, 0);  // nothing came in time: silence
        }
        jitter_waiting_ += jitter_depth_;
        line_->FromCaller(samples);
        ++from_caller_ticks_;
    }

    std::vector<int16_t> Decode(std::span<const uint8_t> payload) {
        std::vector<int16_t> samples;
        switch (choice_.codec) {
            case VoiceCodec::Pcmu:
                for (uint8_t byte : payload) {
                    samples.push_back(g711_ulaw2pcm(byte));
                }
                break;
            case VoiceCodec::Pcma:
                for (uint8_t byte : payload) {
                    samples.push_back(g711_alaw2pcm(byte));
                }
                break;
            case VoiceCodec::AmrOctetAligned:
            case VoiceCodec::AmrBandwidthEfficient: {
                const auto frames =
                    UnpackAmrPayload(payload, choice_.codec == VoiceCodec::AmrOctetAligned);
                if (!frames) {
                    break;
                }
                for (const std::vector<uint8_t>& frame : *frames) {
                    std::array<int16_t, kPacketSamples> decoded{};
                    decoder_->DecodeFrame(frame, decoded.data());
                    samples.insert(samples.end(), decoded.begin(), decoded.end());
                }
                break;
            }
        }
        // A packet of more than the 20 ms the answer asked for is cut to keep the line in step.
        if (samples.size() > kPacketSamples * kMaxCatchUpPackets) {
            samples.resize(kPacketSamples * kMaxCatchUpPackets);
        }
        return samples;
    }

    std::wstring caller_;
    struct rtp_sock* socket_ = nullptr;
    jbuf* jitter_ = nullptr;
    sa remote_{};
    MediaChoice choice_;
    bool started_ = false;
    bool confirmed_ = false;
    RtpSourceFilter sources_;
    std::optional<media::AmrEncoder> encoder_;
    std::optional<media::AmrDecoder> decoder_;
    std::shared_ptr<LineAudio> line_;
    tmr tick_{};
    uint64_t start_ms_ = 0;
    uint64_t ticks_ = 0;
    uint32_t timestamp_ = 0;
    bool first_packet_ = true;
    std::optional<uint16_t> expected_sequence_;
    std::optional<uint32_t> last_event_;
    RtpFigures figures_;
    uint32_t jitter_depth_ = 0;
    // The jitter buffer's depth summed over the ticks, for its mean delay.
    uint64_t jitter_waiting_ = 0;
    uint64_t from_caller_ticks_ = 0;
};

std::unique_ptr<RtpMedia> RtpMedia::Open(const std::string& host, const std::wstring& caller,
                                         std::string* error) {
    std::unique_ptr<RtpMedia> media(new RtpMedia());
    media->stream_ = std::make_unique<Stream>(caller);
    if (!media->stream_->Open(host, error)) {
        return nullptr;
    }
    return media;
}

RtpMedia::~RtpMedia() = default;

uint16_t RtpMedia::port() const {
    return stream_->port();
}

bool RtpMedia::Start(const MediaChoice& choice, const SdpOffer& offer, std::string* error) {
    return stream_->Start(choice, offer, error);
}

void RtpMedia::ExpectFrom(const RtpSource& source) {
    stream_->ExpectFrom(source);
}

void RtpMedia::Confirm() {
    stream_->Confirm();
}

RtpFigures RtpMedia::figures() const {
    return stream_->figures();
}

}  // namespace tovarin::emulator::sip
