// A console left running keeps its memory flat: calls answered by the machine, typed at the
// console or sent through the web page's command route, leave the resident memory of a long run
// within a few MB of a short one, with or without a mark after each call; and once the log since
// the mark has been cut to its bounds, an expectation that needed the cut entries says so.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "console/parser.h"
#include "console/session.h"
#include "host/device_log.h"
#include "image/built_files.h"
#include "image/device_image.h"
#include "image/temporary_image.h"
#include "soak/resident_memory.h"
#include "web/page_requests.h"

namespace tovarin::emulator::testing {
namespace {

using soak::kMemoryMeaningful;

// Enough calls for the log kept since boot to reach its bounds (10,000 entries at about 35 to 50
// entries a call) before the first measure, so that what follows measures growth, not filling;
// under the sanitizers, where the resident size says nothing and a call costs ten times as much, a
// few calls still run every route.
constexpr int kShortRun = kMemoryMeaningful ? 400 : 20;
constexpr int kLongRun = kMemoryMeaningful ? 1400 : 60;
constexpr uint64_t kMostGrowth = 3 << 20;

const char* const kSetup[] = {
    R"(reg set HKLM "\Software\VarnholtCM\AnswerMachine" "Enable" dword 1)",
    R"(reg set HKLM "\Software\VarnholtCM\AnswerMachine" "SaveDir" sz "\My Documents")",
    R"(event set "Answer Machine Service Event")",
};

// One line carried out on the session the way a route of the console takes it.
using Route = std::function<console::Outcome(console::Session&, const std::string&)>;

console::Outcome Typed(console::Session& session, const std::string& line) {
    auto parsed = console::ParseLine(line);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        return console::Outcome::Failed("cannot parse: " + *reason);
    }
    return session.Execute(std::get<console::Command>(parsed));
}

std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

// The page's command route without its HTTP server: the request body read as the server
// reads it, then carried out as the console's thread carries it out.
Route FromThePage(console::Output& output) {
    return [&output](console::Session& session, const std::string& line) {
        auto request =
            web::ParsePageRequest(web::PageRoute::Command, "{\"line\": " + JsonString(line) + "}");
        if (auto* reason = std::get_if<std::string>(&request)) {
            return console::Outcome::Failed(*reason);
        }
        return web::CarryOut(std::get<web::PageRequest>(request), session, output);
    };
}

class ConsoleMemory : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        PreparedImage prepared;
        ASSERT_TRUE(image_.Make(&error)) << error;
        ASSERT_TRUE(PrepareImage(image_.root(), BuiltFiles(), &prepared, &error)) << error;
        nowhere_ = std::fopen("/dev/null", "w");
        ASSERT_NE(nowhere_, nullptr);
        output_ = std::make_unique<console::Output>(nowhere_);
        session_ = std::make_unique<console::Session>(
            console::Session::Settings{image_.root(), kernel::ClockMode::Simulated}, *output_);
        ASSERT_TRUE(session_->Execute(console::BootCommand{}).ok);
    }
    void TearDown() override {
        session_.reset();
        output_.reset();
        if (nowhere_) {
            std::fclose(nowhere_);
        }
    }

    // Runs the calls from `first` to `last`, each answered by the machine; false after a line
    // failed.
    void Calls(const Route& route, int first, int last, bool mark) {
        for (int call = first; call <= last; ++call) {
            char number[32];
            std::snprintf(number, sizeof number, "+7916%07d", 5550000 + call);
            for (const std::string& line :
                 {"call incoming \"" + std::string(number) + "\"", std::string("wait 12000"),
                  std::string("expect key 0x72"), std::string("call end"),
                  std::string("wait 1000")}) {
                console::Outcome outcome = route(*session_, line);
                ASSERT_TRUE(outcome.ok)
                    << "call " << call << ": " << line << ": " << outcome.reason;
            }
            if (mark) {
                ASSERT_TRUE(route(*session_, "mark").ok);
            }
        }
    }

    // The resident memory after the short run and after the long one.
    void ExpectFlat(const Route& route, bool mark) {
        for (const char* line : kSetup) {
            ASSERT_TRUE(route(*session_, line).ok) << line;
        }
        ASSERT_NO_FATAL_FAILURE(Calls(route, 1, kShortRun, mark));
        const uint64_t after_short = soak::ResidentBytes();
        ASSERT_NO_FATAL_FAILURE(Calls(route, kShortRun + 1, kLongRun, mark));
        const uint64_t after_long = soak::ResidentBytes();
        std::printf("resident after %d calls: %.1f MB, after %d: %.1f MB\n", kShortRun,
                    after_short / 1048576.0, kLongRun, after_long / 1048576.0);
        if (kMemoryMeaningful) {
            EXPECT_LT(after_long, after_short + kMostGrowth);
        }
    }

    TemporaryImage image_;
    std::FILE* nowhere_ = nullptr;
    std::unique_ptr<console::Output> output_;
    std::unique_ptr<console::Session> session_;
};

TEST_F(ConsoleMemory, TypedCallsWithoutAMarkStayFlatAndTheCutLogSaysSo) {
    ASSERT_NO_FATAL_FAILURE(ExpectFlat(Typed, false));
    if (!kMemoryMeaningful) {
        return;  // too few calls to reach the log's bounds
    }
    // The log since boot was cut: what it still holds is found, what it may have cut is not
    // judged either way.
    EXPECT_TRUE(Typed(*session_, "expect trace \"call from +79165551200 rings\"").ok);
    for (const char* needs_cut_entries :
         {"expect trace \"call from +79165550001 rings\"", "expect no trace \"no such line\""}) {
        console::Outcome outcome = Typed(*session_, needs_cut_entries);
        EXPECT_FALSE(outcome.ok) << needs_cut_entries;
        EXPECT_NE(outcome.reason.find("the log since the mark was cut"), std::string::npos)
            << outcome.reason;
        EXPECT_NE(outcome.reason.find(std::to_string(kernel::DeviceLog::kMostEntries) + " entries"),
                  std::string::npos)
            << outcome.reason;
    }
    // A mark starts a window the bounds have not cut.
    ASSERT_TRUE(Typed(*session_, "mark").ok);
    EXPECT_TRUE(Typed(*session_, "expect no trace \"no such line\"").ok);
}

TEST_F(ConsoleMemory, PageCommandsWithAMarkAfterEachCallStayFlat) {
    ASSERT_NO_FATAL_FAILURE(ExpectFlat(FromThePage(*output_), true));
}

}  // namespace
}  // namespace tovarin::emulator::testing
