#include "sip/outgoing_offer.h"

namespace tovarin::emulator::sip {

std::string MakeSdpOffer(const std::string& local_address, uint16_t local_port,
                         uint64_t session_id) {
    const std::string family = local_address.find(':') != std::string::npos ? "IP6" : "IP4";
    const std::string octet = std::to_string(kOfferAmrOctetAligned);
    const std::string efficient = std::to_string(kOfferAmrBandwidthEfficient);
    const std::string event = std::to_string(kOfferTelephoneEvent);
    std::string sdp = "v=0\r\n";
    sdp += "o=tovarin-emu " + std::to_string(session_id) + " 1 IN " + family + " " + local_address +
           "\r\n";
    sdp += "s=tovarin-emu\r\n";
    sdp += "c=IN " + family + " " + local_address + "\r\n";
    sdp += "t=0 0\r\n";
    sdp += "m=audio " + std::to_string(local_port) + " RTP/AVP " + octet + " " + efficient +
           " 0 8 " + event + "\r\n";
    sdp += "a=rtpmap:" + octet + " AMR/8000\r\n";
    sdp += "a=fmtp:" + octet + " octet-align=1\r\n";
    sdp += "a=rtpmap:" + efficient + " AMR/8000\r\n";
    sdp += "a=fmtp:" + efficient + " octet-align=0\r\n";
    sdp += "a=rtpmap:0 PCMU/8000\r\n";
    sdp += "a=rtpmap:8 PCMA/8000\r\n";
    sdp += "a=rtpmap:" + event + " telephone-event/8000\r\n";
    sdp += "a=fmtp:" + event + " 0-15\r\n";
    sdp += "a=ptime:20\r\n";
    sdp += "a=sendrecv\r\n";
    return sdp;
}

}  // namespace tovarin::emulator::sip
