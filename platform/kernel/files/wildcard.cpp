#include "host/wildcard.h"

#include "kernel/strings/text_case.h"

namespace tovarin::kernel {

bool HasWildcard(std::wstring_view text) {
    return text.find_first_of(L"*?") != std::wstring_view::npos;
}

bool MatchesPattern(std::wstring_view pattern, std::wstring_view name) {
    if (pattern == L"*.*") {
        pattern = L"*";
    }
    // Greedy matching with one backtrack point: the last * seen takes one more character each
    // time the rest fails to match. Linear in practice, and never exponential.
    size_t p = 0;
    size_t n = 0;
    size_t star = std::wstring_view::npos;
    size_t star_name = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            star_name = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == L'?' || FoldChar(pattern[p]) == FoldChar(name[n]))) {
            ++p;
            ++n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++star_name;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace tovarin::kernel
