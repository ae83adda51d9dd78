#include "pim/vcard.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "host/text.h"

namespace tovarin::pim {
namespace {

constexpr size_t kFoldBytes = 75;  // octets per line before folding

struct LogicalLine {
    size_t line = 0;  // where it starts
    std::string text;
};

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

// Physical lines joined: a line that starts with a space or a tab continues the one before it.
std::vector<LogicalLine> Unfold(std::string_view text) {
    std::vector<LogicalLine> lines;
    size_t number = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view physical = text.substr(pos, end - pos);
        if (!physical.empty() && physical.back() == '\r') {
            physical.remove_suffix(1);
        }
        ++number;
        if (!physical.empty() && (physical[0] == ' ' || physical[0] == '\t') && !lines.empty()) {
            lines.back().text.append(physical.substr(1));
        } else {
            lines.push_back({number, std::string(physical)});
        }
        pos = end + 1;
    }
    return lines;
}

std::wstring Unescape(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out += (next == 'n' || next == 'N') ? '\n' : next;
        } else {
            out += value[i];
        }
    }
    return kernel::Utf8ToWide(out);
}

std::string Escape(const std::wstring& value) {
    std::string out;
    for (char c : kernel::WideToUtf8(value)) {
        switch (c) {
            case '\\':
            case ',':
            case ';':
                out += '\\';
                out += c;
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                break;
            default:
                out += c;
        }
    }
    return out;
}

bool IsUtf8(std::string_view text) {
    return kernel::WideToUtf8(kernel::Utf8ToWide(text)) == text;
}

// The first `wanted` at or after pos that is not inside a quoted parameter value
// (TEL;X-LABEL="Office: desk 2";TYPE=WORK:101), or npos.
size_t FindOutsideQuotes(std::string_view text, char wanted, size_t pos = 0) {
    bool quoted = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] == '"') {
            quoted = !quoted;
        } else if (text[pos] == wanted && !quoted) {
            return pos;
        }
    }
    return std::string_view::npos;
}

// The TYPE values of a TEL line's parameters ("TYPE=CELL,VOICE", "type=\"work\"").
NumberType TypeOf(std::string_view parameters) {
    bool mobile = false, work = false, home = false;
    size_t pos = 0;
    while (pos < parameters.size()) {
        size_t end = FindOutsideQuotes(parameters, ';', pos);
        if (end == std::string_view::npos) {
            end = parameters.size();
        }
        std::string parameter = Upper(parameters.substr(pos, end - pos));
        std::erase(parameter, '"');
        const size_t equals = parameter.find('=');
        // "TYPE=A,B", or a bare value as older cards write it.
        std::string values = equals == std::string::npos ? parameter : parameter.substr(equals + 1);
        if (equals == std::string::npos || parameter.substr(0, equals) == "TYPE") {
            values = "," + values + ",";
            mobile |= values.find(",CELL,") != std::string::npos;
            work |= values.find(",WORK,") != std::string::npos;
            home |= values.find(",HOME,") != std::string::npos;
        }
        pos = end + 1;
    }
    return mobile ? NumberType::Mobile
           : work ? NumberType::Work
           : home ? NumberType::Home
                  : NumberType::Other;
}

const char* TypeName(NumberType type) {
    switch (type) {
        case NumberType::Mobile:
            return "CELL";
        case NumberType::Work:
            return "WORK";
        case NumberType::Home:
            return "HOME";
        case NumberType::Other:
            break;
    }
    return "VOICE";
}

// Folds a content line at 75 octets without cutting a UTF-8 sequence.
void AppendFolded(std::string& out, const std::string& line) {
    size_t pos = 0;
    size_t limit = kFoldBytes;
    while (line.size() - pos > limit) {
        size_t cut = pos + limit;
        while (cut > pos && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(line, pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        limit = kFoldBytes - 1;  // the leading space counts
    }
    out.append(line, pos);
    out += "\r\n";
}

}  // namespace

std::variant<std::vector<Contact>, VCardError> ParseVCards(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) {
        utf8.remove_prefix(3);  // a byte-order mark some editors write
    }
    std::vector<Contact> contacts;
    std::optional<Contact> card;
    size_t card_line = 0;
    bool has_version = false;
    bool has_name = false;
    for (const LogicalLine& line : Unfold(utf8)) {
        auto fail = [&](std::string reason) { return VCardError{line.line, std::move(reason)}; };
        if (line.text.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        if (!IsUtf8(line.text)) {
            return fail("the text is not UTF-8");
        }
        const size_t colon = FindOutsideQuotes(line.text, ':');
        if (colon == std::string::npos) {
            return fail("a line without ':'");
        }
        std::string_view head = std::string_view(line.text).substr(0, colon);
        const std::string_view value = std::string_view(line.text).substr(colon + 1);
        const size_t semicolon = FindOutsideQuotes(head, ';');
        const std::string_view parameters =
            semicolon == std::string_view::npos ? std::string_view() : head.substr(semicolon + 1);
        std::string name = Upper(head.substr(0, semicolon));
        if (const size_t dot = name.rfind('.'); dot != std::string::npos) {
            name.erase(0, dot + 1);  // a group ("item1.TEL")
        }
        if (!card) {
            if (name != "BEGIN" || Upper(value) != "VCARD") {
                return fail("'" + name + "' outside a card (BEGIN:VCARD expected)");
            }
            card.emplace();
            card_line = line.line;
            has_version = has_name = false;
            continue;
        }
        if (name == "BEGIN") {
            return fail("BEGIN inside the card begun at line " + std::to_string(card_line));
        }
        if (name == "END") {
            if (Upper(value) != "VCARD") {
                return fail("END:" + std::string(value) + " where END:VCARD was expected");
            }
            if (!has_version) {
                return fail("the card begun at line " + std::to_string(card_line) +
                            " has no VERSION");
            }
            if (!has_name) {
                return fail("the card begun at line " + std::to_string(card_line) + " has no FN");
            }
            contacts.push_back(std::move(*card));
            card.reset();
        } else if (name == "VERSION") {
            if (value != "3.0") {
                return fail("version " + std::string(value) + " (3.0 expected)");
            }
            has_version = true;
        } else if (name == "FN") {
            if (has_name) {
                return fail("a second FN in the card begun at line " + std::to_string(card_line));
            }
            card->name = Unescape(value);
            has_name = true;
        } else if (name == "TEL") {
            std::wstring number = Unescape(value);
            if (!number.empty()) {
                card->numbers.push_back({std::move(number), TypeOf(parameters)});
            }
        }
    }
    if (card) {
        return VCardError{card_line, "the card begun here has no END:VCARD"};
    }
    return contacts;
}

std::string WriteVCards(const std::vector<Contact>& contacts) {
    std::string out;
    for (const Contact& contact : contacts) {
        out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";
        AppendFolded(out, "FN:" + Escape(contact.name));
        AppendFolded(out, "N:" + Escape(contact.name) + ";;;;");
        for (const ContactNumber& number : contact.numbers) {
            AppendFolded(out, std::string("TEL;TYPE=") + TypeName(number.type) + ":" +
                                  Escape(number.number));
        }
        out += "END:VCARD\r\n";
    }
    return out;
}

}  // namespace tovarin::pim
