// The phone's contacts as the host adds to them and picks from them (the console's "contact add"
// and "chooser pick"): the contact store, the vCard file "\My Documents\Contacts.vcf" of the
// device, and the contact chooser's window, a full-screen dialog that lists the contacts, then
// the numbers of the contact the user tapped, in one list box.
#pragma once

#include <windows.h>

#include <string>

namespace tovarin::pim {

inline constexpr wchar_t kContactStorePath[] = L"\\My Documents\\Contacts.vcf";

enum class NumberType { Mobile, Work, Home, Other };

enum class AddResult {
    ContactAdded,   // a new card
    NumberAdded,    // another number on the card of that name
    AlreadyThere,   // that contact already has that number: nothing changed
    StoreUnusable,  // the file cannot be read or written: nothing changed
};

// Adds the number to the contact of that name (exact comparison), or a new contact.
AddResult AddContactNumber(const std::wstring& name, const std::wstring& number, NumberType type,
                           std::string* fault);

// The name of the contact that has this number, compared by its digits alone ("+7 912 555-01-23"
// is "+79125550123"); empty when no contact has it, the number has no digits or the store
// cannot be read.
std::wstring ContactNameOfNumber(const std::wstring& number);

inline constexpr int kChooserListId = 1100;
inline constexpr int kChooserHeadingId = 1101;
inline constexpr wchar_t kChooserTitle[] = L"Контакты";

// The open chooser (the topmost shown one), or null.
HWND FindOpenChooser();

// Whether the chooser shows its contacts (the user has not tapped one yet).
bool ChooserShowsContacts(HWND chooser);

// The row of the number in the chooser's list of numbers; -1 when it has none such.
int ChooserNumberRow(HWND chooser, const wchar_t* number);

}  // namespace tovarin::pim
