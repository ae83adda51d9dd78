// The phone's offer when it calls out: AMR-NB first, octet-aligned as the line answers with,
// then bandwidth-efficient AMR, PCMU and PCMA for a softphone without AMR, and RFC 4733
// telephone events; 20 ms a packet, both ways. The called party's answer is read back with
// ParseSdpOffer and ChooseMedia (sdp_offer.h), as a caller's offer is.
#pragma once

#include <cstdint>
#include <string>

namespace tovarin::emulator::sip {

// The payload types the offer gives its formats.
inline constexpr int kOfferAmrOctetAligned = 96;
inline constexpr int kOfferAmrBandwidthEfficient = 97;
inline constexpr int kOfferTelephoneEvent = 101;

// The offer of the phone's audio at local_address:local_port.
std::string MakeSdpOffer(const std::string& local_address, uint16_t local_port,
                         uint64_t session_id);

}  // namespace tovarin::emulator::sip
