// The device's volumes and their free space, host side.
//
// The device has the root volume ("\", the object store) and, while a card is inserted, the
// storage card volume mounted on the folder "\Storage Card". GetDiskFreeSpaceExW reports the host's
// free space for the file system that holds the path, unless the emulator has set a simulated free
// space for the path's volume (to play a nearly full phone or card; host/free_space.h). Simulated
// values belong to the device that is up.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/free_space.h"

namespace tovarin::kernel {

// The device path of the volume that holds a device path: "\Storage Card" for the card folder
// and anything below it (any letter case), "\" for everything else. The path need not exist.
std::wstring VolumeOf(std::wstring_view device_path);

// A write that adds `bytes` to a file of the volume (a device path of the volume, as VolumeOf
// gives it) uses up its simulated free space: false, taking nothing, when they do not fit (the
// write then fails with ERROR_DISK_FULL); true when they fit or no free space is simulated.
bool TakeSimulatedSpace(const std::wstring& volume, uint64_t bytes);
// A file of the volume that was deleted, truncated or moved away gives its bytes back to the
// volume's simulated free space (nothing happens when none is simulated).
void GiveBackSimulatedSpace(const std::wstring& volume, uint64_t bytes);

}  // namespace tovarin::kernel
