// The audio of a connected SIP call: RTP to and from the caller, 20 ms a packet, in the codec the
// answer chose. What the caller sends goes through a jitter buffer into the phone line's input
// (what the recorders record); what the device plays to the line goes to the caller. RFC 4733
// telephone events are taken and traced. Lives on the SIP line's thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "sip/rtp_source.h"
#include "sip/sdp_offer.h"

namespace tovarin::emulator::sip {

struct RtpFigures {
    uint64_t sent = 0;      // packets sent to the caller
    uint64_t received = 0;  // voice packets from the caller
    uint64_t lost = 0;      // gaps in the caller's sequence numbers
    uint64_t late = 0;      // packets the jitter buffer dropped as too late or duplicate
    uint64_t events = 0;    // telephone events (key presses)
    uint64_t dropped = 0;   // packets from a source other than the caller's
    // Mean time the phone holds the audio on its way, nullopt when none went that way: from the
    // device's playing a block to the line to the packet that carries its first sample; from a
    // packet's arrival to a reader of the line input taking it (jitter buffer included).
    std::optional<uint32_t> to_caller_delay_ms;
    std::optional<uint32_t> from_caller_delay_ms;
};

class RtpMedia {
  public:
    // Binds an RTP port on host for the call of caller (for the trace). nullptr, with a
    // description, when none is free.
    static std::unique_ptr<RtpMedia> Open(const std::string& host, const std::wstring& caller,
                                          std::string* error);
    ~RtpMedia();
    RtpMedia(const RtpMedia&) = delete;
    RtpMedia& operator=(const RtpMedia&) = delete;

    uint16_t port() const;
    // Starts the audio toward the caller's address and takes over the phone line; again with a
    // new offer, follows it (an unspecified address, a hold, keeps the one before). False, with a
    // description, when the address is no address.
    bool Start(const MediaChoice& choice, const SdpOffer& offer, std::string* error);
    // Where the caller's packets may come from; until the first call, none is taken.
    void ExpectFrom(const RtpSource& source);
    // The caller has confirmed the call (ACK): only from now on does the phone send it audio.
    void Confirm();
    RtpFigures figures() const;

    class Stream;

  private:
    RtpMedia() = default;
    std::unique_ptr<Stream> stream_;
};

}  // namespace tovarin::emulator::sip
