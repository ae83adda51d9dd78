// The web page's request readers over any body a client may send: the first byte picks the route,
// the rest is the body. Each body is either refused with a reason or becomes a request within the
// bounds the page promises (one line of a command the page may run, a point on a screen, a known
// key, text of a bounded length); and the guard's check of a declared length never takes a body
// over the bound.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "console/grammar.h"
#include "fuzz_check.h"
#include "web/page_requests.h"
#include "web/request_guard.h"

using namespace tovarin::emulator;
using namespace tovarin::emulator::web;

namespace {

void CheckRequest(const PageRequest& request) {
    if (const auto* command = std::get_if<PageCommand>(&request)) {
        FUZZ_CHECK(command->line.size() <= kMaxCommandLine);
        FUZZ_CHECK(command->line.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(!console::TouchesHostFile(command->command));
        FUZZ_CHECK(!std::holds_alternative<console::FileWriteCommand>(command->command));
        FUZZ_CHECK(!std::holds_alternative<console::QuitCommand>(command->command));
    } else if (const auto* touch = std::get_if<StylusInput>(&request)) {
        FUZZ_CHECK(touch->point.x >= 0 && touch->point.x < kMaxScreenCoordinate);
        FUZZ_CHECK(touch->point.y >= 0 && touch->point.y < kMaxScreenCoordinate);
    } else if (const auto* key = std::get_if<KeyInput>(&request)) {
        FUZZ_CHECK(key->vk != 0 && HardwareKey(key->name) == key->vk);
    } else {
        const auto& typed = std::get<TypeInput>(request);
        FUZZ_CHECK(!typed.text.empty() && typed.text.size() <= kMaxTypedText);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    constexpr PageRoute kRoutes[] = {PageRoute::Command, PageRoute::Stylus, PageRoute::Key,
                                     PageRoute::Type};
    const PageRoute route = kRoutes[data[0] % 4];
    const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
    auto parsed = ParsePageRequest(route, body);
    if (const auto* reason = std::get_if<std::string>(&parsed)) {
        FUZZ_CHECK(!reason->empty());
    } else {
        CheckRequest(std::get<PageRequest>(parsed));
    }

    // The body read as a declared Content-Length.
    const RequestGuard guard(8080, "0123456789abcdef0123456789abcdef");
    const std::string length(body);
    std::optional<Refusal> refused = guard.CheckBeforeBody("127.0.0.1:8080", length);
    if (!refused) {
        FUZZ_CHECK(!length.empty());
        FUZZ_CHECK(length.find_first_not_of("0123456789") == std::string::npos);
        size_t value = 0;
        for (char digit : length) {
            value = value * 10 + static_cast<size_t>(digit - '0');
            FUZZ_CHECK(value <= kMaxRequestBody);
        }
    } else {
        FUZZ_CHECK(refused->status == 400 || refused->status == 413);
    }
    return 0;
}
