#include "kernel/registry/reg_text.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include <winreg.h>

#include "host/text.h"
#include "kernel/strings/text_case.h"
#include "kernel/strings/utf16.h"

namespace tovarin::kernel::registry {
namespace {

constexpr size_t kHexLineWidth = 78;

bool SurvivesUtf8(std::wstring_view text) {
    return Utf8ToWide(WideToUtf8(text)) == text;
}

bool IsWritableName(std::wstring_view name) {
    return name.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring_view::npos &&
           SurvivesUtf8(name);
}

std::vector<uint8_t> StringBytes(std::wstring_view text) {
    std::vector<uint8_t> bytes((text.size() + 1) * sizeof(wchar_t), 0);
    if (!text.empty()) {  // an empty view's data() may be null, which memcpy may not be given
        std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    }
    return bytes;
}

bool IsStringType(uint32_t type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

void PutUnit(std::vector<uint8_t>& out, char16_t unit) {
    out.push_back(static_cast<uint8_t>(unit & 0xFF));
    out.push_back(static_cast<uint8_t>(unit >> 8));
}

// The string data as the phone and the registry editor store it: UTF-16LE. nullopt when the
// host's characters cannot all be carried (not whole characters, beyond U+10FFFF, or a
// surrogate pair spelled as two characters, which would read back as one).
std::optional<std::vector<uint8_t>> HostToUtf16(const std::vector<uint8_t>& data) {
    if (data.size() % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!data.empty()) {
        std::memcpy(text.data(), data.data(), data.size());
    }
    const std::u16string units = WideToUtf16(text, LoneSurrogates::Keep);
    if (Utf16ToWide(units, LoneSurrogates::Keep) != text) {
        return std::nullopt;
    }
    std::vector<uint8_t> out;
    out.reserve(units.size() * 2);
    for (char16_t unit : units) {
        PutUnit(out, unit);
    }
    return out;
}

// UTF-16LE data back to the host's characters; a lone surrogate stays a character of its own and
// an odd last byte stays a byte.
std::vector<uint8_t> Utf16ToHost(const std::vector<uint8_t>& data) {
    const std::wstring text =
        Utf16ToWide(Utf16Units(std::as_bytes(std::span(data))), LoneSurrogates::Keep);
    std::vector<uint8_t> out(text.size() * sizeof(wchar_t));
    if (!out.empty()) {  // an empty vector's data() may be null, which memcpy may not be given
        std::memcpy(out.data(), text.data(), out.size());
    }
    if (data.size() % 2 != 0) {
        out.push_back(data.back());
    }
    return out;
}

// The comment before a string value whose data UTF-16 cannot carry (HostToUtf16): the hex bytes
// of the next value are the device's own bytes.
constexpr std::string_view kDeviceBytesNote = "; the next value's data are the device's own bytes";

// The text of a REG_SZ value when a quoted string carries its bytes exactly.
std::optional<std::wstring> QuotableText(const std::vector<uint8_t>& data) {
    if (data.empty() || data.size() % sizeof(wchar_t) != 0) {
        return std::nullopt;
    }
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), data.size());
    if (text.back() != L'\0') {
        return std::nullopt;
    }
    text.pop_back();
    if (!IsWritableName(text)) {
        return std::nullopt;
    }
    return text;
}

std::string Quoted(std::wstring_view text) {
    std::string out = "\"";
    for (char c : WideToUtf8(text)) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

void AppendHexBytes(std::string& out, size_t line_start, const std::vector<uint8_t>& data) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < data.size(); ++i) {
        out += kDigits[data[i] >> 4];
        out += kDigits[data[i] & 0xF];
        if (i + 1 < data.size()) {
            out += ',';
            if (out.size() - line_start >= kHexLineWidth - 3) {
                out += "\\\n  ";
                line_start = out.size() - 2;
            }
        }
    }
}

// "hex:" or "hex(N):" and the bytes, to the end of the value's line.
void AppendValueData(std::string& out, size_t line_start, uint32_t type,
                     const std::vector<uint8_t>& bytes) {
    if (type == REG_BINARY) {
        out += "hex:";
    } else {
        char prefix[24];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
        out += prefix;
    }
    AppendHexBytes(out, line_start, bytes);
    out += '\n';
}

void AppendValue(std::string& out, const RegValue& value) {
    const size_t line_start = out.size();
    out += value.name.empty() ? std::string("@") : Quoted(value.name);
    out += '=';
    if (value.type == REG_SZ) {
        if (auto text = QuotableText(value.data)) {
            out += Quoted(*text);
            out += '\n';
            return;
        }
    }
    if (value.type == REG_DWORD && value.data.size() == sizeof(uint32_t)) {
        uint32_t number = 0;
        std::memcpy(&number, value.data.data(), sizeof number);
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", number);
        out += "dword:";
        out += digits;
        out += '\n';
        return;
    }
    const std::vector<uint8_t>* bytes = &value.data;
    std::optional<std::vector<uint8_t>> utf16;
    if (IsStringType(value.type)) {
        utf16 = HostToUtf16(value.data);
        if (utf16) {
            bytes = &*utf16;
        } else {
            // Written before the value's line, which is moved after the note.
            std::string line = out.substr(line_start);
            out.resize(line_start);
            out += kDeviceBytesNote;
            out += '\n';
            out += line;
            return AppendValueData(out, out.size() - line.size(), value.type, value.data);
        }
    }
    AppendValueData(out, line_start, value.type, *bytes);
}

std::wstring JoinPath(std::wstring_view root_name, const std::vector<std::wstring>& path) {
    std::wstring joined(root_name);
    for (const std::wstring& part : path) {
        joined += L'\\';
        joined += part;
    }
    return joined;
}

// Reading -------------------------------------------------------------------------------------

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

struct LineError {
    std::string message;
};

// Reads a quoted string at the start of text (escapes \\ and \"); leaves text after the quote.
std::optional<std::wstring> ReadQuoted(std::string_view& text, LineError& error) {
    if (text.empty() || text.front() != '"') {
        error.message = "expected a quoted string";
        return std::nullopt;
    }
    std::string raw;
    size_t i = 1;
    for (; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') {
            if (i + 1 >= text.size() || (text[i + 1] != '\\' && text[i + 1] != '"')) {
                error.message = "a backslash in a quoted string must be written \\\\";
                return std::nullopt;
            }
            ++i;
        }
        raw += text[i];
    }
    if (i >= text.size()) {
        error.message = "a quoted string is not closed";
        return std::nullopt;
    }
    text.remove_prefix(i + 1);
    return Utf8ToWide(raw);
}

std::optional<std::vector<uint8_t>> ReadHexBytes(std::string_view text, LineError& error) {
    std::vector<uint8_t> bytes;
    text = TrimLeft(TrimRight(text));
    while (!text.empty()) {
        size_t comma = text.find(',');
        std::string_view item = TrimLeft(TrimRight(text.substr(0, comma)));
        if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
            (item.size() == 2 && HexDigit(item[1]) < 0)) {
            error.message = "hex data must be bytes of two hex digits separated by commas";
            return std::nullopt;
        }
        int byte = HexDigit(item[0]);
        if (item.size() == 2) {
            byte = byte * 16 + HexDigit(item[1]);
        }
        bytes.push_back(static_cast<uint8_t>(byte));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
        if (TrimLeft(text).empty()) {
            error.message = "hex data ends with a comma";
            return std::nullopt;
        }
    }
    return bytes;
}

// The data part of a value line (after the '='), hex continuation lines already joined.
std::optional<RegValue> ReadData(std::string_view text, LineError& error) {
    RegValue value;
    if (StartsWith(text, "\"")) {
        auto content = ReadQuoted(text, error);
        if (!content) {
            return std::nullopt;
        }
        if (!TrimRight(text).empty()) {
            error.message = "unexpected text after the closing quote";
            return std::nullopt;
        }
        value.type = REG_SZ;
        value.data = StringBytes(*content);
        return value;
    }
    if (StartsWith(text, "dword:")) {
        std::string_view digits = TrimRight(text.substr(6));
        if (digits.empty() || digits.size() > 8) {
            error.message = "dword: needs one to eight hex digits";
            return std::nullopt;
        }
        uint32_t number = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0) {
                error.message = "dword: needs one to eight hex digits";
                return std::nullopt;
            }
            number = number * 16 + static_cast<uint32_t>(HexDigit(c));
        }
        value.type = REG_DWORD;
        value.data.resize(sizeof number);
        std::memcpy(value.data.data(), &number, sizeof number);
        return value;
    }
    if (StartsWith(text, "hex:")) {
        value.type = REG_BINARY;
        text.remove_prefix(4);
    } else if (StartsWith(text, "hex(")) {
        size_t close = text.find("):");
        std::string_view digits = text.substr(4, close == std::string_view::npos ? 0 : close - 4);
        if (digits.empty() || digits.size() > 8) {
            error.message = "hex(type): needs the type as hex digits";
            return std::nullopt;
        }
        uint32_t type = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0) {
                error.message = "hex(type): needs the type as hex digits";
                return std::nullopt;
            }
            type = type * 16 + static_cast<uint32_t>(HexDigit(c));
        }
        value.type = type;
        text.remove_prefix(close + 2);
    } else if (StartsWith(text, "-")) {
        error.message = "a hive file cannot delete values (\"name\"=-)";
        return std::nullopt;
    } else {
        error.message = "the data must be a quoted string, dword:, hex: or hex(type):";
        return std::nullopt;
    }
    auto bytes = ReadHexBytes(text, error);
    if (!bytes) {
        return std::nullopt;
    }
    value.data = std::move(*bytes);
    return value;
}

class HiveReader {
  public:
    HiveReader(std::wstring_view root_name, KeyNode& root) : root_name_(root_name), root_(root) {}

    std::optional<HiveSyntaxError> Read(std::string_view text) {
        // The registry editor exports UTF-16 with a byte-order mark.
        std::optional<std::string> converted;
        if (StartsWith(text, "\xFF\xFE") || StartsWith(text, "\xFE\xFF")) {
            converted = Utf16TextToUtf8(
                text.substr(2), text[0] == '\xFE' ? ByteOrder::BigEndian : ByteOrder::LittleEndian);
            if (!converted) {
                return HiveSyntaxError{1, "the file begins as UTF-16 but is not valid UTF-16"};
            }
            text = *converted;
        }
        if (StartsWith(text, "\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        std::vector<std::string_view> lines;
        for (size_t start = 0; start <= text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) {
                end = text.size();
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        bool header_seen = false;
        for (size_t i = 0; i < lines.size(); ++i) {
            const size_t line_number = i + 1;
            std::string_view line = TrimRight(lines[i]);
            if (WideToUtf8(Utf8ToWide(line)) != line) {
                return HiveSyntaxError{line_number, "the line is not valid UTF-8"};
            }
            // A zero byte would make a key or value name that no hive file can hold again.
            if (line.find('\0') != std::string_view::npos) {
                return HiveSyntaxError{line_number, "the line holds a zero byte"};
            }
            if (TrimLeft(line) == kDeviceBytesNote) {
                device_bytes_next_ = true;
                continue;
            }
            if (TrimLeft(line).empty() || TrimLeft(line).front() == ';') {
                continue;
            }
            if (!header_seen) {
                if (line != kHiveHeader) {
                    return HiveSyntaxError{line_number, "the file must begin with \"" +
                                                            std::string(kHiveHeader) + "\""};
                }
                header_seen = true;
                continue;
            }
            std::string joined;
            if (line.front() == '"' || line.front() == '@') {
                // Hex data may go on over lines that end with a backslash.
                joined = std::string(line);
                while (joined.back() == '\\' && joined.find("=hex") != std::string::npos &&
                       i + 1 < lines.size()) {
                    joined.pop_back();
                    joined += TrimLeft(TrimRight(lines[++i]));
                }
                line = joined;
            }
            LineError error;
            if (!ReadLine(line, error)) {
                return HiveSyntaxError{line_number, error.message};
            }
        }
        if (!header_seen) {
            return HiveSyntaxError{1,
                                   "the file must begin with \"" + std::string(kHiveHeader) + "\""};
        }
        return std::nullopt;
    }

  private:
    bool ReadLine(std::string_view line, LineError& error) {
        if (line.front() == '[') {
            return ReadKeyLine(line, error);
        }
        if (line.front() == '"' || line.front() == '@') {
            return ReadValueLine(line, error);
        }
        error.message = "expected a [key] line, a \"name\"= value line or @= default value line";
        return false;
    }

    bool ReadKeyLine(std::string_view line, LineError& error) {
        if (line.back() != ']') {
            error.message = "a key line must end with ']'";
            return false;
        }
        std::wstring path = Utf8ToWide(line.substr(1, line.size() - 2));
        if (!path.empty() && path.front() == L'-') {
            error.message = "a hive file cannot delete keys ([-...])";
            return false;
        }
        std::vector<std::wstring_view> parts = SplitKeyPath(path);
        if (parts.empty() || !TextsEqualIgnoringCase(parts.front(), root_name_)) {
            error.message = "the key must be under " + WideToUtf8(root_name_);
            return false;
        }
        parts.erase(parts.begin());
        if (parts.size() > kMaxKeyDepth) {
            error.message =
                "keys nest at most " + std::to_string(kMaxKeyDepth) + " levels below the root";
            return false;
        }
        for (std::wstring_view part : parts) {
            if (part.size() > kMaxNameLength) {
                error.message =
                    "a key name holds at most " + std::to_string(kMaxNameLength) + " characters";
                return false;
            }
        }
        if (IsVolatilePath(parts)) {
            current_ = &discarded_;  // checked, then dropped
            discarded_.values.clear();
            return true;
        }
        current_ = &root_;
        for (std::wstring_view part : parts) {
            bool created = false;
            current_ = current_->FindOrAddSubkey(part, &created);
        }
        return true;
    }

    bool ReadValueLine(std::string_view line, LineError& error) {
        if (!current_) {
            error.message = "a value comes before the first [key] line";
            return false;
        }
        std::wstring name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quoted = ReadQuoted(line, error);
            if (!quoted) {
                return false;
            }
            name = std::move(*quoted);
            if (name.size() > kMaxNameLength) {
                error.message =
                    "a value name holds at most " + std::to_string(kMaxNameLength) + " characters";
                return false;
            }
        }
        line = TrimLeft(line);
        if (line.empty() || line.front() != '=') {
            error.message = "expected '=' after the value name";
            return false;
        }
        line = TrimLeft(line.substr(1));
        const bool device_bytes = std::exchange(device_bytes_next_, false);
        auto value = ReadData(line, error);
        if (!value) {
            return false;
        }
        if (IsStringType(value->type) && !device_bytes && !line.starts_with("\"")) {
            value->data = Utf16ToHost(value->data);  // hex(1), hex(2), hex(7): UTF-16 bytes
        }
        if (RegValue* existing = current_->FindValue(name)) {
            existing->type = value->type;
            existing->data = std::move(value->data);
        } else {
            value->name = std::move(name);
            current_->values.push_back(std::move(*value));
        }
        return true;
    }

    std::wstring_view root_name_;
    KeyNode& root_;
    KeyNode discarded_;
    KeyNode* current_ = nullptr;
    bool device_bytes_next_ = false;  // kDeviceBytesNote came before the next value
};

}  // namespace

std::string FormatHive(const KeyNode& root, std::wstring_view root_name,
                       std::vector<std::wstring>* skipped) {
    std::string out(kHiveHeader);
    out += '\n';
    ForEachKey(root, [&](const KeyNode& key) {
        const std::vector<std::wstring> path = PathOf(key);
        if (IsVolatilePath(path)) {
            return;
        }
        for (const std::wstring& part : path) {
            if (!IsWritableName(part)) {
                if (&part == &path.back() && skipped) {
                    skipped->push_back(JoinPath(root_name, path));
                }
                return;
            }
        }
        std::vector<const RegValue*> writable;
        for (const RegValue& value : key.values) {
            if (IsWritableName(value.name)) {
                writable.push_back(&value);
            } else if (skipped) {
                skipped->push_back(JoinPath(root_name, path) + L"\\\"" + value.name + L"\"");
            }
        }
        // The root key is always there: it gets a heading only for values that are written, so
        // that what is written reads back into a tree that is written the same.
        if (path.empty() && writable.empty()) {
            return;
        }
        out += "\n[";
        out += WideToUtf8(JoinPath(root_name, path));
        out += "]\n";
        for (const RegValue* value : writable) {
            AppendValue(out, *value);
        }
    });
    return out;
}

std::optional<HiveSyntaxError> ParseHive(std::string_view text, std::wstring_view root_name,
                                         KeyNode& root) {
    return HiveReader(root_name, root).Read(text);
}

}  // namespace tovarin::kernel::registry
