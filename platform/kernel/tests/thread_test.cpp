// Device threads: handles, exit codes, suspended start, and ending at device shutdown.
#include <atomic>

#include <windows.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using ThreadTest = SimulatedDeviceTest;

DWORD WINAPI ReturnParam(LPVOID param) {
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(param));
}

DWORD WINAPI ExitEarly(LPVOID) {
    ExitThread(77);
    return 1;
}

TEST_F(ThreadTest, ExitCodeComesFromReturnOrExitThread) {
    DWORD id = 0;
    HANDLE a = CreateThread(nullptr, 0, ReturnParam, reinterpret_cast<LPVOID>(42), 0, &id);
    HANDLE b = CreateThread(nullptr, 0, ExitEarly, nullptr, 0, nullptr);
    EXPECT_NE(0u, id);
    EXPECT_NE(GetCurrentThreadId(), id);
    HANDLE both[] = {a, b};
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, both, TRUE, INFINITE));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(a, &code));
    EXPECT_EQ(42u, code);
    EXPECT_TRUE(GetExitCodeThread(b, &code));
    EXPECT_EQ(77u, code);
    CloseHandle(a);
    CloseHandle(b);
}

TEST_F(ThreadTest, SuspendedThreadStartsOnResume) {
    HANDLE thread = CreateThread(nullptr, 0, ReturnParam, reinterpret_cast<LPVOID>(5),
                                 CREATE_SUSPENDED, nullptr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 100));
    EXPECT_EQ(1u, ResumeThread(thread));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    EXPECT_EQ(100u, GetTickCount());
    CloseHandle(thread);
}

std::atomic<int> g_unwound{0};

struct CountsUnwinding {
    ~CountsUnwinding() { ++g_unwound; }
};

DWORD WINAPI WaitForever(LPVOID param) {
    CountsUnwinding guard;
    WaitForSingleObject(static_cast<HANDLE>(param), INFINITE);
    return 0;
}

TEST(DeviceShutdownTest, EndsThreadsBlockedInPlatformWaits) {
    g_unwound = 0;
    {
        Device device({.clock = ClockMode::Simulated});
        HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        for (int i = 0; i < 3; ++i) {
            CloseHandle(CreateThread(nullptr, 0, WaitForever, never, 0, nullptr));
        }
        AttachedThread self("test");
        WaitForDeviceIdle();
    }
    // Each thread left its wait by unwinding, so its destructors ran.
    EXPECT_EQ(3, g_unwound.load());
}

}  // namespace
}  // namespace tovarin::kernel::testing
