// The contact chooser's window as the console finds it: a full-screen dialog that lists the
// contacts, then the numbers of the contact the user tapped, in one list box.
#pragma once

#include <windows.h>

namespace tovarin::pim {

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
