#include "com/xml/xml_writer.h"

namespace tovarin::com::xml {
namespace {

class StringWriter : public pugi::xml_writer {
  public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

  private:
    std::string& out_;
};

// A CR LF pair counts as one line break.
std::string JoinLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

class TextFlattener : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            const std::string_view value = node.value();
            if (value.find_first_of("\r\n") != std::string_view::npos) {
                node.set_value(JoinLines(value).c_str());
            }
        }
        return true;
    }
};

}  // namespace

std::string SerializeDocument(pugi::xml_node content) {
    pugi::xml_document copy;
    for (pugi::xml_node child : content.children()) {
        copy.append_copy(child);
    }
    TextFlattener flattener;
    copy.traverse(flattener);

    std::string out;
    StringWriter writer(out);
    // The document's own "xml" processing instruction is its declaration; pugixml must not add
    // another one.
    copy.save(
        writer, "\t",
        pugi::format_indent | pugi::format_no_declaration | pugi::format_attribute_single_quote,
        pugi::encoding_utf8);
    return out;
}

}  // namespace tovarin::com::xml
