// The bytes the document object saves: UTF-8, one node per line, each child one tab deeper than
// its parent, an element that holds only text on one line with its tags. Line breaks inside text
// are written as spaces so that this layout holds for any text: the answering service reads the
// greeting list line by line and needs each value on the line of its tags.
#pragma once

#include <pugixml.hpp>

#include <string>

namespace tovarin::com::xml {

// Serialises the children of content, the node that stands for the document.
std::string SerializeDocument(pugi::xml_node content);

}  // namespace tovarin::com::xml
