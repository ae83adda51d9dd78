// The .reg hive reader: any text either loads or gives a syntax error with a line inside the
// text; a hive that loads is written back, and what is written reads again into the same tree
// (the second text is the first one, byte for byte).
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "kernel/registry/reg_text.h"

using namespace tovarin::kernel::registry;

namespace {

size_t LineCount(std::string_view text) {
    size_t lines = 1;
    for (char c : text) {
        lines += c == '\n';
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // Each root has its own file: a text that names the user's root is read as that root's file.
    const std::wstring_view root_name = text.find("[HKEY_CURRENT_USER") != std::string_view::npos
                                            ? L"HKEY_CURRENT_USER"
                                            : L"HKEY_LOCAL_MACHINE";
    KeyNode root;
    if (auto error = ParseHive(text, root_name, root)) {
        FUZZ_CHECK(error->line >= 1 && error->line <= LineCount(text));
        FUZZ_CHECK(!error->message.empty());
        return 0;
    }
    const std::string written = FormatHive(root, root_name, nullptr);
    KeyNode again;
    auto error = ParseHive(written, root_name, again);
    if (error) {
        std::fprintf(stderr, "the written hive does not read back (line %zu: %s):\n%s\n",
                     error->line, error->message.c_str(), written.c_str());
    }
    FUZZ_CHECK(!error);
    const std::string rewritten = FormatHive(again, root_name, nullptr);
    if (rewritten != written) {
        std::fprintf(stderr, "written:\n%s\nread back and written again:\n%s\n", written.c_str(),
                     rewritten.c_str());
    }
    FUZZ_CHECK(rewritten == written);
    return 0;
}
