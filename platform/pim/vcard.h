// The contact store's file format: vCard 3.0, of which the store keeps each card's formatted
// name (FN) and its telephone numbers (TEL) with their types. Other properties are read past.
//
// The reader is strict about the structure (BEGIN/END pairs, VERSION 3.0, one FN per card, a
// colon on every content line, UTF-8 text) and reports the first fault with its line, so that a
// person who edited the file by hand learns what to mend; it is lenient where the format is
// (folded lines, CRLF or LF line ends, upper or lower case names, groups, quoted parameters).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/contacts.h"

namespace tovarin::pim {

struct ContactNumber {
    std::wstring number;
    NumberType type = NumberType::Other;
    bool operator==(const ContactNumber&) const = default;
};

struct Contact {
    std::wstring name;
    std::vector<ContactNumber> numbers;
    bool operator==(const Contact&) const = default;
};

struct VCardError {
    size_t line = 0;  // 1-based line of the file where the fault is
    std::string reason;
};

std::variant<std::vector<Contact>, VCardError> ParseVCards(std::string_view utf8);

// The cards as vCard 3.0 text: CRLF line ends, lines folded at 75 bytes, texts escaped.
std::string WriteVCards(const std::vector<Contact>& contacts);

}  // namespace tovarin::pim
