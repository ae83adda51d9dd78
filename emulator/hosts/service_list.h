// The services that the image lists under HKLM\Services (see service_registry.h), as the service
// host reads them at boot.
#pragma once

#include <string>
#include <vector>

namespace tovarin::emulator {

struct ServiceListing {
    std::wstring key;      // the service's key name ("Ansley")
    std::wstring library;  // empty when the key names none
    std::wstring prefix;   // empty when the key names none
};

// In the order of the keys; empty when the list is missing.
std::vector<ServiceListing> ListedServices();

}  // namespace tovarin::emulator
