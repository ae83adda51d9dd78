// The wave-out volume of the device, host side: what waveOutSetVolume last set, for the emulator
// and tests to read or to preset.
//
// The device has one wave-out device (id 0) and keeps one 32-bit volume for it: the left channel's
// level in the low word, the right channel's in the high word, 0xFFFF being full. A device boots
// at full volume on both channels (kDefaultWaveVolume).
#pragma once

#include <cstdint>

namespace tovarin::media {

inline constexpr uint32_t kDefaultWaveVolume = 0xFFFFFFFF;

// The volume of wave-out device 0 of the device that is up.
uint32_t WaveVolume();
// Presets it, as if device code had called waveOutSetVolume.
void SetWaveVolume(uint32_t volume);

}  // namespace tovarin::media
