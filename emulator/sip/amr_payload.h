// AMR-NB frames in RTP (RFC 4867, single channel, no CRCs, interleaving or robust sorting), in
// both payload formats: octet-aligned (every field on byte boundaries) and bandwidth-efficient
// (the fields packed bit after bit). Frames outside RTP are in the storage form of the AMR file
// format: a table-of-contents byte (0 FT(4) Q 0 0) and the speech bits, padded to a byte.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tovarin::emulator::sip {

// "Codec mode request": no request.
inline constexpr uint8_t kAmrNoModeRequest = 15;

// One storage-form frame as an RTP payload; nullopt for a frame type RTP does not carry.
std::optional<std::vector<uint8_t>> PackAmrPayload(std::span<const uint8_t> frame,
                                                   bool octet_aligned,
                                                   uint8_t mode_request = kAmrNoModeRequest);

// The storage-form frames of an RTP payload, in order; nullopt when the payload is malformed (a
// table of contents that does not end, a frame type that is reserved, too few bytes).
std::optional<std::vector<std::vector<uint8_t>>> UnpackAmrPayload(std::span<const uint8_t> payload,
                                                                  bool octet_aligned);

}  // namespace tovarin::emulator::sip
