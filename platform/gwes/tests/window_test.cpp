// Classes, windows and their tree, text and attributes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "testing/gwes_fixture.h"
#include "host/window_tree.h"

namespace tovarin::gwes::testing {
namespace {

using ClassTest = WindowTest;

TEST_F(ClassTest, ClassNamesAreUniqueWithoutRegardToCase) {
    WNDCLASSW again{};
    again.lpfnWndProc = &DefWindowProcW;
    again.lpszClassName = L"RECORDER";
    SetLastError(0);
    EXPECT_EQ(0, RegisterClassW(&again));
    EXPECT_EQ(ERROR_CLASS_ALREADY_EXISTS, GetLastError());

    HWND window =
        CreateWindowExW(0, L"recorder", L"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    wchar_t name[32];
    EXPECT_EQ(8, GetClassNameW(window, name, 32));
    EXPECT_STREQ(kRecorderClass, name);  // the name as it was registered
}

TEST_F(ClassTest, AWindowOfAnUnknownClassIsNotCreated) {
    SetLastError(0);
    EXPECT_EQ(nullptr, CreateWindowExW(0, L"NoSuchClass", L"x", 0, 0, 0, 1, 1, nullptr, nullptr,
                                       nullptr, nullptr));
    EXPECT_EQ(ERROR_CLASS_DOES_NOT_EXIST, GetLastError());
}

TEST_F(ClassTest, TheAtomNamesTheClass) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &RecordingProc;
    window_class.lpszClassName = L"ByAtom";
    ATOM atom = RegisterClassW(&window_class);
    ASSERT_NE(0, atom);
    HWND window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(atom)),
                                  L"atom", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(window, FindWindowW(L"ByAtom", L"atom"));
}

TEST_F(ClassTest, AClassWithWindowsCannotBeUnregistered) {
    HWND window = MakeWindow(L"alive");
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(kRecorderClass, nullptr));
    EXPECT_EQ(ERROR_CLASS_HAS_WINDOWS, GetLastError());
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassW(kRecorderClass, nullptr));
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(kRecorderClass, nullptr));
    EXPECT_EQ(ERROR_CLASS_DOES_NOT_EXIST, GetLastError());
}

TEST_F(ClassTest, TheDialogClassIsBuiltInWithTheDefaultProcedure) {
    HWND dialog = CreateWindowExW(0, L"Dialog", L"Вызов", WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, dialog);
    // DefWindowProcW keeps the text.
    EXPECT_TRUE(SetWindowTextW(dialog, L"Разговор"));
    wchar_t title[16];
    EXPECT_EQ(8, GetWindowTextW(dialog, title, 16));
    EXPECT_STREQ(L"Разговор", title);
    // Dialogs have room for the DWL_ values.
    EXPECT_EQ(0, SetWindowLongW(dialog, DWL_USER, 1234));
    EXPECT_EQ(1234, GetWindowLongW(dialog, DWL_USER));
    // WM_CLOSE through DefWindowProcW destroys the window.
    EXPECT_EQ(0, SendMessageW(dialog, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(dialog));

    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(L"Dialog", nullptr));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
}

using CreateTest = WindowTest;

LRESULT CALLBACK RefusesCreation(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    RecordingProc(hwnd, message, wparam, lparam);
    return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wparam, lparam);
}

TEST_F(CreateTest, StylesComeFromTheArguments) {
    HWND window = CreateWindowExW(WS_EX_TOPMOST, kRecorderClass, L"made", WS_VISIBLE, 1, 2, 3, 4,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    const tovarin::testing::ExpectedMessage created[] = {{WM_CREATE, 0, 0, 0, window}};
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_CREATE}), created);
    EXPECT_EQ(static_cast<LONG>(WS_VISIBLE), GetWindowLongW(window, GWL_STYLE));
    EXPECT_EQ(WS_EX_TOPMOST, GetWindowLongW(window, GWL_EXSTYLE));
    EXPECT_TRUE(IsWindowVisible(window));
    DWORD process = 0;
    EXPECT_EQ(GetCurrentThreadId(), GetWindowThreadProcessId(window, &process));
    EXPECT_EQ(GetCurrentProcessId(), process);
}

CREATESTRUCTW g_seen_create;

LRESULT CALLBACK CopiesCreateStruct(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        g_seen_create = *reinterpret_cast<const CREATESTRUCTW*>(lparam);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

TEST_F(CreateTest, TheCreateStructIsFilledFromTheArguments) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &CopiesCreateStruct;
    window_class.lpszClassName = L"Copier";
    ASSERT_NE(0, RegisterClassW(&window_class));
    HWND parent = MakeWindow(L"parent");
    int param = 0;
    HWND child = CreateWindowExW(0, L"Copier", L"child", WS_CHILD, 5, 6, 7, 8, parent,
                                 reinterpret_cast<HMENU>(42), nullptr, &param);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(&param, g_seen_create.lpCreateParams);
    EXPECT_EQ(parent, g_seen_create.hwndParent);
    EXPECT_EQ(5, g_seen_create.x);
    EXPECT_EQ(6, g_seen_create.y);
    EXPECT_EQ(7, g_seen_create.cx);
    EXPECT_EQ(8, g_seen_create.cy);
    EXPECT_EQ(static_cast<LONG>(WS_CHILD), g_seen_create.style);
    EXPECT_EQ(42, GetWindowLongW(child, GWL_ID));  // a child's menu argument is its identifier
}

TEST_F(CreateTest, MinusOneFromWmCreateFailsTheCreation) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &RefusesCreation;
    window_class.lpszClassName = L"Refuser";
    ASSERT_NE(0, RegisterClassW(&window_class));
    EXPECT_EQ(nullptr, CreateWindowExW(0, L"Refuser", L"no", 0, 0, 0, 1, 1, nullptr, nullptr,
                                       nullptr, nullptr));
    const tovarin::testing::ExpectedMessage refused[] = {{WM_CREATE}, {WM_DESTROY}};
    const std::vector<tovarin::testing::LoggedMessage> seen = Recorder::Instance().Sequence();
    EXPECT_SEQUENCE(seen, refused);
    ASSERT_FALSE(seen.empty());
    EXPECT_FALSE(IsWindow(seen[0].window));
    EXPECT_EQ(nullptr, FindWindowW(L"Refuser", nullptr));
}

TEST_F(CreateTest, AChildNeedsAParent) {
    SetLastError(0);
    EXPECT_EQ(nullptr, MakeWindow(L"orphan", nullptr, WS_CHILD));
    EXPECT_EQ(ERROR_TLW_WITH_WSCHILD, GetLastError());
    SetLastError(0);
    EXPECT_EQ(nullptr, MakeWindow(L"lost", reinterpret_cast<HWND>(0x40001234)));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
}

using HandleTest = WindowTest;

TEST_F(HandleTest, HandlesFitIn32BitsAndAreNotReusedSoon) {
    HWND first = MakeWindow(L"first");
    const auto value = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(first));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(first), uintptr_t{value});
    EXPECT_GE(value, 0x40000000u);
    EXPECT_EQ(0u, value % 4);
    // A handle kept in a registry DWORD still names the window.
    HWND round_trip = reinterpret_cast<HWND>(static_cast<uintptr_t>(value));
    EXPECT_TRUE(IsWindow(round_trip));

    ASSERT_TRUE(DestroyWindow(first));
    HWND second = MakeWindow(L"second");
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsWindow(first));
    SetLastError(0);
    EXPECT_EQ(0, GetWindowTextLengthW(first));
    EXPECT_EQ(ERROR_INVALID_WINDOW_HANDLE, GetLastError());
}

// Every call that is given the handle of a window that has gone fails the same way: with its
// failure value and ERROR_INVALID_WINDOW_HANDLE, before it looks at its other arguments.
TEST_F(HandleTest, CallsOnAGoneWindowFailWithInvalidWindowHandle) {
    HWND gone = MakeWindow(L"gone");
    ASSERT_TRUE(DestroyWindow(gone));
    HWND alive = MakeWindow(L"alive");
    RECT rect{};
    POINT point{};
    wchar_t text[16];
    MSG message{.hwnd = gone, .message = WM_USER};
    PAINTSTRUCT paint{};
    int low = 0;
    int high = 0;
    const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
        {"SendMessageW", [&] { return SendMessageW(gone, WM_USER, 0, 0) == 0; }},
        {"PostMessageW", [&] { return !PostMessageW(gone, WM_USER, 0, 0); }},
        {"PeekMessageW", [&] { return !PeekMessageW(&message, gone, 0, 0, PM_NOREMOVE); }},
        {"GetMessageW", [&] { return GetMessageW(&message, gone, 0, 0) == -1; }},
        {"DispatchMessageW", [&] { return DispatchMessageW(&message) == 0; }},
        {"CreateWindowExW", [&] { return MakeWindow(L"child", gone, WS_CHILD) == nullptr; }},
        {"DestroyWindow", [&] { return !DestroyWindow(gone); }},
        {"ShowWindow", [&] { return !ShowWindow(gone, SW_SHOW); }},
        {"GetWindowThreadProcessId", [&] { return GetWindowThreadProcessId(gone, nullptr) == 0; }},
        {"GetParent", [&] { return GetParent(gone) == nullptr; }},
        {"GetWindow", [&] { return GetWindow(gone, GW_CHILD) == nullptr; }},
        {"GetClassNameW", [&] { return GetClassNameW(gone, text, 16) == 0; }},
        {"SetWindowTextW", [&] { return !SetWindowTextW(gone, L"x"); }},
        {"GetWindowTextW", [&] { return GetWindowTextW(gone, text, 16) == 0; }},
        {"GetWindowLongW", [&] { return GetWindowLongW(gone, GWL_STYLE) == 0; }},
        {"SetWindowLongW", [&] { return SetWindowLongW(gone, GWL_USERDATA, 1) == 0; }},
        {"GetClientRect", [&] { return !GetClientRect(gone, nullptr); }},
        {"GetWindowRect", [&] { return !GetWindowRect(gone, nullptr); }},
        {"MapWindowPoints (from)", [&] { return MapWindowPoints(gone, alive, &point, 1) == 0; }},
        {"MapWindowPoints (to)", [&] { return MapWindowPoints(alive, gone, &point, 1) == 0; }},
        {"ScreenToClient", [&] { return !ScreenToClient(gone, &point); }},
        {"ClientToScreen", [&] { return !ClientToScreen(gone, &point); }},
        {"SetWindowPos", [&] { return !SetWindowPos(gone, nullptr, 0, 0, 1, 1, SWP_NOZORDER); }},
        {"DeferWindowPos",
         [&] {
             HDWP batch = BeginDeferWindowPos(1);
             return DeferWindowPos(batch, gone, nullptr, 0, 0, 1, 1, SWP_NOZORDER) == nullptr;
         }},
        {"EnableWindow", [&] { return !EnableWindow(gone, FALSE); }},
        {"IsWindowEnabled", [&] { return !IsWindowEnabled(gone); }},
        {"SetActiveWindow", [&] { return SetActiveWindow(gone) == nullptr; }},
        {"SetFocus", [&] { return SetFocus(gone) == nullptr; }},
        {"GetLastActivePopup", [&] { return GetLastActivePopup(gone) == nullptr; }},
        {"SetForegroundWindow", [&] { return !SetForegroundWindow(gone); }},
        {"RegisterHotKey", [&] { return !RegisterHotKey(gone, 1, 0, VK_F1); }},
        {"SetTimer", [&] { return SetTimer(gone, 1, 100, nullptr) == 0; }},
        {"GetScrollRange", [&] { return !GetScrollRange(gone, SB_VERT, &low, &high); }},
        {"ShowScrollBar", [&] { return !ShowScrollBar(gone, SB_VERT, TRUE); }},
        {"ScrollWindowEx",
         [&] {
             return ScrollWindowEx(gone, 0, 1, nullptr, nullptr, nullptr, nullptr, 0) == ERROR;
         }},
        {"InvalidateRect", [&] { return !InvalidateRect(gone, nullptr, TRUE); }},
        {"ValidateRect", [&] { return !ValidateRect(gone, nullptr); }},
        {"GetUpdateRect", [&] { return !GetUpdateRect(gone, &rect, FALSE); }},
        {"UpdateWindow", [&] { return !UpdateWindow(gone); }},
        {"RedrawWindow", [&] { return !RedrawWindow(gone, nullptr, nullptr, RDW_INVALIDATE); }},
        {"BeginPaint", [&] { return BeginPaint(gone, &paint) == nullptr; }},
        {"GetDC", [&] { return GetDC(gone) == nullptr; }},
        {"GetDlgItem", [&] { return GetDlgItem(gone, IDOK) == nullptr; }},
        {"GetDlgCtrlID", [&] { return GetDlgCtrlID(gone) == 0; }},
        {"MapDialogRect", [&] { return !MapDialogRect(gone, nullptr); }},
        {"EndDialog", [&] { return !EndDialog(gone, IDOK); }},
        {"MessageBoxW", [&] { return MessageBoxW(gone, L"text", L"caption", MB_OK) == 0; }},
    };
    for (const auto& [name, fails] : calls) {
        SetLastError(0);
        EXPECT_TRUE(fails()) << name;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError()) << name;
    }
}

using DestroyTest = WindowTest;

std::vector<std::pair<HWND, bool>> g_destroy_order;  // window, whether its parent still existed

LRESULT CALLBACK NotesDestruction(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        HWND parent = GetParent(hwnd);
        g_destroy_order.emplace_back(hwnd, parent && IsWindow(parent));
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

TEST_F(DestroyTest, TheWindowHearsWmDestroyFirstAndGoesAfterItsChildren) {
    g_destroy_order.clear();
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &NotesDestruction;
    window_class.lpszClassName = L"Noter";
    ASSERT_NE(0, RegisterClassW(&window_class));
    auto make = [](HWND parent) {
        return CreateWindowExW(0, L"Noter", L"", parent ? WS_CHILD : 0, 0, 0, 1, 1, parent, nullptr,
                               nullptr, nullptr);
    };
    HWND top = make(nullptr);
    HWND child = make(top);
    HWND grandchild = make(child);
    HWND owned =
        CreateWindowExW(0, L"Noter", L"owned", 0, 0, 0, 1, 1, child, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owned);
    EXPECT_EQ(top, GetWindow(owned, GW_OWNER));  // an owner is always a top-level window

    ASSERT_TRUE(DestroyWindow(top));
    ASSERT_EQ(4u, g_destroy_order.size());
    EXPECT_EQ(top, g_destroy_order[0].first);
    EXPECT_EQ(child, g_destroy_order[1].first);
    EXPECT_TRUE(g_destroy_order[1].second);  // the parent still exists while a child hears it
    EXPECT_EQ(grandchild, g_destroy_order[2].first);
    EXPECT_TRUE(g_destroy_order[2].second);
    EXPECT_EQ(owned, g_destroy_order[3].first);
    for (HWND window : {top, child, grandchild, owned}) {
        EXPECT_FALSE(IsWindow(window));
    }
}

TEST_F(DestroyTest, OnlyTheOwnerThreadDestroysAWindow) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"mine"); });
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_TRUE(IsWindow(window));
    // The owner destroys it when asked to close.
    EXPECT_EQ(0, SendMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_FALSE(IsWindow(window));
}

using TreeTest = WindowTest;

TEST_F(TreeTest, ChildrenAreWalkedInCreationOrder) {
    HWND parent = MakeWindow(L"parent");
    HWND a = MakeWindow(L"a", parent);
    HWND b = MakeWindow(L"b", parent);
    HWND c = MakeWindow(L"c", parent);

    std::vector<HWND> walked;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        walked.push_back(child);
    }
    EXPECT_EQ((std::vector<HWND>{a, b, c}), walked);
    EXPECT_EQ(a, GetWindow(c, GW_HWNDFIRST));
    EXPECT_EQ(c, GetWindow(a, GW_HWNDLAST));
    EXPECT_EQ(b, GetWindow(c, GW_HWNDPREV));
    EXPECT_EQ(nullptr, GetWindow(a, GW_HWNDPREV));
    EXPECT_EQ(nullptr, GetWindow(a, GW_CHILD));
    EXPECT_EQ(parent, GetParent(b));

    ASSERT_TRUE(DestroyWindow(b));
    EXPECT_EQ(c, GetWindow(a, GW_HWNDNEXT));
}

TEST_F(TreeTest, ATopLevelWindowsParentIsItsOwner) {
    HWND owner = MakeWindow(L"owner");
    HWND popup = CreateWindowExW(0, kRecorderClass, L"popup", WS_POPUP, 0, 0, 1, 1, owner, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(owner, GetParent(popup));
    EXPECT_EQ(owner, GetWindow(popup, GW_OWNER));
    EXPECT_EQ(nullptr, GetWindow(popup, GW_CHILD));  // owned, not a child
    SetLastError(0);
    EXPECT_EQ(nullptr, GetParent(owner));
    EXPECT_EQ(0u, GetLastError());  // no owner is not a failure
}

using FindTest = WindowTest;

TEST_F(FindTest, TitlesMatchExactlyIncludingCyrillic) {
    HWND recorder = CreateWindowExW(0, L"Dialog", L"Телефонный Записи", 0, 0, 0, 1, 1, nullptr,
                                    nullptr, nullptr, nullptr);
    HWND answering = CreateWindowExW(0, L"Dialog", L"Автоответчик", 0, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
    ASSERT_NE(nullptr, recorder);
    EXPECT_EQ(recorder, FindWindowW(L"Dialog", L"Телефонный Записи"));
    EXPECT_EQ(answering, FindWindowW(L"Dialog", L"Автоответчик"));
    EXPECT_EQ(nullptr, FindWindowW(L"Dialog", L"телефонный записи"));  // case matters in titles
    EXPECT_EQ(nullptr, FindWindowW(L"Dialog", L"Телефонный"));         // so does every letter
    EXPECT_EQ(nullptr, FindWindowW(kRecorderClass, L"Автоответчик"));  // wrong class
    EXPECT_EQ(recorder, FindWindowW(nullptr, L"Телефонный Записи"));
    EXPECT_EQ(answering, FindWindowW(L"dialog", nullptr));  // class names ignore case
}

TEST_F(FindTest, OnlyTopLevelWindowsAreFoundHiddenOnesToo) {
    HWND parent = MakeWindow(L"parent");
    MakeWindow(L"child", parent);
    EXPECT_EQ(nullptr, FindWindowW(nullptr, L"child"));
    HWND hidden = MakeWindow(L"hidden");
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_EQ(hidden, FindWindowW(kRecorderClass, L"hidden"));
    EXPECT_EQ(nullptr, FindWindowW(L"NoSuchClass", nullptr));
    HWND untitled = MakeWindow(nullptr);
    EXPECT_EQ(untitled, FindWindowW(nullptr, L""));
}

using EnumTest = WindowTest;

struct Enumeration {
    std::vector<HWND> seen;
    size_t stop_after = SIZE_MAX;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param) {
    auto* enumeration = reinterpret_cast<Enumeration*>(param);
    enumeration->seen.push_back(hwnd);
    return enumeration->seen.size() < enumeration->stop_after;
}

TEST_F(EnumTest, TopLevelWindowsComeTopmostFirstUntilTheCallbackStops) {
    HWND first = MakeWindow(L"1");
    HWND second = MakeWindow(L"2");
    HWND third = MakeWindow(L"3");
    MakeWindow(L"child", second);

    Enumeration all;
    EXPECT_TRUE(EnumWindows(&Collect, reinterpret_cast<LPARAM>(&all)));
    EXPECT_EQ((std::vector<HWND>{third, second, first}), all.seen);

    // The foreground window comes to the top.
    ASSERT_TRUE(SetForegroundWindow(first));
    EXPECT_EQ(first, GetForegroundWindow());
    Enumeration after;
    EnumWindows(&Collect, reinterpret_cast<LPARAM>(&after));
    EXPECT_EQ((std::vector<HWND>{first, third, second}), after.seen);

    // The callback stops the walk.
    Enumeration stopped{.stop_after = 2};
    EXPECT_FALSE(EnumWindows(&Collect, reinterpret_cast<LPARAM>(&stopped)));
    EXPECT_EQ(2u, stopped.seen.size());
    EXPECT_FALSE(EnumWindows(nullptr, 0));
}

BOOL CALLBACK DestroysTheNext(HWND hwnd, LPARAM param) {
    auto* seen = reinterpret_cast<std::vector<HWND>*>(param);
    if (seen->empty()) {
        DestroyWindow(GetWindow(hwnd, GW_HWNDNEXT));
    }
    seen->push_back(hwnd);
    return TRUE;
}

TEST_F(EnumTest, WindowsDestroyedDuringTheWalkAreLeftOut) {
    HWND last = MakeWindow(L"1");
    MakeWindow(L"2");
    HWND top = MakeWindow(L"3");
    std::vector<HWND> seen;
    EXPECT_TRUE(EnumWindows(&DestroysTheNext, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ((std::vector<HWND>{top, last}), seen);
}

using TextTest = WindowTest;

TEST_F(TextTest, TextIsCutToTheBuffer) {
    HWND window = MakeWindow(L"Автоответчик");
    wchar_t small[5];
    EXPECT_EQ(4, GetWindowTextW(window, small, 5));
    EXPECT_STREQ(L"Авто", small);
    EXPECT_EQ(12, GetWindowTextLengthW(window));
    EXPECT_EQ(0, GetWindowTextW(window, small, 0));
    // A window of this thread answers through its procedure.
    const tovarin::testing::ExpectedMessage asked[] = {{WM_GETTEXTLENGTH, 0, 0, 0, window}};
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_GETTEXTLENGTH}), asked);
}

DWORD WINAPI MakesWindowThenBlocks(LPVOID param) {
    auto* window = static_cast<HWND*>(param);
    *window =
        CreateWindowExW(0, L"Dialog", L"занят", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, INFINITE);  // never pumps messages
    return 0;
}

TEST_F(TextTest, TextOfABusyThreadsWindowIsAnsweredWithoutIt) {
    HWND window = nullptr;
    HANDLE thread = CreateThread(nullptr, 0, &MakesWindowThenBlocks, &window, 0, nullptr);
    kernel::WaitForDeviceIdle();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(SetWindowTextW(window, L"Разговор"));
    wchar_t title[32];
    EXPECT_EQ(8, GetWindowTextW(window, title, 32));
    EXPECT_STREQ(L"Разговор", title);
    EXPECT_EQ(8, GetWindowTextLengthW(window));
    CloseHandle(thread);
}

using LongTest = WindowTest;

TEST_F(LongTest, SettersReturnThePreviousValue) {
    HWND parent = MakeWindow(L"parent");
    HWND child = MakeWindow(L"child", parent);
    EXPECT_EQ(0, SetWindowLongW(child, GWL_USERDATA, 77));
    EXPECT_EQ(77, SetWindowLongW(child, GWL_USERDATA, -5));
    EXPECT_EQ(-5, GetWindowLongW(child, GWL_USERDATA));
    EXPECT_EQ(0, SetWindowLongW(child, GWL_ID, 1001));
    EXPECT_EQ(1001, GetWindowLongW(child, GWL_ID));
    // The recorder class has 8 extra bytes: offsets 0 and 4.
    EXPECT_EQ(0, SetWindowLongW(child, 4, 9));
    EXPECT_EQ(9, GetWindowLongW(child, 4));
    SetLastError(0);
    EXPECT_EQ(0, GetWindowLongW(child, 8));
    EXPECT_EQ(ERROR_INVALID_INDEX, GetLastError());
    SetLastError(0);
    EXPECT_EQ(0, GetWindowLongW(child, 2));
    EXPECT_EQ(ERROR_INVALID_INDEX, GetLastError());
}

TEST_F(LongTest, VisibilityIsTheVisibleStyleOfTheWindowAndItsParents) {
    HWND parent = MakeWindow(L"parent");
    HWND child = MakeWindow(L"child", parent, WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));  // its parent is hidden
    EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_NE(0, GetWindowLongW(parent, GWL_STYLE) & WS_VISIBLE);
    EXPECT_TRUE(ShowWindow(parent, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(parent));
    SetWindowLongW(parent, GWL_STYLE, WS_VISIBLE);
    EXPECT_TRUE(IsWindowVisible(child));
}

using HostViewTest = WindowTest;

TEST_F(HostViewTest, TheEmulatorSeesClassTitleVisibilityAndOwnerThread) {
    HWND dialog = nullptr;
    HWND label = nullptr;
    PumpingThread phone([&] {
        dialog = CreateWindowExW(0, L"Dialog", L"Входящий", WS_VISIBLE, 0, 0, 1, 1, nullptr,
                                 nullptr, nullptr, nullptr);
        label = MakeWindow(L"Ответить", dialog, WS_VISIBLE);
    });
    HWND hidden = MakeWindow(L"hidden");

    std::vector<WindowInfo> top = TopLevelWindows();
    ASSERT_EQ(2u, top.size());
    EXPECT_EQ(hidden, top[0].hwnd);
    EXPECT_FALSE(top[0].visible);
    EXPECT_EQ(GetCurrentThreadId(), top[0].thread_id);
    EXPECT_EQ(dialog, top[1].hwnd);
    EXPECT_EQ(L"Dialog", top[1].window_class);
    EXPECT_EQ(L"Входящий", top[1].title);
    EXPECT_TRUE(top[1].visible);
    EXPECT_EQ(phone.id(), top[1].thread_id);

    std::vector<WindowInfo> children = ChildWindows(dialog);
    ASSERT_EQ(1u, children.size());
    EXPECT_EQ(label, children[0].hwnd);
    EXPECT_EQ(kRecorderClass, children[0].window_class);
    EXPECT_TRUE(ChildWindows(hidden).empty());
}

using SubclassTest = WindowTest;

WNDPROC g_previous_proc = nullptr;

LRESULT CALLBACK AnswersEchoItself(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == kEchoPlusOne) {
        return static_cast<LRESULT>(wparam * 10);
    }
    return CallWindowProcW(g_previous_proc, hwnd, message, wparam, lparam);
}

LONG AsLong(WNDPROC proc) {
    // What 32-bit code writes as (LONG)proc.
    return static_cast<LONG>(reinterpret_cast<intptr_t>(proc));
}

WNDPROC AsProc(LONG value) {
    return reinterpret_cast<WNDPROC>(static_cast<intptr_t>(value));
}

TEST_F(SubclassTest, TheNewProcedureSeesMessagesFirstAndPassesTheRestOn) {
    HWND window = MakeWindow(L"subclassed");
    EXPECT_EQ(8, SendMessageW(window, kEchoPlusOne, 7, 0));

    LONG previous = SetWindowLongW(window, GWL_WNDPROC, AsLong(&AnswersEchoItself));
    ASSERT_NE(0, previous);
    g_previous_proc = AsProc(previous);
    EXPECT_EQ(70, SendMessageW(window, kEchoPlusOne, 7, 0));
    // Everything else reaches the class procedure through CallWindowProcW.
    EXPECT_EQ(static_cast<LRESULT>(GetCurrentThreadId()), SendMessageW(window, kWhoRuns, 0, 0));
    // The class procedure saw the echo only before the subclass took it.
    const tovarin::testing::ExpectedMessage passed_on[] = {
        {kEchoPlusOne, tovarin::testing::kCheckWparam, 7, 0, window},
        {kWhoRuns, 0, 0, 0, window, GetCurrentThreadId()},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({kEchoPlusOne, kWhoRuns}), passed_on);
    EXPECT_EQ(10, GetWindowTextLengthW(window));

    // The value read back names the new procedure; putting the old one back restores the class's.
    LONG current = GetWindowLongW(window, GWL_WNDPROC);
    EXPECT_EQ(current, SetWindowLongW(window, GWL_WNDPROC, previous));
    EXPECT_EQ(previous, GetWindowLongW(window, GWL_WNDPROC));
    EXPECT_EQ(8, SendMessageW(window, kEchoPlusOne, 7, 0));
}

TEST_F(SubclassTest, AWindowOfAnotherThreadCanBeSubclassed) {
    HWND window = nullptr;
    PumpingThread owner([&] { window = MakeWindow(L"чужое"); });
    LONG previous = SetWindowLongW(window, GWL_WNDPROC, AsLong(&AnswersEchoItself));
    g_previous_proc = AsProc(previous);
    EXPECT_EQ(30, SendMessageW(window, kEchoPlusOne, 3, 0));
    EXPECT_EQ(static_cast<LRESULT>(owner.id()), SendMessageW(window, kWhoRuns, 0, 0));
}

TEST_F(SubclassTest, AValueThatNamesNoCodeIsRefused) {
    HWND window = MakeWindow(L"kept");
    LONG before = GetWindowLongW(window, GWL_WNDPROC);
    SetLastError(0);
    EXPECT_EQ(0, SetWindowLongW(window, GWL_WNDPROC, 0x1234));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ(before, GetWindowLongW(window, GWL_WNDPROC));
    EXPECT_EQ(8, SendMessageW(window, kEchoPlusOne, 7, 0));
}

}  // namespace
}  // namespace tovarin::gwes::testing
