#include "sip/rtp_source.h"

#include <algorithm>

namespace tovarin::emulator::sip {

void RtpSourceFilter::Expect(RtpSource source) {
    // A new offer from a translated caller keeps the port its packets already come from.
    port_fixed_ = port_fixed_ && source.translated && source_ && source_->translated &&
                  source.address == source_->address;
    if (port_fixed_) {
        source.port = source_->port;
    }
    source_ = std::move(source);
}

bool RtpSourceFilter::FromCallersHost(const IpAddress& address) const {
    return address == source_->address ||
           std::find(source_->same_host.begin(), source_->same_host.end(), address) !=
               source_->same_host.end();
}

bool RtpSourceFilter::Take(const IpAddress& address, uint16_t port) {
    if (!source_ || !FromCallersHost(address)) {
        ++dropped_;
        return false;
    }
    if (source_->translated && !port_fixed_) {
        source_->port = port;
        port_fixed_ = true;
        return true;
    }
    if (port != source_->port) {
        ++dropped_;
        return false;
    }
    return true;
}

}  // namespace tovarin::emulator::sip
