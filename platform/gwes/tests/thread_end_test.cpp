// What goes when a device thread ends: its windows, its hot keys and its queue.
#include <windows.h>

#include "gwes/tests/gwes_fixture.h"
#include "kernel/thread_object.h"

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
    EXPECT_TRUE(Recorder::Instance().Of(made.top, WM_DESTROY).empty());
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

int g_loader_detaches = 0;
bool g_window_alive_at_loader_detach = false;
HWND g_window_of_ending_thread = nullptr;

void LoaderDetach() {
    ++g_loader_detaches;
    g_window_alive_at_loader_detach = IsWindow(g_window_of_ending_thread);
}

DWORD WINAPI MakesOneWindow(LPVOID) {
    g_window_of_ending_thread =
        CreateWindowExW(0, L"Dialog", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    return 0;
}

TEST_F(ThreadEndTest, TheEarlierThreadEndHookStillRunsFirst) {
    // As the module loader does at boot, install a hook over the window manager's; the next call
    // of the window manager chains itself behind it again.
    kernel::ThreadHooks::detach = &LoaderDetach;
    g_loader_detaches = 0;
    IsWindow(nullptr);

    HANDLE thread = CreateThread(nullptr, 0, &MakesOneWindow, nullptr, 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    CloseHandle(thread);
    kernel::ThreadHooks::detach = [] {};  // the window manager chains itself behind it again
    IsWindow(nullptr);

    EXPECT_EQ(1, g_loader_detaches);
    EXPECT_TRUE(g_window_alive_at_loader_detach);  // modules hear of the end before windows go
    EXPECT_FALSE(IsWindow(g_window_of_ending_thread));
}

}  // namespace
}  // namespace tovarin::gwes::testing
