// The SIP line's unpacking of AMR-NB frames from RTP, in both payload formats: every frame it
// gives is a storage-form frame that packs into a payload of its own and unpacks back to itself.
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "sip/amr_payload.h"

using namespace tovarin::emulator::sip;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> payload(data, size);
    for (const bool octet_aligned : {true, false}) {
        const auto frames = UnpackAmrPayload(payload, octet_aligned);
        if (!frames) {
            continue;
        }
        FUZZ_CHECK(!frames->empty() && frames->size() <= 16);
        for (const std::vector<uint8_t>& frame : *frames) {
            // A storage-form table of contents: 0 FT(4) Q 0 0.
            FUZZ_CHECK(!frame.empty() && (frame[0] & 0x83) == 0);
            FUZZ_CHECK(frame.size() <= size + 1);
            const auto packed = PackAmrPayload(frame, octet_aligned);
            FUZZ_CHECK(packed);
            const auto again = UnpackAmrPayload(*packed, octet_aligned);
            FUZZ_CHECK(again && again->size() == 1 && again->front() == frame);
        }
    }
    return 0;
}
