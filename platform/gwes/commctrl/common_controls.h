// The common controls library, host side: which control classes device code has asked for with
// InitCommonControlsEx, for tests and the emulator's checks.
#pragma once

#include <cstdint>

namespace tovarin::gwes {

// The union of the ICC_* flags of every successful InitCommonControlsEx call on the device that
// is up (0 on a new device).
uint32_t InitializedCommonControls();

}  // namespace tovarin::gwes
