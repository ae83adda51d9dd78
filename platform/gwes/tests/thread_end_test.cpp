// What goes when a device thread ends (its windows, its hot keys and its queue), and what does
// not go before the device does.
#include <windows.h>

#include "testing/gwes_fixture.h"

namespace tovarin::gwes::testing {
namespace {

using ThreadEndTest = WindowTest;

struct Made {
    HWND top = nullptr;
    HWND child = nullptr;
    HWND child_of_foreign_parent = nullptr;
    HWND foreign_parent = nullptr;
};

DWORD WINAPI MakesWindowsAndReturns(LPVOID param) {
    auto* made = static_cast<Made*>(param);
    made->top = CreateWindowExW(0, kRecorderClass, L"уходит", WS_VISIBLE, 0, 0, 1, 1, nullptr,
                                nullptr, nullptr, nullptr);
    made->child = CreateWindowExW(0, kRecorderClass, L"child", WS_CHILD, 0, 0, 1, 1, made->top,
                                  nullptr, nullptr, nullptr);
    made->child_of_foreign_parent =
        CreateWindowExW(0, kRecorderClass, L"guest", WS_CHILD, 0, 0, 1, 1, made->foreign_parent,
                        nullptr, nullptr, nullptr);
    RegisterHotKey(made->top, 1, MOD_KEYUP, 0x8B);
    SetForegroundWindow(made->top);
    return 0;
}

TEST_F(ThreadEndTest, TheWindowsOfAnEndedThreadAreDestroyed) {
    Made made;
    made.foreign_parent = MakeWindow(L"stays");
    HANDLE thread = CreateThread(nullptr, 0, &MakesWindowsAndReturns, &made, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    CloseHandle(thread);

    EXPECT_FALSE(IsWindow(made.top));
    EXPECT_FALSE(IsWindow(made.child));
    EXPECT_FALSE(IsWindow(made.child_of_foreign_parent));
    EXPECT_EQ(nullptr, GetWindow(made.foreign_parent, GW_CHILD));
    EXPECT_EQ(nullptr, FindWindowW(kRecorderClass, L"уходит"));
    EXPECT_EQ(nullptr, GetForegroundWindow());
    // Its windows' code can no longer run: they went without WM_DESTROY.
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_DESTROY}), tovarin::testing::kNoMessages);
    // Its hot key went with its window.
    EXPECT_TRUE(RegisterHotKey(made.foreign_parent, 2, MOD_KEYUP, 0x8B));
    // Nothing can be posted to it any more.
    EXPECT_FALSE(PostMessageW(made.top, WM_USER, 0, 0));
    EXPECT_TRUE(IsWindow(made.foreign_parent));
}

TEST_F(ThreadEndTest, TheThreadsQueueGoesWithIt) {
    DWORD id = 0;
    {
        PumpingThread thread([] {});
        id = thread.id();
        EXPECT_TRUE(PostThreadMessageW(id, WM_USER, 0, 0));
    }
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageW(id, WM_USER, 0, 0));
    EXPECT_EQ(ERROR_INVALID_THREAD_ID, GetLastError());
}

TEST_F(ThreadEndTest, NoHandleThatDeviceCodeClosesTakesTheWindowsAway) {
    HWND window = MakeWindow(L"stays");
    ASSERT_TRUE(RegisterHotKey(window, 1, MOD_KEYUP, 0x8B));
    // Every handle value the device's handle table could have handed out, given or not.
    for (uintptr_t value = 0x1000; value < 0x1000 + 4 * 4096; value += 4) {
        CloseHandle(reinterpret_cast<HANDLE>(value));
    }
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(window, FindWindowW(kRecorderClass, L"stays"));
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, MOD_KEYUP, 0x8B));  // still taken by the window
}

}  // namespace
}  // namespace tovarin::gwes::testing
