// The phone's contact store: the vCard file "\My Documents\Contacts.vcf" of the device, which a
// person can read and edit as well. The whole file is read for each use and written whole.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pim/vcard.h"

namespace tovarin::pim {

inline constexpr wchar_t kContactStorePath[] = L"\\My Documents\\Contacts.vcf";

struct ContactStoreRead {
    std::vector<Contact> contacts;
    // Why the file could not be used ("line 4: a line without ':'"); no contacts then. A
    // missing file is an empty store, not a fault.
    std::optional<std::string> fault;
};

ContactStoreRead ReadContactStore();

enum class AddResult {
    ContactAdded,   // a new card
    NumberAdded,    // another number on the card of that name
    AlreadyThere,   // that contact already has that number: nothing changed
    StoreUnusable,  // the file cannot be read or written: nothing changed
};

// Adds the number to the contact of that name (exact comparison), or a new contact.
AddResult AddContactNumber(const std::wstring& name, const std::wstring& number, NumberType type,
                           std::string* fault);

}  // namespace tovarin::pim
