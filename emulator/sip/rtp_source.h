// Which RTP packets of a call the phone takes: only those from where the caller's offer said its
// audio comes from, so that no one else can speak into a call (or into its recording). Packets
// from anywhere else are dropped and counted.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sip/audio_address.h"

namespace tovarin::emulator::sip {

struct RtpSource {
    IpAddress address;  // the offer's connection address
    uint16_t port = 0;  // the offer's audio port
    // A caller on this machine may send from any of its addresses (a softphone bound to all of
    // them offers one and sends to loopback from another): these count as the offer's address.
    std::vector<IpAddress> same_host;
    // The caller sits behind an address translation, which may change its port: the first
    // packet from its address after the answer fixes the port, then only that source counts.
    bool translated = false;
};

class RtpSourceFilter {
  public:
    // Until the first Expect, nothing is taken.
    void Expect(RtpSource source);
    // Whether a packet from address:port is the caller's; false counts it as dropped.
    bool Take(const IpAddress& address, uint16_t port);
    uint64_t dropped() const { return dropped_; }

  private:
    bool FromCallersHost(const IpAddress& address) const;

    std::optional<RtpSource> source_;
    bool port_fixed_ = false;
    uint64_t dropped_ = 0;
};

}  // namespace tovarin::emulator::sip
