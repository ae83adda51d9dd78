// Reading a document the way the document object accepts it: only well-formed XML, with
// whitespace-only text dropped unless the caller keeps it.
//
// pugixml is lenient where the document object must not be (a bare '&', several top-level
// elements, text outside the document element, duplicate attributes, characters XML forbids), so
// the parse keeps references unexpanded and this reader checks the tree before it expands them.
#pragma once

#include <pugixml.hpp>

#include <string_view>

namespace tovarin::com::xml {

struct ReadOptions {
    bool keep_whitespace_text = false;
};

// A file's bytes: UTF-8 with or without a byte-order mark, or UTF-16 with one. Fills out and
// returns true only for a well-formed document. The XML declaration becomes a processing
// instruction with target "xml", as the document object shows it.
bool ParseDocumentBytes(std::string_view bytes, const ReadOptions& options,
                        pugi::xml_document& out);

// A document given as text (UTF-8); its encoding declaration does not matter.
bool ParseDocumentText(std::string_view utf8, const ReadOptions& options, pugi::xml_document& out);

}  // namespace tovarin::com::xml
