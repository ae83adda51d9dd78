// The phone's contact store: the vCard file "\My Documents\Contacts.vcf" of the device, which a
// person can read and edit as well. The whole file is read for each use and written whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/contacts.h"
#include "pim/vcard.h"

namespace tovarin::pim {

struct ContactStoreRead {
    std::vector<Contact> contacts;
    // Why the file could not be used ("line 4: a line without ':'"); no contacts then. A
    // missing file is an empty store, not a fault.
    std::optional<std::string> fault;
};

ContactStoreRead ReadContactStore();

}  // namespace tovarin::pim
