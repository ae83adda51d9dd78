// The words of a console line and the numbers the console takes.
//
// Words are separated by spaces (or tabs). A word in double quotes may hold spaces and
// backslashes; there are no escapes inside quotes, so a quoted word ends at the next quote, which
// must end the word. A line with a zero character (NUL) is refused. Numbers are decimal or
// 0x-hexadecimal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovarin::emulator::console {

struct Word {
    std::string text;  // UTF-8, without the quotes
    bool quoted = false;
};

struct SplitLine {
    std::vector<Word> words;
    std::string error;  // empty when the line could be split
};

SplitLine SplitWords(std::string_view line);

// The console's one rule for numbers: decimal or 0x-hexadecimal.
// A number that is at most max; nullopt for anything else (a sign, a suffix, an empty text).
std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t max);
// The same with a leading '-' for a negative number; nullopt outside int64_t.
std::optional<int64_t> ParseSignedNumber(std::string_view text);

// Whether the line holds no command: blank, or a comment whose first non-blank character is #.
bool IsBlankOrComment(std::string_view line);

}  // namespace tovarin::emulator::console
