// The web page's guard and the requests it reads, without a browser: every refusal a hostile or
// broken request meets before anything reaches the phone.
#include <gtest/gtest.h>

#include "web/event_hub.h"
#include "web/page_requests.h"
#include "web/request_guard.h"

namespace tovarin::emulator::web {
namespace {

constexpr uint16_t kPort = 8080;
const std::string kToken = "0123456789abcdef0123456789abcdef";

RequestFacts Post() {
    return {.method = "POST",
            .host = "127.0.0.1:8080",
            .origin = "http://127.0.0.1:8080",
            .token = kToken,
            .content_type = "application/json",
            .body_size = 20};
}

int StatusOf(const RequestFacts& request, Access access = Access::ChangeState) {
    std::optional<Refusal> refusal = RequestGuard(kPort, kToken).Check(request, access);
    return refusal ? refusal->status : 0;
}

TEST(WebGuard, AnswersOnlyItsOwnHostAndPort) {
    struct Case {
        std::optional<std::string> host;
        int status;
    } cases[] = {
        {"127.0.0.1:8080", 0},      {"localhost:8080", 0},
        {"LocalHost:8080", 0},      {"127.0.0.1", 421},
        {"localhost", 421},         {"127.0.0.1:8081", 421},
        {"evil.example:8080", 421}, {"127.0.0.1:8080.evil.example", 421},
        {"[::1]:8080", 421},        {"", 421},
        {std::nullopt, 400},
    };
    for (const Case& c : cases) {
        RequestFacts request{.method = "GET", .host = c.host};
        EXPECT_EQ(StatusOf(request, Access::Open), c.status) << c.host.value_or("(none)");
        RequestFacts post = Post();
        post.host = c.host;
        post.origin = "http://" + c.host.value_or("");
        EXPECT_EQ(StatusOf(post), c.status) << c.host.value_or("(none)");
    }
}

TEST(WebGuard, StateChangesNeedTheTokenTheOriginAndJson) {
    EXPECT_EQ(StatusOf(Post()), 0);
    RequestFacts localhost = Post();
    localhost.host = "localhost:8080";
    localhost.origin = "http://localhost:8080";
    EXPECT_EQ(StatusOf(localhost), 0);

    struct Case {
        const char* what;
        void (*change)(RequestFacts&);
        int status;
    } cases[] = {
        {"no token", [](RequestFacts& r) { r.token.reset(); }, 403},
        {"wrong token", [](RequestFacts& r) { r.token = "0123456789abcdef0123456789abcdee"; }, 403},
        {"short token", [](RequestFacts& r) { r.token = "0123"; }, 403},
        {"empty token", [](RequestFacts& r) { r.token = ""; }, 403},
        {"no origin", [](RequestFacts& r) { r.origin.reset(); }, 403},
        {"foreign origin", [](RequestFacts& r) { r.origin = "http://evil.example"; }, 403},
        {"null origin", [](RequestFacts& r) { r.origin = "null"; }, 403},
        {"other port", [](RequestFacts& r) { r.origin = "http://127.0.0.1:9090"; }, 403},
        {"https origin", [](RequestFacts& r) { r.origin = "https://127.0.0.1:8080"; }, 403},
        {"other name", [](RequestFacts& r) { r.origin = "http://localhost:8080"; }, 403},
        {"a form", [](RequestFacts& r) { r.content_type = "application/x-www-form-urlencoded"; },
         415},
        {"plain text", [](RequestFacts& r) { r.content_type = "text/plain"; }, 415},
        {"no type", [](RequestFacts& r) { r.content_type.reset(); }, 415},
        {"get", [](RequestFacts& r) { r.method = "GET"; }, 405},
        {"oversized", [](RequestFacts& r) { r.body_size = kMaxRequestBody + 1; }, 413},
    };
    for (const Case& c : cases) {
        RequestFacts request = Post();
        c.change(request);
        EXPECT_EQ(StatusOf(request), c.status) << c.what;
    }
    RequestFacts charset = Post();
    charset.content_type = "application/json; charset=utf-8";
    EXPECT_EQ(StatusOf(charset), 0);
}

TEST(WebGuard, TheStreamNeedsTheTokenButNoOrigin) {
    RequestFacts request{.method = "GET", .host = "127.0.0.1:8080", .token = kToken};
    EXPECT_EQ(StatusOf(request, Access::Read), 0);
    request.token = "nope";
    EXPECT_EQ(StatusOf(request, Access::Read), 403);
    EXPECT_EQ(StatusOf(request, Access::Open), 0);  // the page itself holds no secret
}

TEST(WebGuard, ADeclaredBodyOverTheBoundIsRefusedBeforeItIsRead) {
    const RequestGuard guard(kPort, kToken);
    auto status = [&guard](std::optional<std::string> length) {
        std::optional<Refusal> refusal = guard.CheckBeforeBody("127.0.0.1:8080", length);
        return refusal ? refusal->status : 0;
    };
    EXPECT_EQ(status(std::nullopt), 0);
    EXPECT_EQ(status("0"), 0);
    EXPECT_EQ(status(std::to_string(kMaxRequestBody)), 0);
    EXPECT_EQ(status("000000000000000000000000016"), 0);
    EXPECT_EQ(status(std::to_string(kMaxRequestBody + 1)), 413);
    EXPECT_EQ(status("10000000"), 413);
    EXPECT_EQ(status("99999999999999999999999999999999"), 413);  // more than 64 bits
    EXPECT_EQ(status(""), 400);                                  // given twice
    EXPECT_EQ(status("-1"), 400);
    EXPECT_EQ(status("12 34"), 400);
    EXPECT_EQ(status("0x10"), 400);
    EXPECT_EQ(guard.CheckBeforeBody("evil.example:8080", "10")->status, 421);
}

TEST(WebGuard, TokensAreFreshAndLong) {
    const std::string a = MakeRunToken();
    EXPECT_EQ(a.size(), 32u);
    EXPECT_EQ(a.find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_NE(a, MakeRunToken());
}

std::string Refused(PageRoute route, std::string_view body) {
    auto parsed = ParsePageRequest(route, body);
    auto* reason = std::get_if<std::string>(&parsed);
    return reason ? *reason : "";
}

TEST(WebRequests, BadBodiesAreRefusedWithTheReason) {
    EXPECT_NE(Refused(PageRoute::Command, "not json"), "");
    EXPECT_NE(Refused(PageRoute::Command, "[1,2]"), "");
    EXPECT_NE(Refused(PageRoute::Command, R"({"line": 7})"), "");
    EXPECT_EQ(Refused(PageRoute::Command, R"({"line": "call sideways"})").substr(0, 14),
              "cannot parse: ");
    EXPECT_NE(Refused(PageRoute::Command, R"({"line": "wait 10\nboot"})"), "");
    EXPECT_NE(Refused(PageRoute::Command, R"({"line": "file write \"\\x\" <<END"})"), "");
    EXPECT_NE(
        Refused(PageRoute::Command, R"({"line": ")" + std::string(kMaxCommandLine, 'a') + "\"}"),
        "");
    EXPECT_NE(Refused(PageRoute::Stylus, R"({"action": "down", "x": -1, "y": 5})"), "");
    EXPECT_NE(Refused(PageRoute::Stylus, R"({"action": "down", "x": 5, "y": 4096})"), "");
    EXPECT_NE(Refused(PageRoute::Stylus, R"({"action": "down", "x": 1.5, "y": 5})"), "");
    EXPECT_NE(Refused(PageRoute::Stylus, R"({"action": "hover", "x": 1, "y": 5})"), "");
    EXPECT_NE(Refused(PageRoute::Key, R"({"key": "power"})"), "");
    EXPECT_NE(Refused(PageRoute::Type, R"({"text": ""})"), "");
    EXPECT_NE(
        Refused(PageRoute::Type, R"({"text": ")" + std::string(kMaxTypedText + 1, 'a') + "\"}"),
        "");
}

TEST(WebRequests, CommandsOnTheHostsFilesAreForTheTerminalOnly) {
    for (const char* line : {
             R"(speaker record \"/tmp/heard.wav\")",
             R"(screenshot \"/tmp/screen.png\")",
             R"(mic \"/etc/passwd\")",
             R"(call voice \"/home/user/voice.wav\")",
         }) {
        EXPECT_NE(Refused(PageRoute::Command, std::string(R"({"line": ")") + line + "\"}"), "")
            << line;
    }
    // Nor does the page end the emulator that its terminal runs.
    EXPECT_NE(Refused(PageRoute::Command, R"({"line": "quit"})").find("terminal"),
              std::string::npos);
    // The same commands with sources of the device's own act on the phone only.
    for (const char* line :
         {"mic tone 440", "mic silence", "call voice tone 300", "speaker record off", "dump"}) {
        EXPECT_EQ(Refused(PageRoute::Command, std::string(R"({"line": ")") + line + "\"}"), "")
            << line;
    }
}

TEST(WebRequests, GoodBodiesBecomeTheirRequests) {
    auto command = ParsePageRequest(PageRoute::Command, R"({"line": "call incoming \"+7916\""})");
    ASSERT_TRUE(std::holds_alternative<PageRequest>(command));
    const auto& page_command = std::get<PageCommand>(std::get<PageRequest>(command));
    EXPECT_TRUE(std::holds_alternative<console::CallCommand>(page_command.command));

    auto touch = ParsePageRequest(PageRoute::Stylus, R"({"action": "up", "x": 479, "y": 639})");
    const auto& stylus = std::get<StylusInput>(std::get<PageRequest>(touch));
    EXPECT_EQ(stylus.action, StylusInput::Action::Up);
    EXPECT_EQ(stylus.point.x, 479);
    EXPECT_EQ(stylus.point.y, 639);

    EXPECT_EQ(HardwareKey("talk"), 0x72);
    EXPECT_EQ(HardwareKey("end"), 0x73);
    EXPECT_EQ(HardwareKey("record"), 0x8B);
    EXPECT_EQ(HardwareKey("soft1"), 0x70);
    EXPECT_EQ(HardwareKey("action"), 0x0D);

    auto typed = ParsePageRequest(PageRoute::Type, R"({"text": "Привет"})");
    EXPECT_EQ(std::get<TypeInput>(std::get<PageRequest>(typed)).text, L"Привет");
}

TEST(WebEvents, AStreamGetsTheHistoryThenOnlyTheNewestFrame) {
    EventHub hub;
    hub.Publish("line", R"({"text":"before"})");
    hub.PublishFrame("frame 1\n\n");
    hub.PublishFrame("frame 2\n\n");
    std::shared_ptr<EventHub::Stream> stream = hub.Open();
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->Next(0), SseEvent("line", R"({"text":"before"})") + "frame 2\n\n");
    EXPECT_EQ(stream->Next(0), ": still here\n\n");
    hub.Close();
    EXPECT_EQ(stream->Next(1000), std::nullopt);
    EXPECT_FALSE(hub.Open());
}

TEST(WebEvents, AStreamThatFallsBehindIsEndedAndStreamsAreLimited) {
    EventHub hub;
    std::vector<std::shared_ptr<EventHub::Stream>> streams;
    for (size_t i = 0; i < EventHub::kMaxStreams; ++i) {
        streams.push_back(hub.Open());
    }
    EXPECT_FALSE(hub.Open());
    streams.pop_back();
    EXPECT_TRUE(hub.Open());  // a closed stream frees its place

    for (size_t i = 0; i <= EventHub::kMaxBacklog; ++i) {
        hub.Publish("line", "{}");
    }
    EXPECT_EQ(streams[0]->Next(0), std::nullopt);
}

}  // namespace
}  // namespace tovarin::emulator::web
