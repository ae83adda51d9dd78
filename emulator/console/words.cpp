#include "console/words.h"

namespace tovarin::emulator::console {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t';
}

int DigitValue(char c, int base) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

}  // namespace

SplitLine SplitWords(std::string_view line) {
    SplitLine result;
    // A zero would cut a name or text short where the device reads it as a C string: a value
    // "A\0B" would silently become "A".
    if (line.find('\0') != std::string_view::npos) {
        result.error = "the line holds a zero character (NUL), which no name or text may hold";
        return result;
    }
    size_t pos = 0;
    while (pos < line.size()) {
        if (IsSpace(line[pos])) {
            ++pos;
            continue;
        }
        Word word;
        if (line[pos] == '"') {
            size_t close = line.find('"', pos + 1);
            if (close == std::string_view::npos) {
                result.error = "a quoted word has no closing quote";
                return result;
            }
            if (close + 1 < line.size() && !IsSpace(line[close + 1])) {
                result.error = "a closing quote must end its word";
                return result;
            }
            word.text = line.substr(pos + 1, close - pos - 1);
            word.quoted = true;
            pos = close + 1;
        } else {
            size_t end = pos;
            while (end < line.size() && !IsSpace(line[end])) {
                if (line[end] == '"') {
                    result.error = "a quote inside a word";
                    return result;
                }
                ++end;
            }
            word.text = line.substr(pos, end - pos);
            pos = end;
        }
        result.words.push_back(std::move(word));
    }
    return result;
}

std::optional<uint64_t> ParseNumber(std::string_view text, uint64_t max) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        int digit = DigitValue(c, base);
        if (digit < 0 || static_cast<uint64_t>(digit) > max) {
            return std::nullopt;
        }
        if (value > (max - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) {
            return std::nullopt;
        }
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    }
    return value;
}

std::optional<int64_t> ParseSignedNumber(std::string_view text) {
    constexpr uint64_t kMostPositive = static_cast<uint64_t>(INT64_MAX);
    if (!text.empty() && text[0] == '-') {
        std::optional<uint64_t> magnitude = ParseNumber(text.substr(1), kMostPositive + 1);
        if (!magnitude) {
            return std::nullopt;
        }
        return *magnitude == kMostPositive + 1 ? INT64_MIN : -static_cast<int64_t>(*magnitude);
    }
    std::optional<uint64_t> value = ParseNumber(text, kMostPositive);
    return value ? std::optional<int64_t>(static_cast<int64_t>(*value)) : std::nullopt;
}

bool IsBlankOrComment(std::string_view line) {
    for (char c : line) {
        if (IsSpace(c) || c == '\r') {
            continue;
        }
        return c == '#';
    }
    return true;
}

}  // namespace tovarin::emulator::console
