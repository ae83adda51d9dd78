// The free space the device's volumes report, as the host sets it: to play a nearly full phone
// or card, the emulator sets a simulated free space for a volume; GetDiskFreeSpaceExW reports it
// instead of the host's. Simulated values belong to the device that is up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovarin::kernel {

// Sets (or, with nullopt, clears) the simulated free space of the volume that holds the device
// path; both the free bytes and the bytes available to the caller report that value.
void SetSimulatedFreeSpace(std::wstring device_path, std::optional<uint64_t> bytes);
std::optional<uint64_t> SimulatedFreeSpace(std::wstring_view device_path);

// Sets (or clears) the simulated free bytes of the whole volume apart from what the caller may
// use: a volume that keeps space back reports more free bytes than the caller can have. Without
// it, the volume's free bytes are the caller's.
void SetSimulatedTotalFreeSpace(std::wstring device_path, std::optional<uint64_t> bytes);

}  // namespace tovarin::kernel
