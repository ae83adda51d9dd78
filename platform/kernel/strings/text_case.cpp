#include "kernel/strings/text_case.h"

#include <map>
#include <memory>
#include <tuple>

#include <unicode/ucol.h>
#include <unicode/uchar.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include "kernel/strings/utf16.h"

namespace tovarin::kernel {
namespace {

// Device texts are wchar_t: one code point per character on the host.
wchar_t Mapped(wchar_t c, UChar32 (*map)(UChar32)) {
    if (c < 0 || static_cast<uint32_t>(c) > 0x10FFFF) {
        return c;
    }
    return static_cast<wchar_t>(map(static_cast<UChar32>(c)));
}

UChar32 SimpleFold(UChar32 c) {
    return u_foldCase(c, U_FOLD_CASE_DEFAULT);
}

struct CollatorCloser {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

// A collator is not shared between threads: each thread keeps the ones it has opened.
UCollator* CollatorFor(const std::string& locale, CollationOptions options) {
    using Key = std::tuple<std::string, bool, bool, bool>;
    thread_local std::map<Key, CollatorPtr> collators;
    Key key{locale, options.ignore_case, options.ignore_nonspace, options.ignore_symbols};
    if (auto found = collators.find(key); found != collators.end()) {
        return found->second.get();
    }
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr collator(ucol_open(locale.c_str(), &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    // The phone orders scripts the same way in every language.
    int32_t no_reordering = UCOL_REORDER_CODE_NONE;
    ucol_setReorderCodes(collator.get(), &no_reordering, 1, &status);
    if (options.ignore_nonspace) {
        ucol_setStrength(collator.get(), UCOL_PRIMARY);
        if (!options.ignore_case) {
            ucol_setAttribute(collator.get(), UCOL_CASE_LEVEL, UCOL_ON, &status);
        }
    } else if (options.ignore_case) {
        ucol_setStrength(collator.get(), UCOL_SECONDARY);
    } else {
        ucol_setStrength(collator.get(), UCOL_TERTIARY);
    }
    if (options.ignore_symbols) {
        ucol_setAttribute(collator.get(), UCOL_ALTERNATE_HANDLING, UCOL_SHIFTED, &status);
    }
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return collators.emplace(key, std::move(collator)).first->second.get();
}

}  // namespace

wchar_t FoldChar(wchar_t c) {
    return Mapped(c, SimpleFold);
}

wchar_t UpperChar(wchar_t c) {
    return Mapped(c, u_toupper);
}

wchar_t LowerChar(wchar_t c) {
    return Mapped(c, u_tolower);
}

std::wstring FoldText(std::wstring_view text) {
    std::wstring folded(text);
    for (wchar_t& c : folded) {
        c = FoldChar(c);
    }
    return folded;
}

bool TextsEqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i])) {
            return false;
        }
    }
    return true;
}

int CompareIgnoringCaseOrdinal(std::wstring_view a, std::wstring_view b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        auto x = static_cast<uint32_t>(LowerChar(a[i]));
        auto y = static_cast<uint32_t>(LowerChar(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::optional<std::string> LocaleOfLanguage(uint32_t lcid) {
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = uloc_getLocaleForLCID(lcid, name, sizeof name, &status);
    if (U_FAILURE(status) || status == U_USING_DEFAULT_WARNING || length <= 0) {
        return std::nullopt;
    }
    return std::string(name, static_cast<size_t>(length));
}

std::optional<int> Collate(const std::string& locale, CollationOptions options, std::wstring_view a,
                           std::wstring_view b) {
    UCollator* collator = CollatorFor(locale, options);
    if (!collator) {
        return std::nullopt;
    }
    std::u16string left = WideToUtf16(a, LoneSurrogates::Replace);
    std::u16string right = WideToUtf16(b, LoneSurrogates::Replace);
    UCollationResult result = ucol_strcoll(collator, left.data(), static_cast<int32_t>(left.size()),
                                           right.data(), static_cast<int32_t>(right.size()));
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

}  // namespace tovarin::kernel
