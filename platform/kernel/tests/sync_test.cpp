// Events, waits on several objects, mutexes and critical sections.
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

using SyncTest = SimulatedDeviceTest;

bool IsSet(HANDLE event) {
    return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

TEST_F(SyncTest, CreatingAnExistingNameReturnsThatEventUnchanged) {
    HANDLE first = CreateEventW(nullptr, TRUE, TRUE, L"Answer Machine Service Event");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    ResetEvent(first);

    // Asked for auto-reset and signalled, the second caller gets the manual-reset event, clear.
    HANDLE second = CreateEventW(nullptr, FALSE, TRUE, L"Answer Machine Service Event");
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsSet(second));

    EventModify(second, EVENT_SET);
    EXPECT_TRUE(IsSet(first));
    EXPECT_TRUE(IsSet(first));  // manual reset: a wait does not consume it

    // The name lives while a handle is open; after the last close it is new again.
    CloseHandle(first);
    CloseHandle(second);
    HANDLE third = CreateEventW(nullptr, FALSE, FALSE, L"Answer Machine Service Event");
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), GetLastError());
    EXPECT_FALSE(IsSet(third));
    CloseHandle(third);
}

// Threads that create one name at the same moment all get the one object, and exactly one of them
// is told that it made it.
TEST_F(SyncTest, CreatingOneNameAtOnceFromManyThreadsMakesOneObject) {
    constexpr int kThreads = 3;
    constexpr int kNames = 3000;
    std::vector<std::vector<HANDLE>> handles(kThreads, std::vector<HANDLE>(kNames));
    std::vector<std::vector<DWORD>> errors(kThreads, std::vector<DWORD>(kNames));
    // Every thread starts each name together with the others.
    std::atomic<int> arrived{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < kNames; ++n) {
                std::wstring name = L"Race " + std::to_wstring(n);
                ++arrived;
                while (arrived.load() < (n + 1) * kThreads) {
                    std::this_thread::yield();
                }
                handles[t][n] = n % 2 ? CreateEventW(nullptr, TRUE, FALSE, name.c_str())
                                      : CreateMutexW(nullptr, FALSE, name.c_str());
                errors[t][n] = GetLastError();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (int n = 0; n < kNames; ++n) {
        int made = 0;
        for (int t = 0; t < kThreads; ++t) {
            ASSERT_NE(nullptr, handles[t][n]);
            made += errors[t][n] == ERROR_SUCCESS ? 1 : 0;
        }
        ASSERT_EQ(1, made) << n;
        if (n % 2) {
            SetEvent(handles[0][n]);
            for (int t = 0; t < kThreads; ++t) {
                EXPECT_TRUE(IsSet(handles[t][n])) << n;
            }
        }
        for (int t = 0; t < kThreads; ++t) {
            CloseHandle(handles[t][n]);
        }
    }
}

TEST_F(SyncTest, AutoResetEventReleasesOneWait) {
    HANDLE event = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_TRUE(IsSet(event));
    EXPECT_FALSE(IsSet(event));
    CloseHandle(event);
}

TEST_F(SyncTest, WaitAnyReportsTheLowestSignalledIndexAndConsumesOnlyIt) {
    HANDLE manual = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE autoA = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE autoB = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE handles[] = {manual, autoA, autoB};

    EXPECT_EQ(WAIT_OBJECT_0 + 1, WaitForMultipleObjects(3, handles, FALSE, 0));
    EXPECT_FALSE(IsSet(autoA));
    EXPECT_EQ(WAIT_OBJECT_0 + 2, WaitForMultipleObjects(3, handles, FALSE, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(3, handles, FALSE, 0));

    SetEvent(autoB);
    SetEvent(manual);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(3, handles, FALSE, 0));
    EXPECT_TRUE(IsSet(autoB));  // untouched by the wait that returned index 0
    ResetEvent(manual);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(3, handles, FALSE, 250));
    EXPECT_EQ(250u, GetTickCount());
    for (HANDLE h : handles) {
        CloseHandle(h);
    }
}

TEST_F(SyncTest, WaitAllNeedsEveryObject) {
    HANDLE a = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE b = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE handles[] = {a, b};
    EXPECT_EQ(WAIT_TIMEOUT, WaitForMultipleObjects(2, handles, TRUE, 10));
    EXPECT_TRUE(IsSet(a));  // a failed wait-all consumes nothing
    SetEvent(a);
    SetEvent(b);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, handles, TRUE, 0));
    EXPECT_FALSE(IsSet(a));
    EXPECT_FALSE(IsSet(b));
    CloseHandle(a);
    CloseHandle(b);
}

struct Waiter {
    HANDLE event;
    DWORD result = 0;
};

DWORD WINAPI WaitOnce(LPVOID param) {
    auto* waiter = static_cast<Waiter*>(param);
    waiter->result = WaitForSingleObject(waiter->event, 1000);
    return 0;
}

TEST_F(SyncTest, PulseReleasesCurrentWaitersAndLeavesTheEventClear) {
    for (BOOL manual : {TRUE, FALSE}) {
        HANDLE event = CreateEventW(nullptr, manual, FALSE, nullptr);
        Waiter first{event}, second{event};
        HANDLE threads[] = {CreateThread(nullptr, 0, WaitOnce, &first, 0, nullptr),
                            CreateThread(nullptr, 0, WaitOnce, &second, 0, nullptr)};
        WaitForDeviceIdle();
        PulseEvent(event);
        WaitForMultipleObjects(2, threads, TRUE, INFINITE);
        EXPECT_FALSE(IsSet(event));
        if (manual) {
            EXPECT_EQ(WAIT_OBJECT_0, first.result);
            EXPECT_EQ(WAIT_OBJECT_0, second.result);
        } else {
            // One waiter takes it; the other times out.
            EXPECT_EQ(WAIT_OBJECT_0 + WAIT_TIMEOUT, first.result + second.result);
            EXPECT_NE(first.result, second.result);
        }
        CloseHandle(threads[0]);
        CloseHandle(threads[1]);
        CloseHandle(event);
    }
}

TEST_F(SyncTest, BadHandlesFail) {
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(reinterpret_cast<HANDLE>(0x1234), 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(SetEvent(nullptr));
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(0x1234)));
}

struct Shared {
    CRITICAL_SECTION section;
    int value = 0;
    DWORD entered_at = 0;
};

DWORD WINAPI HoldForASecond(LPVOID param) {
    auto* shared = static_cast<Shared*>(param);
    EnterCriticalSection(&shared->section);
    Sleep(1000);  // time moves on while another thread waits to enter
    shared->value = 1;
    LeaveCriticalSection(&shared->section);
    return 0;
}

TEST_F(SyncTest, CriticalSectionWaitLetsTheOwnerSleep) {
    Shared shared;
    InitializeCriticalSection(&shared.section);
    HANDLE holder = CreateThread(nullptr, 0, HoldForASecond, &shared, 0, nullptr);
    WaitForDeviceIdle();
    EXPECT_FALSE(TryEnterCriticalSection(&shared.section));
    EnterCriticalSection(&shared.section);
    EXPECT_EQ(1000u, GetTickCount());
    EXPECT_EQ(1, shared.value);
    EnterCriticalSection(&shared.section);  // recursive entry by the owner
    LeaveCriticalSection(&shared.section);
    LeaveCriticalSection(&shared.section);
    WaitForSingleObject(holder, INFINITE);
    CloseHandle(holder);
    DeleteCriticalSection(&shared.section);
}

TEST_F(SyncTest, MutexBelongsToOneThread) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_OWNER), GetLastError());
    CloseHandle(mutex);
}

}  // namespace
}  // namespace tovarin::kernel::testing
