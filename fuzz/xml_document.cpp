// The XML document's load and save: any bytes either load as a well-formed document or are
// refused, whether whitespace-only text is kept or not; a loaded document is saved, and what is
// saved loads again and saves to the same bytes.
#include <cstdint>
#include <string>
#include <string_view>

#include "com/xml/dom_tree.h"
#include "com/xml/xml_reader.h"
#include "com/xml/xml_writer.h"
#include "fuzz_check.h"

using namespace tovarin::com::xml;

namespace {

// What the document object's save writes for a document loaded from bytes.
std::string Saved(const pugi::xml_document& loaded) {
    DomTree tree;
    tree.ReplaceContent(loaded);
    return SerializeDocument(tree.content());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pugi::xml_document document;
    const bool loaded = ParseDocumentBytes(bytes, ReadOptions{}, document);
    pugi::xml_document keeping;
    const bool loaded_keeping =
        ParseDocumentBytes(bytes, ReadOptions{.keep_whitespace_text = true}, keeping);
    FUZZ_CHECK(loaded == loaded_keeping);
    if (!loaded) {
        FUZZ_CHECK(!document.first_child());
        return 0;
    }
    Saved(keeping);

    const std::string saved = Saved(document);
    pugi::xml_document reloaded;
    const bool reloaded_ok = ParseDocumentBytes(saved, ReadOptions{}, reloaded);
    if (!reloaded_ok) {
        std::fprintf(stderr, "the saved document does not load:\n%s\n", saved.c_str());
    }
    FUZZ_CHECK(reloaded_ok);
    const std::string saved_again = Saved(reloaded);
    if (saved_again != saved) {
        std::fprintf(stderr, "saved:\n%s\nloaded and saved again:\n%s\n", saved.c_str(),
                     saved_again.c_str());
    }
    FUZZ_CHECK(saved_again == saved);
    return 0;
}
