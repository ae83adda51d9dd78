// What the device reports about itself (version, interface language) and the interlocked
// operations.
#include <cstdint>
#include <cstring>
#include <cwchar>

#include <windows.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using SystemInfoTest = SimulatedDeviceTest;

OSVERSIONINFOW Filled() {
    OSVERSIONINFOW info;
    std::memset(&info, 0xCC, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    return info;
}

TEST_F(SystemInfoTest, VersionRecordOfAnotherSizeIsRefusedUntouched) {
    SetLastError(0);
    EXPECT_FALSE(GetVersionExW(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

    for (DWORD size : {DWORD{0}, DWORD{sizeof(OSVERSIONINFOW) - 1}, DWORD{276},
                       DWORD{sizeof(OSVERSIONINFOW) + 4}}) {
        OSVERSIONINFOW info = Filled();
        info.dwOSVersionInfoSize = size;
        SetLastError(0);
        EXPECT_FALSE(GetVersionExW(&info)) << size;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
        EXPECT_EQ(0xCCCCCCCCu, info.dwMajorVersion);
    }
}

TEST(SystemInfoOptionsTest, VersionAndLanguageComeFromTheDeviceOptions) {
    DeviceOptions options;
    options.os_major_version = 5;
    options.os_minor_version = 1;
    options.os_build_number = 1700;
    options.ui_language = 0x0409;
    Device device(options);
    OSVERSIONINFOW info = Filled();
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(5u, info.dwMajorVersion);
    EXPECT_EQ(1u, info.dwMinorVersion);
    EXPECT_EQ(1700u, info.dwBuildNumber);
    EXPECT_EQ(0x0409, GetUserDefaultUILanguage());
}

TEST(InterlockedTest, ResultsAreTheNewOrThePreviousValueAsDocumented) {
    LONG volatile value = 5;
    EXPECT_EQ(6, InterlockedIncrement(&value));
    EXPECT_EQ(5, InterlockedDecrement(&value));
    EXPECT_EQ(5, InterlockedExchangeAdd(&value, 10));
    EXPECT_EQ(15, value);
    EXPECT_EQ(15, InterlockedExchange(&value, -3));
    EXPECT_EQ(-3, value);
    // Compare-exchange returns what it found and swaps only on a match.
    EXPECT_EQ(-3, InterlockedCompareExchange(&value, 8, 7));
    EXPECT_EQ(-3, value);
    EXPECT_EQ(-3, InterlockedCompareExchange(&value, 8, -3));
    EXPECT_EQ(8, value);

    // The ends of the range wrap around.
    value = INT32_MAX;
    EXPECT_EQ(INT32_MIN, InterlockedIncrement(&value));
    EXPECT_EQ(INT32_MAX, InterlockedDecrement(&value));
    value = INT32_MIN;
    EXPECT_EQ(INT32_MIN, InterlockedExchangeAdd(&value, -1));
    EXPECT_EQ(INT32_MAX, value);
}

constexpr int kThreads = 4;
constexpr int kRounds = 100000;
// A lost update needs two threads inside the same increment at once; many rounds make that
// near certain on a machine with more than one core, however the host schedules the threads.
constexpr int kIncrements = 1000000;

struct Shared {
    LONG volatile counter = 0;
    LONG volatile lock = 0;  // a spin lock made of compare-exchange and exchange
    long guarded = 0;
    HANDLE start = nullptr;  // opens the gate for all threads at once
};

// Each operation in a loop of its own, so that the threads meet on it many times.
DWORD WINAPI Hammer(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    WaitForSingleObject(shared->start, INFINITE);
    for (int i = 0; i < kIncrements; ++i) {
        InterlockedIncrement(&shared->counter);
    }
    for (int i = 0; i < kRounds; ++i) {
        while (InterlockedCompareExchange(&shared->lock, 1, 0) != 0) {
        }
        ++shared->guarded;
        InterlockedExchange(&shared->lock, 0);
    }
    return 0;
}

TEST_F(SystemInfoTest, InterlockedOperationsLoseNoUpdateBetweenThreads) {
    Shared shared;
    shared.start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE threads[kThreads];
    for (HANDLE& thread : threads) {
        thread = CreateThread(nullptr, 0, Hammer, &shared, 0, nullptr);
        ASSERT_NE(nullptr, thread);
    }
    WaitForDeviceIdle();  // every thread at the gate
    SetEvent(shared.start);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE));
    EXPECT_EQ(kThreads * kIncrements, shared.counter);
    EXPECT_EQ(kThreads * kRounds, shared.guarded);
    for (HANDLE thread : threads) {
        CloseHandle(thread);
    }
    CloseHandle(shared.start);
}

}  // namespace
}  // namespace tovarin::kernel::testing
