// The contact store's built-in module, registered at device boot with the kernel's.
#pragma once

namespace tovarin::pim {

// pimstore.dll: ChooseContact (also ordinal 12).
void RegisterPimModule();

}  // namespace tovarin::pim
