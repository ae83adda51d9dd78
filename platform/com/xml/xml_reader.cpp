#include "com/xml/xml_reader.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "host/text.h"
#include "kernel/strings/utf16.h"

namespace tovarin::com::xml {
namespace {

constexpr unsigned kParseFlags = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_pi |
                                 pugi::parse_comments | pugi::parse_declaration |
                                 pugi::parse_doctype | pugi::parse_fragment;

bool IsXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Well-formed UTF-8 is exactly what survives decoding and encoding unchanged: the decoder
// replaces every malformed byte. NUL is no XML character, and pugixml would end the text there.
bool IsWellFormedUtf8(std::string_view text) {
    return text.find('\0') == std::string_view::npos &&
           kernel::WideToUtf8(kernel::Utf8ToWide(text)) == text;
}

// text is well-formed UTF-8 here: the whole input was checked before parsing.
bool AllXmlChars(std::string_view text) {
    for (wchar_t c : kernel::Utf8ToWide(text)) {
        if (!IsXmlChar(static_cast<char32_t>(c))) {
            return false;
        }
    }
    return true;
}

std::optional<char32_t> ParseCharReference(std::string_view body) {
    const bool hex = body.size() > 1 && body[0] == 'x';
    const std::string_view digits = hex ? body.substr(1) : body;
    if (digits.empty()) {
        return std::nullopt;
    }
    char32_t value = 0;
    for (char d : digits) {
        unsigned digit;
        if (d >= '0' && d <= '9') {
            digit = static_cast<unsigned>(d - '0');
        } else if (hex && d >= 'a' && d <= 'f') {
            digit = static_cast<unsigned>(d - 'a' + 10);
        } else if (hex && d >= 'A' && d <= 'F') {
            digit = static_cast<unsigned>(d - 'A' + 10);
        } else {
            return std::nullopt;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            return std::nullopt;
        }
    }
    if (!IsXmlChar(value)) {
        return std::nullopt;
    }
    return value;
}

// Character data with its entity and character references replaced; nullopt when a '&' does not
// start a well-formed reference to a predefined entity or a character.
std::optional<std::string> ExpandReferences(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    size_t pos = 0;
    while (pos < raw.size()) {
        const size_t amp = raw.find('&', pos);
        out.append(raw.substr(pos, amp == std::string_view::npos ? raw.size() - pos : amp - pos));
        if (amp == std::string_view::npos) {
            break;
        }
        const size_t semicolon = raw.find(';', amp + 1);
        if (semicolon == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = raw.substr(amp + 1, semicolon - amp - 1);
        if (name == "lt") {
            out.push_back('<');
        } else if (name == "gt") {
            out.push_back('>');
        } else if (name == "amp") {
            out.push_back('&');
        } else if (name == "apos") {
            out.push_back('\'');
        } else if (name == "quot") {
            out.push_back('"');
        } else if (!name.empty() && name[0] == '#') {
            const std::optional<char32_t> c = ParseCharReference(name.substr(1));
            if (!c) {
                return std::nullopt;
            }
            kernel::AppendUtf8(out, *c);
        } else {
            return std::nullopt;
        }
        pos = semicolon + 1;
    }
    return out;
}

bool IsReservedTarget(std::string_view target) {
    return target.size() == 3 && (target[0] == 'x' || target[0] == 'X') &&
           (target[1] == 'm' || target[1] == 'M') && (target[2] == 'l' || target[2] == 'L');
}

bool CheckAttributes(pugi::xml_node element) {
    for (pugi::xml_attribute attribute : element.attributes()) {
        for (pugi::xml_attribute earlier = element.first_attribute(); earlier != attribute;
             earlier = earlier.next_attribute()) {
            if (std::strcmp(earlier.name(), attribute.name()) == 0) {
                return false;
            }
        }
        const std::string_view raw = attribute.value();
        if (raw.find('<') != std::string_view::npos || !AllXmlChars(raw)) {
            return false;
        }
        const std::optional<std::string> value = ExpandReferences(raw);
        if (!value) {
            return false;
        }
        attribute.set_value(value->c_str());
    }
    return true;
}

// Checks one node below the document element and expands its references.
bool CheckInnerNode(pugi::xml_node node) {
    const std::string_view value = node.value();
    switch (node.type()) {
        case pugi::node_element:
            return CheckAttributes(node);
        case pugi::node_pcdata: {
            if (value.find("]]>") != std::string_view::npos || !AllXmlChars(value)) {
                return false;
            }
            const std::optional<std::string> text = ExpandReferences(value);
            return text && node.set_value(text->c_str());
        }
        case pugi::node_cdata:
            return AllXmlChars(value);
        case pugi::node_comment:
            return value.find("--") == std::string_view::npos &&
                   (value.empty() || value.back() != '-') && AllXmlChars(value);
        case pugi::node_pi:
            return !IsReservedTarget(node.name()) && AllXmlChars(value);
        default:
            return false;
    }
}

class InnerChecker : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        ok = CheckInnerNode(node);
        return ok;
    }
    bool ok = true;
};

bool CheckElementTree(pugi::xml_node element) {
    if (!CheckInnerNode(element)) {
        return false;
    }
    InnerChecker checker;
    element.traverse(checker);
    return checker.ok;
}

// The declaration's pseudo-attributes as the data of an "xml" processing instruction.
std::optional<std::string> DeclarationData(pugi::xml_node declaration) {
    if (std::strcmp(declaration.name(), "xml") != 0 ||
        std::strcmp(declaration.first_attribute().name(), "version") != 0) {
        return std::nullopt;
    }
    std::string data;
    for (pugi::xml_attribute attribute : declaration.attributes()) {
        const std::string_view value = attribute.value();
        const char quote = value.find('\'') == std::string_view::npos ? '\'' : '"';
        if (!data.empty()) {
            data.push_back(' ');
        }
        data.append(attribute.name()).append(1, '=').append(1, quote);
        data.append(value).append(1, quote);
    }
    return data;
}

bool StartsWithDeclaration(std::string_view text) {
    return text.size() > 5 && text.substr(0, 5) == "<?xml" &&
           (text[5] == ' ' || text[5] == '\t' || text[5] == '\r' || text[5] == '\n');
}

// Checks the nodes at the top of the document: at most one declaration, first in the text; one
// document element; a document type only before it; no text.
bool CheckTopLevel(std::string_view text, pugi::xml_document& document) {
    int elements = 0;
    bool first = true;
    std::vector<pugi::xml_node> whitespace;
    for (pugi::xml_node node : document.children()) {
        switch (node.type()) {
            case pugi::node_declaration: {
                const std::optional<std::string> data = DeclarationData(node);
                if (!first || !StartsWithDeclaration(text) || !data) {
                    return false;
                }
                pugi::xml_node pi = document.insert_child_before(pugi::node_pi, node);
                pi.set_name("xml");
                pi.set_value(data->c_str());
                whitespace.push_back(node);  // removed below, with the whitespace text
                break;
            }
            case pugi::node_doctype:
                if (elements > 0) {
                    return false;
                }
                break;
            case pugi::node_element:
                ++elements;
                if (!CheckElementTree(node)) {
                    return false;
                }
                break;
            case pugi::node_pcdata:
                // Only present when whitespace text is kept; outside the document element it is
                // never content.
                if (std::string_view(node.value()).find_first_not_of(" \t\r\n") !=
                    std::string_view::npos) {
                    return false;
                }
                whitespace.push_back(node);
                break;
            case pugi::node_comment:
            case pugi::node_pi:
                if (!CheckInnerNode(node)) {
                    return false;
                }
                break;
            default:
                return false;
        }
        first = false;
    }
    for (pugi::xml_node node : whitespace) {
        document.remove_child(node);
    }
    return elements == 1;
}

// pugixml drops text that is whitespace as written; text that is whitespace only once its
// references are expanded ("&#13;") goes too, or a save (which writes line breaks as spaces)
// would give whitespace that the next load drops.
class WhitespaceTextCollector : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_pcdata &&
            std::string_view(node.value()).find_first_not_of(" \t\r\n") == std::string_view::npos) {
            found.push_back(node);
        }
        return true;
    }
    std::vector<pugi::xml_node> found;
};

void DropWhitespaceText(pugi::xml_document& document) {
    WhitespaceTextCollector collector;
    document.traverse(collector);
    for (pugi::xml_node node : collector.found) {
        node.parent().remove_child(node);
    }
}

bool ParseWithFlags(std::string_view utf8, unsigned flags, pugi::xml_document& out) {
    return out.load_buffer(utf8.data(), utf8.size(), flags, pugi::encoding_utf8) &&
           CheckTopLevel(utf8, out);
}

}  // namespace

bool ParseDocumentText(std::string_view utf8, const ReadOptions& options, pugi::xml_document& out) {
    out.reset();
    if (!IsWellFormedUtf8(utf8)) {
        return false;
    }
    // Keeping whitespace text, pugixml takes a '<' that ends the text after whitespace for the end
    // of that whitespace ("<a/>  <" loads): whether the text is well-formed is decided without it.
    if (options.keep_whitespace_text) {
        pugi::xml_document check;
        if (!ParseWithFlags(utf8, kParseFlags, check)) {
            return false;
        }
    }
    const unsigned flags =
        kParseFlags | (options.keep_whitespace_text ? pugi::parse_ws_pcdata : 0u);
    if (!ParseWithFlags(utf8, flags, out)) {
        out.reset();
        return false;
    }
    if (!options.keep_whitespace_text) {
        DropWhitespaceText(out);
    }
    return true;
}

bool ParseDocumentBytes(std::string_view bytes, const ReadOptions& options,
                        pugi::xml_document& out) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
    constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
    if (bytes.starts_with(kUtf8Mark)) {
        return ParseDocumentText(bytes.substr(kUtf8Mark.size()), options, out);
    }
    if (bytes.starts_with(kUtf16LeMark) || bytes.starts_with(kUtf16BeMark)) {
        const std::optional<std::string> text = kernel::Utf16TextToUtf8(
            bytes.substr(2), bytes.starts_with(kUtf16BeMark) ? kernel::ByteOrder::BigEndian
                                                             : kernel::ByteOrder::LittleEndian);
        if (!text) {
            out.reset();
            return false;
        }
        return ParseDocumentText(*text, options, out);
    }
    return ParseDocumentText(bytes, options, out);
}

}  // namespace tovarin::com::xml
