// The emulator's shutdown: a program still running is closed as a user would close it, before the
// device goes, so that it stops what it plays or records in its own way.
#include <gtest/gtest.h>

#include <mutex>

#include <windows.h>

#include "booted_emulator.h"
#include "host/device_log.h"

namespace tovarin::emulator::testing {
namespace {

TEST(ShutdownTest, ARunningProgramIsClosedBeforeTheDeviceGoes) {
    TemporaryImage image;
    std::string error;
    ASSERT_TRUE(image.Make(&error)) << error;
    PrepareTestImage(image.root());
    std::mutex mutex;
    std::vector<std::wstring> traces;
    BootOptions options{image.root(), kernel::ClockMode::Simulated,
                        [&](const kernel::LogEntry& entry) {
                            if (const auto* line = std::get_if<kernel::TraceLine>(&entry.what)) {
                                std::lock_guard lock(mutex);
                                traces.push_back(line->text);
                            }
                        }};
    std::unique_ptr<Emulator> emulator = Emulator::Boot(options, &error);
    ASSERT_NE(nullptr, emulator) << error;
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(CreateProcessW(L"\\Windows\\hopper.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &started));
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    kernel::WaitForDeviceIdle();

    emulator.reset();
    std::lock_guard lock(mutex);
    EXPECT_EQ(1, std::count(traces.begin(), traces.end(), L"hopper: closed\r\n"));
}

}  // namespace
}  // namespace tovarin::emulator::testing
