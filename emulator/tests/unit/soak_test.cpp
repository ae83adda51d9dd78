// A phone that takes thousands of calls keeps a bounded log: what the expectations since the last
// mark need and a fixed history, so that its memory stays flat however long it runs.
#include <gtest/gtest.h>

#include <cstdio>

#include "booted_emulator.h"
#include "console/session.h"
#include "host/device.h"
#include "host/device_log.h"
#include "host/trace.h"

namespace tovarin::emulator::testing {
namespace {

using console::CallAction;
using console::CallCommand;

// Each call writes a few dozen log entries, so these calls write the log past its bound several
// times over. Under the sanitizers a call costs ten times as much, and fewer calls still do.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kCalls = 600;
#else
constexpr int kCalls = 2000;
#endif

TEST(Soak, TheLogStaysBoundedOverThousandsOfCalls) {
    TemporaryImage image;
    std::string error;
    ASSERT_TRUE(image.Make(&error)) << error;
    PrepareTestImage(image.root());
    std::FILE* nowhere = std::fopen("/dev/null", "w");
    ASSERT_NE(nowhere, nullptr);
    console::Output output(nowhere);
    {
        console::Session session({image.root(), kernel::ClockMode::Simulated}, output);
        ASSERT_TRUE(session.Execute(console::BootCommand{}).ok);
        size_t most_kept = 0;
        for (int call = 0; call < kCalls; ++call) {
            for (const console::Command& command : std::vector<console::Command>{
                     console::MarkCommand{}, CallCommand{CallAction::Incoming, L"5550001"},
                     console::WaitCommand{1000}, CallCommand{CallAction::Answer, L""},
                     console::WaitCommand{1000}, CallCommand{CallAction::End, L""},
                     console::WaitCommand{1000}}) {
                ASSERT_TRUE(session.Execute(command).ok) << "call " << call;
            }
            most_kept = std::max(most_kept, kernel::Device::Current().log().Kept());
        }
        EXPECT_LE(most_kept, kernel::DeviceLog::kHistory + 200);
        EXPECT_LE(kernel::Device::Current().trace().Lines().size(), kernel::Trace::kHistory);
        // What the last call left since its mark is all there for the expectations.
        EXPECT_TRUE(session.Execute(console::ExpectTraceCommand{L"call from 5550001 rings"}).ok);
    }
    std::fclose(nowhere);
}

}  // namespace
}  // namespace tovarin::emulator::testing
