#include "kernel/name_fold.h"

namespace tovarin::kernel {
namespace {

// Blocks where upper and lower case alternate: the upper-case letter sits at an even (or odd)
// code point and its partner follows it.
bool InAlternatingBlock(char32_t c, char32_t first, char32_t last) {
    return c >= first && c <= last && ((c - first) % 2 == 0);
}

}  // namespace

wchar_t FoldChar(wchar_t wide) {
    const char32_t c = static_cast<char32_t>(wide);
    if (c < 0x80) {
        return (c >= U'A' && c <= U'Z') ? static_cast<wchar_t>(c + 0x20) : wide;
    }
    char32_t folded = c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {  // Latin-1 letters (not the multiplication sign)
        folded = c + 0x20;
    } else if (c == 0x130) {  // capital I with dot above
        folded = U'i';
    } else if (c == 0x178) {  // capital Y with diaeresis
        folded = 0xFF;
    } else if (InAlternatingBlock(c, 0x100, 0x12E) || InAlternatingBlock(c, 0x132, 0x136) ||
               InAlternatingBlock(c, 0x139, 0x147) || InAlternatingBlock(c, 0x14A, 0x176) ||
               InAlternatingBlock(c, 0x179, 0x17D)) {
        folded = c + 1;       // Latin Extended-A
    } else if (c == 0x386) {  // Greek capitals with tonos
        folded = 0x3AC;
    } else if (c >= 0x388 && c <= 0x38A) {
        folded = c + 0x25;
    } else if (c == 0x38C) {
        folded = 0x3CC;
    } else if (c == 0x38E || c == 0x38F) {
        folded = c + 0x3F;
    } else if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {  // Greek capitals
        folded = c + 0x20;
    } else if (c >= 0x400 && c <= 0x40F) {  // Cyrillic capitals Ѐ..Џ, Ё among them
        folded = c + 0x50;
    } else if (c >= 0x410 && c <= 0x42F) {  // Cyrillic capitals А..Я
        folded = c + 0x20;
    } else if (InAlternatingBlock(c, 0x460, 0x480) || InAlternatingBlock(c, 0x48A, 0x4BE) ||
               InAlternatingBlock(c, 0x4C1, 0x4CD) || InAlternatingBlock(c, 0x4D0, 0x52E)) {
        folded = c + 1;       // the rest of the Cyrillic block
    } else if (c == 0x4C0) {  // Cyrillic palochka
        folded = 0x4CF;
    } else if (c >= 0xFF21 && c <= 0xFF3A) {  // full-width Latin capitals
        folded = c + 0x20;
    }
    return static_cast<wchar_t>(folded);
}

std::wstring FoldName(std::wstring_view name) {
    std::wstring folded(name);
    for (wchar_t& c : folded) {
        c = FoldChar(c);
    }
    return folded;
}

bool NamesEqual(std::wstring_view a, std::wstring_view b) {
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

}  // namespace tovarin::kernel
