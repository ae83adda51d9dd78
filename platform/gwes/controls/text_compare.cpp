#include "gwes/controls/text_compare.h"

#include "kernel/strings/text_case.h"

namespace tovarin::gwes::controls {
namespace {

using kernel::FoldChar;

int CompareFolded(std::wstring_view a, std::wstring_view b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const wchar_t x = FoldChar(a[i]);
        const wchar_t y = FoldChar(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return 0;
}

}  // namespace

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
    const size_t common = std::min(a.size(), b.size());
    if (int order = CompareFolded(a, b, common); order != 0) {
        return order;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool StartsWithNoCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && CompareFolded(text, prefix, prefix.size()) == 0;
}

}  // namespace tovarin::gwes::controls
