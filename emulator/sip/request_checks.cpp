#include "sip/request_checks.h"

#include <string_view>
#include <utility>

#include "sip/sdp_offer.h"
#include "sip/re_stack.h"

namespace tovarin::emulator::sip {
namespace {

RequestProblem Bad(std::string detail) {
    return {400, "Bad Request", std::move(detail)};
}

constexpr std::pair<sip_hdrid, const char*> kSingleHeaders[] = {
    {SIP_HDR_CALL_ID, "Call-ID"},
    {SIP_HDR_FROM, "From"},
    {SIP_HDR_TO, "To"},
    {SIP_HDR_CSEQ, "CSeq"},
    {SIP_HDR_MAX_FORWARDS, "Max-Forwards"},
    {SIP_HDR_CONTENT_LENGTH, "Content-Length"},
    {SIP_HDR_CONTENT_TYPE, "Content-Type"},
};

bool IsLineMethod(const pl& method) {
    for (const char* known : kLineMethods) {
        if (pl_strcmp(&method, known) == 0) {
            return true;
        }
    }
    return false;
}

bool IsSipScheme(const pl& scheme) {
    return pl_strcasecmp(&scheme, "sip") == 0 || pl_strcasecmp(&scheme, "sips") == 0;
}

}  // namespace

RequestProblem CheckSipRequest(const sip_msg* msg) {
    if (!IsLineMethod(msg->met)) {
        return {501, "Not Implemented", "the line takes no such method"};
    }
    if (!pl_isset(&msg->callid)) {
        return Bad("no Call-ID");
    }
    // A header a request has only once, given twice, leaves it unclear which one holds.
    for (const auto& [id, name] : kSingleHeaders) {
        if (sip_msg_hdr_count(msg, id) > 1) {
            return Bad(std::string("two ") + name + " headers");
        }
    }
    // Over UDP the datagram holds the whole message: a body shorter than its Content-Length was
    // cut on the way.
    if (pl_isset(&msg->clen) && pl_u32(&msg->clen) > mbuf_get_left(msg->mb)) {
        return Bad("the body is shorter than its Content-Length");
    }
    if (!pl_isset(&msg->from.auri) || !pl_isset(&msg->to.auri)) {
        return Bad("no From or no To");
    }
    if (!IsSipScheme(msg->from.uri.scheme) || !pl_isset(&msg->from.uri.host)) {
        return Bad("the From URI is not a SIP URI");
    }
    if (!pl_isset(&msg->cseq.met) || pl_cmp(&msg->cseq.met, &msg->met) != 0) {
        return Bad("the CSeq's method is not the request's");
    }
    if (!IsSipScheme(msg->uri.scheme)) {
        return {416, "Unsupported URI Scheme", "the request URI is not a SIP URI"};
    }
    if (pl_isset(&msg->maxfwd) && pl_u32(&msg->maxfwd) == 0) {
        return {483, "Too Many Hops", "Max-Forwards is 0"};
    }
    if (pl_strcmp(&msg->met, "INVITE") == 0 && mbuf_get_left(msg->mb) > 0) {
        if (!msg_ctype_cmp(&msg->ctyp, "application", "sdp")) {
            return {415, "Unsupported Media Type", "the INVITE's body is not application/sdp"};
        }
        std::string error;
        if (!ParseSdpOffer(std::string_view(reinterpret_cast<const char*>(mbuf_buf(msg->mb)),
                                            mbuf_get_left(msg->mb)),
                           &error)) {
            return Bad("its session description does not parse: " + error);
        }
    }
    return {};
}

}  // namespace tovarin::emulator::sip
