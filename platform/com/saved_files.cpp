// The host door's reading of saved files (host/saved_files.h): a hive and an XML document, read as
// the device reads them.
#include "host/saved_files.h"

#include "com/xml/xml_reader.h"
#include "kernel/registry/key_tree.h"
#include "kernel/registry/reg_text.h"

namespace tovarin::kernel {

std::optional<std::map<std::wstring, std::vector<uint8_t>>> ReadHiveKey(std::string_view text,
                                                                        std::wstring_view root_name,
                                                                        std::wstring_view key_path,
                                                                        std::string* problem) {
    registry::KeyNode root;
    if (auto error = registry::ParseHive(text, root_name, root)) {
        *problem = std::to_string(error->line) + ": " + error->message;
        return std::nullopt;
    }
    const registry::KeyNode* key = registry::FindPath(root, registry::SplitKeyPath(key_path));
    if (!key) {
        return std::nullopt;
    }
    std::map<std::wstring, std::vector<uint8_t>> values;
    for (const registry::RegValue& value : key->values) {
        values.emplace(value.name, value.data);
    }
    return values;
}

}  // namespace tovarin::kernel

namespace tovarin::com::xml {

bool ReadDocumentFile(std::string_view bytes, pugi::xml_document& out) {
    return ParseDocumentBytes(bytes, {}, out);
}

}  // namespace tovarin::com::xml
