#include "pim/contact_store.h"

#include <algorithm>
#include <iterator>
#include <variant>

#include "com/host_file.h"
#include "host/device_paths.h"

namespace tovarin::pim {
namespace {

std::wstring DigitsOf(const std::wstring& number) {
    std::wstring digits;
    std::copy_if(number.begin(), number.end(), std::back_inserter(digits),
                 [](wchar_t each) { return each >= L'0' && each <= L'9'; });
    return digits;
}

}  // namespace

ContactStoreRead ReadContactStore() {
    ContactStoreRead read;
    const std::optional<std::filesystem::path> file = kernel::HostPathFor(kContactStorePath);
    if (!file) {
        read.fault = "the device has no file system";
        return read;
    }
    std::error_code error;
    if (!std::filesystem::exists(*file, error)) {
        return read;
    }
    const std::optional<std::string> bytes = com::ReadWholeFile(*file);
    if (!bytes) {
        read.fault = "the file cannot be read";
        return read;
    }
    auto parsed = ParseVCards(*bytes);
    if (auto* fault = std::get_if<VCardError>(&parsed)) {
        read.fault = "line " + std::to_string(fault->line) + ": " + fault->reason;
        return read;
    }
    read.contacts = std::move(std::get<std::vector<Contact>>(parsed));
    return read;
}

AddResult AddContactNumber(const std::wstring& name, const std::wstring& number, NumberType type,
                           std::string* fault) {
    ContactStoreRead read = ReadContactStore();
    if (read.fault) {
        // A file the reader refuses is left as it is rather than replaced by what could be read.
        *fault = *read.fault;
        return AddResult::StoreUnusable;
    }
    auto contact = std::find_if(read.contacts.begin(), read.contacts.end(),
                                [&](const Contact& each) { return each.name == name; });
    AddResult result = AddResult::ContactAdded;
    if (contact == read.contacts.end()) {
        read.contacts.push_back({name, {{number, type}}});
    } else {
        if (std::any_of(contact->numbers.begin(), contact->numbers.end(),
                        [&](const ContactNumber& each) { return each.number == number; })) {
            return AddResult::AlreadyThere;
        }
        contact->numbers.push_back({number, type});
        result = AddResult::NumberAdded;
    }
    const std::optional<std::filesystem::path> file = kernel::HostPathFor(kContactStorePath);
    if (!file || FAILED(com::ReplaceWholeFile(*file, WriteVCards(read.contacts)))) {
        *fault = "the file cannot be written";
        return AddResult::StoreUnusable;
    }
    return result;
}

std::wstring ContactNameOfNumber(const std::wstring& number) {
    const std::wstring wanted = DigitsOf(number);
    if (wanted.empty()) {
        return {};
    }
    for (const Contact& contact : ReadContactStore().contacts) {
        for (const ContactNumber& each : contact.numbers) {
            if (DigitsOf(each.number) == wanted) {
                return contact.name;
            }
        }
    }
    return {};
}

}  // namespace tovarin::pim
