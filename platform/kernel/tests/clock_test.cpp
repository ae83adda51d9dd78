// The device clock: simulated time moves only when every device thread waits, and then jumps to
// the earliest deadline.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <thread>

#include <windows.h>

#include "testing/device_fixture.h"
#include "kernel/scheduler.h"
#include "host/trace.h"

namespace tovarin::kernel::testing {
namespace {

using ClockTest = SimulatedDeviceTest;

struct Log {
    std::mutex mutex;
    std::vector<std::pair<DWORD, std::string>> entries;
    void Add(std::string what) {
        std::lock_guard guard(mutex);
        entries.emplace_back(GetTickCount(), std::move(what));
    }
};

struct Looper {
    Log* log;
    HANDLE stop;
};

DWORD WINAPI LongSleeper(LPVOID param) {
    auto* log = static_cast<Log*>(param);
    Sleep(20'000);
    log->Add("20 s");
    return 0;
}

DWORD WINAPI HalfSecondLoop(LPVOID param) {
    auto* looper = static_cast<Looper*>(param);
    while (WaitForSingleObject(looper->stop, 500) == WAIT_TIMEOUT) {
        looper->log->Add("tick");
    }
    return 0;
}

TEST_F(ClockTest, ThreadsWakeInDeadlineOrderAtExactDeviceTimes) {
    Log log;
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Looper looper{&log, stop};
    HANDLE loop = CreateThread(nullptr, 0, HalfSecondLoop, &looper, 0, nullptr);
    HANDLE sleeper = CreateThread(nullptr, 0, LongSleeper, &log, 0, nullptr);

    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(sleeper, INFINITE));
    EXPECT_EQ(20'000u, GetTickCount());
    SetEvent(stop);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(loop, INFINITE));

    // Ticks at 500, 1000, ... 20000 and the sleeper at 20000. Threads woken at one device time
    // run at once, so entries of equal time are compared in sorted order.
    std::sort(log.entries.begin(), log.entries.end());
    ASSERT_EQ(41u, log.entries.size());
    for (size_t i = 0; i < 39; ++i) {
        EXPECT_EQ(500u * (i + 1), log.entries[i].first) << i;
        EXPECT_EQ("tick", log.entries[i].second);
    }
    EXPECT_EQ((std::pair<DWORD, std::string>{20'000, "tick"}), log.entries[40]);
    EXPECT_EQ((std::pair<DWORD, std::string>{20'000, "20 s"}), log.entries[39]);
    CloseHandle(loop);
    CloseHandle(sleeper);
    CloseHandle(stop);
}

TEST_F(ClockTest, TimeStandsStillWhileTheAttachedThreadRuns) {
    Log log;
    HANDLE sleeper = CreateThread(nullptr, 0, LongSleeper, &log, 0, nullptr);
    WaitForDeviceIdle();  // the sleeper is blocked; the test thread still holds time
    EXPECT_EQ(0u, GetTickCount());
    DWORD code = 0;
    GetExitCodeThread(sleeper, &code);
    EXPECT_EQ(STILL_ACTIVE, code);

    Sleep(19'999);
    EXPECT_EQ(19'999u, GetTickCount());
    GetExitCodeThread(sleeper, &code);
    EXPECT_EQ(STILL_ACTIVE, code);
    Sleep(1);
    WaitForDeviceIdle();
    GetExitCodeThread(sleeper, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(sleeper);
}

TEST_F(ClockTest, WaitTimeoutsAreMeasuredInDeviceTime) {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(never, 1234));
    EXPECT_EQ(1234u, GetTickCount());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(never, 0));
    EXPECT_EQ(1234u, GetTickCount());
    CloseHandle(never);
}

TEST_F(ClockTest, LocalTimeFollowsTheDeviceClock) {
    SYSTEMTIME t{};
    GetSystemTime(&t);
    EXPECT_EQ(2023, t.wYear);
    EXPECT_EQ(11, t.wMonth);
    EXPECT_EQ(14, t.wDay);
    EXPECT_EQ(2, t.wDayOfWeek);  // a Tuesday
    EXPECT_EQ(22, t.wHour);
    EXPECT_EQ(13, t.wMinute);
    EXPECT_EQ(20, t.wSecond);

    Sleep(2 * 3600 * 1000 + 250);  // across midnight
    GetSystemTime(&t);
    EXPECT_EQ(15, t.wDay);
    EXPECT_EQ(0, t.wHour);
    EXPECT_EQ(250, t.wMilliseconds);

    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&t, &ft));
    SYSTEMTIME back{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
    EXPECT_EQ(0, std::memcmp(&t, &back, sizeof t));
}

TEST_F(ClockTest, DeadlockIsReportedInsteadOfHanging) {
    std::vector<std::wstring> lines;
    int id = device_.trace().Subscribe([&](const TraceLine& line) { lines.push_back(line.text); });
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, L"Никто не ставит");
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(never, INFINITE));
    EXPECT_EQ(static_cast<DWORD>(ERROR_POSSIBLE_DEADLOCK), GetLastError());
    device_.trace().Unsubscribe(id);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::wstring::npos, lines[0].find(L"deadlock"));
    EXPECT_NE(std::wstring::npos, lines[0].find(L"\"Никто не ставит\""));  // names keep their text
    EXPECT_NE(std::wstring::npos, lines[0].find(L"test"));
    CloseHandle(never);
}

// The report goes out once the kernel lock is released: a trace sink may call the platform.
TEST_F(ClockTest, TheDeadlockReportIsWrittenWithoutTheKernelLock) {
    HANDLE told = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int id = device_.trace().Subscribe([&](const TraceLine& line) {
        if (line.text.find(L"deadlock") != std::wstring::npos) {
            SetEvent(told);  // takes the kernel lock
        }
    });
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(never, INFINITE));
    device_.trace().Unsubscribe(id);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(told, 0));
    CloseHandle(never);
    CloseHandle(told);
}

// A host thread's first platform call makes its record without the kernel lock, which it may
// hold already (a driver called back under it).
TEST_F(ClockTest, AFirstPlatformCallWorksWithTheKernelLockHeld) {
    DWORD id = 0;
    std::thread host([&] {
        std::lock_guard guard(device_.scheduler().lock());
        id = GetCurrentThreadId();
    });
    host.join();
    EXPECT_NE(0u, id);
    EXPECT_NE(GetCurrentThreadId(), id);
}

// A thread that polls with Sleep(0) lets time pass, so the thread it waits for gets on.
TEST_F(ClockTest, PollingWithSleepZeroLetsTimeMove) {
    static std::atomic<bool> done;
    done = false;
    HANDLE setter = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            Sleep(100);
            done = true;
            return 0;
        },
        nullptr, 0, nullptr);
    HANDLE poller = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            while (!done) {
                Sleep(0);
            }
            return 0;
        },
        nullptr, 0, nullptr);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(poller, INFINITE));
    EXPECT_GE(GetTickCount(), 100u);
    CloseHandle(setter);
    CloseHandle(poller);
}

// A device thread that blocks outside the platform's waits keeps the device from settling; after
// the watchdog's period of host time the trace names it.
TEST(SettleWatchdogTest, NamesTheThreadsThatRunOutsidePlatformWaits) {
    Device device({.clock = ClockMode::Simulated, .settle_watchdog_ms = 20});
    AttachedThread self("test");
    static std::atomic<bool> release;
    release = false;
    std::vector<std::wstring> reports;  // written on this thread, inside WaitForDeviceIdle
    int id = device.trace().Subscribe([&](const TraceLine& line) {
        if (line.text.find(L"has not settled") != std::wstring::npos) {
            reports.push_back(line.text);
            release = true;
        }
    });
    DWORD spinner_id = 0;
    HANDLE spinner = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            while (!release) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));  // a host wait
            }
            return 0;
        },
        nullptr, 0, &spinner_id);
    WaitForDeviceIdle();
    device.trace().Unsubscribe(id);
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(std::wstring::npos, reports[0].find(L"(id " + std::to_wstring(spinner_id) + L")"));
    EXPECT_NE(std::wstring::npos, reports[0].find(L"runs outside platform waits"));
    EXPECT_EQ(std::wstring::npos, reports[0].find(L"test"));  // the waiter itself is not named
    CloseHandle(spinner);
}

TEST(RealClockTest, WaitsFollowTheHostClock) {
    Device device({.clock = ClockMode::Real});
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD before = GetTickCount();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(never, 5));
    EXPECT_GE(GetTickCount() - before, 5u);
    CloseHandle(never);
}

// In real time too, the console's next command comes after the work the last one set off: a
// service that is still arming its notification when a call starts would miss the call.
TEST(RealClockTest, WaitingForIdleWaitsUntilTheDeviceThreadsBlock) {
    Device device({.clock = ClockMode::Real});
    AttachedThread self("test");
    static std::atomic<bool> worked;
    worked = false;
    HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE worker = CreateThread(
        nullptr, 0,
        [](LPVOID finish) -> DWORD {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));  // work, not a wait
            worked = true;
            WaitForSingleObject(finish, INFINITE);
            return 0;
        },
        finish, 0, nullptr);
    WaitForDeviceIdle();
    EXPECT_TRUE(worked);
    SetEvent(finish);
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    CloseHandle(finish);
}

}  // namespace
}  // namespace tovarin::kernel::testing
