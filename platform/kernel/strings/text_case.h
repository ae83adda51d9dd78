// Case and collation of device texts, over ICU, so that every comparison of the platform
// (registry names, file names, lstrcmpiW, CompareStringW) treats Latin, Greek and Cyrillic alike
// and never depends on the host's locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/text.h"

namespace tovarin::kernel {

// The simple (one character to one character) case fold, upper and lower case of a character.
wchar_t FoldChar(wchar_t c);
wchar_t UpperChar(wchar_t c);
wchar_t LowerChar(wchar_t c);

std::wstring FoldText(std::wstring_view text);

// Negative, 0 or positive: the texts after folding to lower case, character by character (the
// C runtime's _wcsicmp order, not a language's).
int CompareIgnoringCaseOrdinal(std::wstring_view a, std::wstring_view b);

// How a collation compares: the NORM_* and SORT_* flags of CompareStringW.
struct CollationOptions {
    bool ignore_case = false;
    bool ignore_nonspace = false;  // accents and other marks
    bool ignore_symbols = false;   // punctuation, spaces and symbols
};

// The ICU locale of a language identifier ("ru_RU" for 0x0419), nullopt for one that ICU does
// not know.
std::optional<std::string> LocaleOfLanguage(uint32_t lcid);

// -1, 0 or 1: a and b in the order of the locale's language. Scripts keep the order the phone
// sorts them in (digits, Latin, Greek, Cyrillic) whatever the language; within a script the
// language's rules hold. nullopt when the locale cannot be opened.
std::optional<int> Collate(const std::string& locale, CollationOptions options, std::wstring_view a,
                           std::wstring_view b);

}  // namespace tovarin::kernel
