// Sending and posting across threads, the message loop, simulated time and timers, and what the
// device log keeps of messages.
#include <string>
#include <vector>

#include <windows.h>

#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "host/device_log.h"

namespace tovarin::gwes::testing {
namespace {

using tovarin::testing::ExpectedMessage;
using tovarin::testing::kCheckWparam;
using tovarin::testing::kNoMessages;

using SendTest = WindowTest;

TEST_F(SendTest, AnotherThreadsWindowRunsOnItsOwnThreadWhileTheSenderWaits) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"owned"); });
    EXPECT_EQ(static_cast<LRESULT>(owner.id()), SendMessageW(window, kWhoRuns, 0, 0));
    EXPECT_EQ(42, SendMessageW(window, kEchoPlusOne, 41, 0));
    ASSERT_NE(GetCurrentThreadId(), owner.id());
    const ExpectedMessage on_the_owner[] = {
        {kWhoRuns, 0, 0, 0, window, owner.id()},
        {kEchoPlusOne, kCheckWparam, 41, 0, window, owner.id()},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({kWhoRuns, kEchoPlusOne}), on_the_owner);
}

// The window of the test thread that the other thread calls back while the test thread waits.
HWND g_test_window = nullptr;
constexpr UINT kCallBack = WM_APP + 1;

LRESULT CALLBACK CallsBack(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kCallBack) {
        // Sent to a thread that is itself blocked sending to us.
        LRESULT answered_on = SendMessageW(g_test_window, kWhoRuns, 0, 0);
        return answered_on + static_cast<LRESULT>(wparam);
    }
    return RecordingProc(hwnd, message, wparam, lparam);
}

TEST_F(SendTest, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    g_test_window = MakeWindow(L"test side");
    HWND other = nullptr;
    PumpingThread owner([&] {
        other = MakeWindow(L"other side");
        SetWindowLongW(other, GWL_WNDPROC,
                       static_cast<LONG>(reinterpret_cast<intptr_t>(&CallsBack)));
    });
    const LRESULT result = SendMessageW(other, kCallBack, 1000, 0);
    // The nested message ran on the test thread, inside its own wait.
    EXPECT_EQ(static_cast<LRESULT>(GetCurrentThreadId()) + 1000, result);
    const ExpectedMessage nested[] = {{kWhoRuns, 0, 0, 0, g_test_window, GetCurrentThreadId()}};
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({kWhoRuns}), nested);
}

constexpr UINT kEndThreadInside = WM_APP + 2;

LRESULT CALLBACK EndsItsThread(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kEndThreadInside) {
        ExitThread(5);
    }
    return RecordingProc(hwnd, message, wparam, lparam);
}

TEST_F(SendTest, ASenderGetsZeroWhenTheReceivingThreadEnds) {
    HWND window = nullptr;
    PumpingThread owner([&] {
        window = MakeWindow(L"short-lived");
        SetWindowLongW(window, GWL_WNDPROC,
                       static_cast<LONG>(reinterpret_cast<intptr_t>(&EndsItsThread)));
    });
    EXPECT_EQ(0, SendMessageW(window, kEndThreadInside, 0, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(owner.handle(), INFINITE));
    DWORD code = 0;
    GetExitCodeThread(owner.handle(), &code);
    EXPECT_EQ(5u, code);
    EXPECT_FALSE(IsWindow(window));
    SetLastError(0);
    EXPECT_EQ(0, SendMessageW(window, kEchoPlusOne, 1, 0));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
}

using PostTest = WindowTest;

TEST_F(PostTest, PostedMessagesArriveInOrderOnTheOwnersThread) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"queue"); });
    for (WPARAM i = 0; i < 5; ++i) {
        ASSERT_TRUE(PostMessageW(window, kEchoPlusOne, i, 0));
    }
    kernel::WaitForDeviceIdle();
    const ExpectedMessage in_order[] = {
        {kEchoPlusOne, kCheckWparam, 0, 0, window, owner.id()},
        {kEchoPlusOne, kCheckWparam, 1, 0, window, owner.id()},
        {kEchoPlusOne, kCheckWparam, 2, 0, window, owner.id()},
        {kEchoPlusOne, kCheckWparam, 3, 0, window, owner.id()},
        {kEchoPlusOne, kCheckWparam, 4, 0, window, owner.id()},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({kEchoPlusOne}), in_order);
}

TEST_F(PostTest, FiltersTakeMatchingMessagesFirstAndPeekCanLeaveThem) {
    HWND a = MakeWindow(L"a");
    HWND b = MakeWindow(L"b");
    PostMessageW(a, WM_USER + 10, 1, 0);
    PostMessageW(b, WM_USER + 20, 2, 0);
    PostMessageW(a, WM_USER + 30, 3, 0);
    PostMessageW(nullptr, WM_USER + 40, 4, 0);  // a thread message

    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(2u, message.wParam);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_USER + 25, WM_USER + 35, PM_REMOVE));
    EXPECT_EQ(3u, message.wParam);
    ASSERT_TRUE(PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(4u, message.wParam);
    EXPECT_EQ(nullptr, message.hwnd);
    ASSERT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(1u, message.wParam);
    ASSERT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(2u, message.wParam);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(PostTest, QuitComesAfterWhatWasPostedBeforeIt) {
    HWND window = MakeWindow(L"w");
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    MSG message{};
    EXPECT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_USER), message.message);
    EXPECT_EQ(FALSE, GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(3u, message.wParam);
}

TEST_F(PostTest, PostingNeedsAWindowOrAThreadWithAQueue) {
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x40000ff0), WM_USER, 0, 0));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageW(9999, WM_USER, 0, 0));
    EXPECT_EQ(ERROR_INVALID_THREAD_ID, GetLastError());
    MSG message{};
    EXPECT_EQ(-1, GetMessageW(&message, reinterpret_cast<HWND>(0x40000ff0), 0, 0));
}

TEST_F(PostTest, DispatchRefusesAnotherThreadsWindow) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"theirs"); });
    MSG message{};
    message.hwnd = window;
    message.message = kEchoPlusOne;
    SetLastError(0);
    EXPECT_EQ(0, DispatchMessageW(&message));
    EXPECT_EQ(ERROR_WINDOW_OF_OTHER_THREAD, GetLastError());
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({kEchoPlusOne}), kNoMessages);
}

using SimulatedTimeTest = WindowTest;

TEST_F(SimulatedTimeTest, AThreadWaitingForMessagesLetsTimeMove) {
    PumpingThread idle([] { MakeWindow(L"idle"); });
    EXPECT_EQ(0u, GetTickCount());
    Sleep(1000);  // ends only if the pumping thread does not hold the clock back
    EXPECT_EQ(1000u, GetTickCount());
}

TEST_F(SimulatedTimeTest, ATimerFiresWhenDueInDeviceTime) {
    HWND window = MakeWindow(L"timed");
    ASSERT_EQ(7u, SetTimer(window, 7, 500, nullptr));
    MSG message{};
    ASSERT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(static_cast<UINT>(WM_TIMER), message.message);
    EXPECT_EQ(window, message.hwnd);
    EXPECT_EQ(7u, message.wParam);
    EXPECT_EQ(500u, GetTickCount());
    EXPECT_EQ(500u, message.time);
    DispatchMessageW(&message);
    const ExpectedMessage one_tick[] = {{WM_TIMER, kCheckWparam, 7, 0, window}};
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_TIMER}), one_tick);

    ASSERT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));  // periodic
    EXPECT_EQ(1000u, GetTickCount());
    ASSERT_TRUE(KillTimer(window, 7));
    EXPECT_FALSE(KillTimer(window, 7));
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(SimulatedTimeTest, ATimerOfAnotherThreadsWindowWakesThatThread) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"their timer"); });
    Sleep(100);
    ASSERT_NE(0u, SetTimer(window, 1, 250, nullptr));  // the owner waits with no time limit
    Sleep(400);
    const ExpectedMessage on_the_owner[] = {{WM_TIMER, kCheckWparam, 1, 0, window, owner.id()}};
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_TIMER}), on_the_owner);
    EXPECT_EQ(500u, GetTickCount());
}

std::vector<DWORD> g_timer_calls;

void CALLBACK CountsTimer(HWND, UINT message, UINT_PTR, DWORD tick) {
    EXPECT_EQ(static_cast<UINT>(WM_TIMER), message);
    g_timer_calls.push_back(tick);
}

TEST_F(SimulatedTimeTest, ATimerProcedureIsCalledByDispatch) {
    g_timer_calls.clear();
    UINT_PTR id = SetTimer(nullptr, 0, 300, &CountsTimer);
    ASSERT_NE(0u, id);
    MSG message{};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(TRUE, GetMessageW(&message, nullptr, 0, 0));
        EXPECT_EQ(id, message.wParam);
        DispatchMessageW(&message);
    }
    EXPECT_EQ((std::vector<DWORD>{300, 600}), g_timer_calls);
    EXPECT_TRUE(KillTimer(nullptr, id));
    // A forged WM_TIMER for a timer that no longer exists does not call the procedure.
    DispatchMessageW(&message);
    EXPECT_EQ(2u, g_timer_calls.size());
}

using MessageLogTest = WindowTest;

std::vector<kernel::MessageRecord> MessagesSince(size_t mark) {
    std::vector<kernel::MessageRecord> records;
    for (const kernel::LogEntry& entry : kernel::Device::Current().log().Since(mark)) {
        if (const auto* record = std::get_if<kernel::MessageRecord>(&entry.what)) {
            records.push_back(*record);
        }
    }
    return records;
}

TEST_F(MessageLogTest, MessagesFromAnotherThreadAreRecorded) {
    HWND window = nullptr;
    PumpingThread owner([&] {
        window = CreateWindowExW(0, L"Dialog", L"Автоответчик", 0, 0, 0, 1, 1, nullptr, nullptr,
                                 nullptr, nullptr);
    });
    HWND own = MakeWindow(L"own");
    const size_t mark = kernel::Device::Current().log().Size();
    SendMessageW(window, WM_COMMAND, 2, 0);
    PostMessageW(window, WM_KEYDOWN, 0x8B, 7);
    SendMessageW(own, WM_USER, 0, 0);  // same thread: not recorded
    PostMessageW(own, WM_USER, 0, 0);
    kernel::WaitForDeviceIdle();

    std::vector<kernel::MessageRecord> records = MessagesSince(mark);
    ASSERT_EQ(2u, records.size());
    EXPECT_EQ(L"Dialog", records[0].window_class);
    EXPECT_EQ(L"Автоответчик", records[0].window_title);
    EXPECT_EQ(static_cast<uint32_t>(WM_COMMAND), records[0].message);
    EXPECT_EQ(2u, records[0].wparam);
    EXPECT_FALSE(records[0].posted);
    EXPECT_EQ(static_cast<uint32_t>(WM_KEYDOWN), records[1].message);
    EXPECT_EQ(0x8Bu, records[1].wparam);
    EXPECT_EQ(7, records[1].lparam);
    EXPECT_TRUE(records[1].posted);
}

}  // namespace
}  // namespace tovarin::gwes::testing
