// The console's command parser over a whole script: every line either becomes a command or gives
// a reason naming a line inside the script; a here-document's content is made of the script's own
// lines; reading always reaches the end.
#include <cstdint>
#include <string>
#include <variant>

#include "console/parser.h"
#include "fuzz_check.h"

using namespace tovarin::emulator::console;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t lines = 1;
    for (char c : text) {
        lines += c == '\n';
    }
    TextLineSource source(text);
    CommandReader reader(source);
    size_t previous_line = 0;
    for (size_t commands = 0;; ++commands) {
        FUZZ_CHECK(commands <= lines);  // each command takes at least one line
        std::optional<ReadResult> next = reader.Next();
        if (!next) {
            break;
        }
        if (auto* error = std::get_if<ParseError>(&*next)) {
            FUZZ_CHECK(error->line > previous_line && error->line <= lines);
            FUZZ_CHECK(!error->reason.empty());
            previous_line = error->line;
            continue;
        }
        const auto& parsed = std::get<ParsedCommand>(*next);
        FUZZ_CHECK(parsed.line > previous_line && parsed.line <= lines);
        FUZZ_CHECK(text.find(parsed.text) != std::string::npos);
        if (const auto* write = std::get_if<FileWriteCommand>(&parsed.command)) {
            FUZZ_CHECK(write->content.size() <= text.size());
        }
        previous_line = parsed.line;
    }
    return 0;
}
