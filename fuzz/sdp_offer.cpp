// The SIP line's reading of a caller's session description and its choice of codec: every input
// is an offer or a printable reason; a chosen format is one the caller offered, sent in a mode AMR
// has; the phone's answer to it reads back as the same choice.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "sip/network_text.h"
#include "sip/sdp_offer.h"

using namespace tovarin::emulator::sip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<SdpOffer> offer = ParseSdpOffer(text, &error);
    if (!offer) {
        // The reason goes to the trace: it names what was wrong, never repeats the caller's bytes.
        FUZZ_CHECK(!error.empty() && PrintableText(error) == error);
        return 0;
    }
    FUZZ_CHECK(!offer->address.empty() && !offer->formats.empty());
    const std::optional<MediaChoice> choice = ChooseMedia(*offer);
    if (!choice) {
        return 0;
    }
    FUZZ_CHECK(std::any_of(offer->formats.begin(), offer->formats.end(), [&](const SdpFormat& f) {
        return f.payload_type == choice->payload_type;
    }));
    FUZZ_CHECK(choice->amr_mode >= 0 && choice->amr_mode <= 7);
    FUZZ_CHECK(choice->amr_mode_set.find_first_not_of("01234567,") == std::string::npos);

    const std::string answer = MakeSdpAnswer(*choice, "127.0.0.1", 20000, 1);
    const std::optional<SdpOffer> again = ParseSdpOffer(answer, &error);
    FUZZ_CHECK(again);
    const std::optional<MediaChoice> read_back = ChooseMedia(*again);
    FUZZ_CHECK(read_back);
    FUZZ_CHECK(read_back->codec == choice->codec);
    FUZZ_CHECK(read_back->payload_type == choice->payload_type);
    FUZZ_CHECK(read_back->amr_mode == choice->amr_mode);
    FUZZ_CHECK(read_back->event_payload_type == choice->event_payload_type);
    return 0;
}
