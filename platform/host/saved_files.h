// The files a device saves, read from outside as the device reads them back at its next boot: a
// check of a save that was cut off (the crash test) judges what the device would find.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

namespace tovarin::kernel {

// The values of the key at key_path ("\Software\X") of a hive file's text whose root is
// root_name ("HKEY_LOCAL_MACHINE"), by name, each as its data bytes. nullopt when the key is not
// there (*problem is left empty) or the text does not parse (*problem is "LINE: message"; the
// caller puts the file's name before it).
std::optional<std::map<std::wstring, std::vector<uint8_t>>> ReadHiveKey(std::string_view text,
                                                                        std::wstring_view root_name,
                                                                        std::wstring_view key_path,
                                                                        std::string* problem);

}  // namespace tovarin::kernel

namespace tovarin::com::xml {

// A file's bytes read as the device's XML document object reads a file: true, with the document
// in `out`, only for a well-formed document.
bool ReadDocumentFile(std::string_view bytes, pugi::xml_document& out);

}  // namespace tovarin::com::xml
