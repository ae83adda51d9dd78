#include "sip/rtp_media.h"

#include <netinet/in.h>

#include <cstring>
#include "sip/re_stack.h"

namespace tovarin::emulator::sip {
namespace {

// RTP takes an even port from this range (RTCP, unused, would be the odd one above).
constexpr uint16_t kFirstRtpPort = 16384;
constexpr uint16_t kLastRtpPort = 32767;

}  // namespace

class RtpMedia::Stream {
  public:
    ~Stream() { mem_deref(socket_); }

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
        return true;
    }

    uint16_t port() const { return sa_port(rtp_local(socket_)); }

    bool Start(const MediaChoice& choice, const SdpOffer& offer, std::string* error) {
        if (sa_set_str(&remote_, offer.address.c_str(), offer.audio_port) != 0) {
            *error = "the caller's audio address '" + offer.address + "' is no address";
            return false;
        }
        choice_ = choice;
        return true;
    }

    RtpFigures figures() const { return figures_; }

  private:
    static void OnPacket(const sa*, const rtp_header*, mbuf*, void* arg) {
        ++static_cast<Stream*>(arg)->figures_.received;
    }

    struct rtp_sock* socket_ = nullptr;
    sa remote_{};
    MediaChoice choice_;
    RtpFigures figures_;
};

std::unique_ptr<RtpMedia> RtpMedia::Open(const std::string& host, std::string* error) {
    std::unique_ptr<RtpMedia> media(new RtpMedia());
    media->stream_ = std::make_unique<Stream>();
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

RtpFigures RtpMedia::figures() const {
    return stream_->figures();
}

}  // namespace tovarin::emulator::sip
