// The dialog manager, focus, activation and enabling, geometry, scrolling, relayout, the stylus
// and the screen's turns. Message sequences are compared as tables, one per scenario.
#include <vector>

#include <aygshell.h>

#include "host/screen.h"
#include "host/stylus.h"
#include "gwes/tests/dialog_fixture.h"
#include "gwes/tests/dialogs/dialog_test_ids.h"

namespace tovarin::gwes::testing {
namespace {

using tovarin::testing::ExpectedMessage;
using tovarin::testing::kCheckLparam;
using tovarin::testing::kCheckWparam;
using tovarin::testing::kNoMessages;

struct Expected {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

// The recorded messages of these kinds, in order, against the table: each row names the window,
// the message and both parameters.
void ExpectSequence(const std::vector<Expected>& expected, std::initializer_list<UINT> kinds) {
    using namespace tovarin::testing;
    std::vector<ExpectedMessage> table;
    for (const Expected& row : expected) {
        table.push_back(
            {row.message, kCheckWparam | kCheckLparam, row.wparam, row.lparam, row.hwnd});
    }
    EXPECT_SEQUENCE(Recorder::Instance().Sequence(kinds), table);
}

LPARAM L(HWND hwnd) {
    return reinterpret_cast<LPARAM>(hwnd);
}
WPARAM W(HWND hwnd) {
    return reinterpret_cast<WPARAM>(hwnd);
}

TEST_F(DialogTest, InitDialogGetsTheParameterAndItsTrueFocusesTheFirstTabStop) {
    SetDialogHandler(
        [](HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; });
    HWND dialog = Make(IDD_PLAIN, nullptr, 1234);
    ASSERT_NE(nullptr, dialog);
    HWND first = Item(dialog, IDC_FIRST);
    const ExpectedMessage init[] = {{WM_INITDIALOG, kCheckWparam | kCheckLparam, W(first), 1234}};
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(dialog, {WM_INITDIALOG}), init);
    EXPECT_EQ(first, GetFocus());
    EXPECT_EQ(IDC_FIRST, GetDlgCtrlID(first));
    EXPECT_EQ(nullptr, GetDlgItem(dialog, 4242));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND), GetLastError());

    // FALSE leaves the focus alone.
    SetFocus(nullptr);
    SetDialogHandler(nullptr);
    HWND other = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(nullptr, GetFocus());
}

TEST_F(DialogTest, ItemCallsGoThroughTheControlsMessages) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    HWND second = Item(dialog, IDC_SECOND);
    EXPECT_TRUE(SetDlgItemInt(dialog, IDC_SECOND, static_cast<UINT>(-12), TRUE));
    BOOL translated = FALSE;
    EXPECT_EQ(static_cast<UINT>(-12), GetDlgItemInt(dialog, IDC_SECOND, &translated, TRUE));
    EXPECT_TRUE(translated);
    GetDlgItemInt(dialog, IDC_SECOND, &translated, FALSE);
    EXPECT_FALSE(translated);  // a sign where none is allowed
    SetDlgItemTextW(dialog, IDC_SECOND, L"  42 ");
    EXPECT_EQ(42u, GetDlgItemInt(dialog, IDC_SECOND, &translated, FALSE));
    EXPECT_TRUE(translated);
    SetDlgItemTextW(dialog, IDC_SECOND, L"42a");
    GetDlgItemInt(dialog, IDC_SECOND, &translated, FALSE);
    EXPECT_FALSE(translated);
    wchar_t text[4];
    EXPECT_EQ(3u, GetDlgItemTextW(dialog, IDC_SECOND, text, 4));

    Recorder::Instance().Clear();
    EXPECT_TRUE(CheckDlgButton(dialog, IDC_SECOND, BST_CHECKED));
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, IDC_SECOND));
    ExpectSequence({{second, BM_SETCHECK, BST_CHECKED, 0}, {second, BM_GETCHECK, 0, 0}},
                   {BM_SETCHECK, BM_GETCHECK});
    EXPECT_FALSE(CheckDlgButton(dialog, 4242, BST_CHECKED));
}

TEST_F(DialogTest, TheProcedureResultComesFromDwlMsgResult) {
    SetDialogHandler([](HWND hwnd, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_USER + 7) {
            SetWindowLongW(hwnd, DWL_MSGRESULT, 99);
            return TRUE;
        }
        if (message == WM_CTLCOLORSTATIC) {
            return 0x55;  // returned as it is
        }
        return FALSE;
    });
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(99, SendMessageW(dialog, WM_USER + 7, 0, 0));
    EXPECT_EQ(0x55, SendMessageW(dialog, WM_CTLCOLORSTATIC, 0, 0));
    EXPECT_EQ(MAKELONG(IDOK, DC_HASDEFID), SendMessageW(dialog, DM_GETDEFID, 0, 0));
    EXPECT_NE(0, GetWindowLongW(dialog, DWL_DLGPROC));
}

TEST_F(DialogTest, AControlOfAnUnknownClassFailsTheDialog) {
    SetLastError(0);
    EXPECT_EQ(nullptr, Make(IDD_NO_SUCH_CLASS));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST), GetLastError());
    // A failed dialog gets none.
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_INITDIALOG}), kNoMessages);
}

TEST_F(DialogTest, AChildDialogLiesInItsParentsClientArea) {
    HWND parent = CreateWindowExW(0, kRecorderClass, L"host", WS_POPUP | WS_VISIBLE, 0, 52, 480,
                                  536, nullptr, nullptr, nullptr, nullptr);
    HWND child = Make(IDD_CHILD, parent);
    ASSERT_NE(nullptr, child);
    EXPECT_EQ(parent, GetParent(child));
    RECT rect{};
    GetWindowRect(child, &rect);
    EXPECT_EQ(52 + 31, rect.top);  // 10 dialog units down: 31.25 rounds to 31
    EXPECT_TRUE(IsWindowVisible(child));
}

// Three dialogs, each opened modally from the one before; the innermost ends first.
TEST_F(DialogTest, ModalLoopsNestThreeDeep) {
    constexpr UINT kOpenNext = WM_USER + 20;
    std::vector<int> depth_of_end;
    int depth = 0;
    HWND owner = CreateWindowExW(0, kRecorderClass, L"owner", WS_POPUP | WS_VISIBLE, 0, 52, 480,
                                 536, nullptr, nullptr, nullptr, nullptr);
    std::vector<bool> owner_enabled_inside;
    HMODULE module = module_;
    SetDialogHandler([&](HWND hwnd, UINT message, WPARAM, LPARAM lparam) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(hwnd, kOpenNext, 0, lparam);
            return TRUE;
        }
        if (message == kOpenNext) {
            const int level = static_cast<int>(lparam);
            owner_enabled_inside.push_back(IsWindowEnabled(GetWindow(hwnd, GW_OWNER)) != FALSE);
            if (level < 3) {
                ++depth;
                INT_PTR inner = DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_PLAIN), hwnd,
                                                &RecordingDialogProc, level + 1);
                --depth;
                EndDialog(hwnd, inner * 10 + level);
            } else {
                EndDialog(hwnd, 3);
            }
            depth_of_end.push_back(level);
            return TRUE;
        }
        return FALSE;
    });
    INT_PTR result =
        DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_PLAIN), owner, &RecordingDialogProc, 1);
    EXPECT_EQ(321, result);
    EXPECT_EQ((std::vector<int>{3, 2, 1}), depth_of_end);
    EXPECT_EQ((std::vector<bool>{false, false, false}), owner_enabled_inside);
    EXPECT_TRUE(IsWindowEnabled(owner));  // enabled again after the loop
    // Disabled while the first dialog ran, then enabled.
    const ExpectedMessage enables[] = {
        {WM_ENABLE, kCheckWparam, FALSE},
        {WM_ENABLE, kCheckWparam, TRUE},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(owner, {WM_ENABLE}), enables);
    EXPECT_EQ(owner, GetActiveWindow());
    EXPECT_EQ(0, depth);
}

TEST_F(DialogTest, AModalLoopHandsOnAQuitRequest) {
    SetDialogHandler([](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostQuitMessage(5);
        }
        return FALSE;
    });
    EXPECT_EQ(
        0, DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_PLAIN), nullptr, &RecordingDialogProc, 0));
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
    EXPECT_EQ(5u, message.wParam);
}

TEST_F(DialogTest, FocusActivationAndEnablingSendTheirMessagesInOrder) {
    HWND a = CreateWindowExW(0, kRecorderClass, L"A", WS_POPUP, 0, 52, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    HWND b = CreateWindowExW(0, kRecorderClass, L"B", WS_POPUP, 0, 52, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    HWND b_child = CreateWindowExW(0, kRecorderClass, L"b1", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, b,
                                   nullptr, nullptr, nullptr);
    std::initializer_list<UINT> kinds = {WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_ENABLE};

    Recorder::Instance().Clear();
    EXPECT_EQ(nullptr, SetActiveWindow(a));
    ExpectSequence({{a, WM_ACTIVATE, WA_ACTIVE, 0}, {a, WM_SETFOCUS, 0, 0}}, kinds);

    Recorder::Instance().Clear();
    EXPECT_EQ(a, SetFocus(b_child));  // focusing a window of B activates B first
    ExpectSequence({{a, WM_ACTIVATE, WA_INACTIVE, L(b)},
                    {b, WM_ACTIVATE, WA_ACTIVE, L(a)},
                    {a, WM_KILLFOCUS, W(b), 0},
                    {b, WM_SETFOCUS, W(a), 0},
                    {b, WM_KILLFOCUS, W(b_child), 0},
                    {b_child, WM_SETFOCUS, W(b), 0}},
                   kinds);
    EXPECT_EQ(b, GetActiveWindow());

    Recorder::Instance().Clear();
    EXPECT_FALSE(EnableWindow(b_child, FALSE));  // it was enabled
    EXPECT_TRUE(EnableWindow(b_child, FALSE));   // and now it is not: no second message
    EXPECT_TRUE(EnableWindow(b_child, TRUE));
    ExpectSequence({{b_child, WM_KILLFOCUS, 0, 0},
                    {b_child, WM_ENABLE, FALSE, 0},
                    {b_child, WM_ENABLE, TRUE, 0}},
                   kinds);
    EXPECT_EQ(nullptr, GetFocus());  // a disabled window loses the keyboard
    EXPECT_TRUE(GetWindowLongW(b_child, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(DialogTest, ADialogRestoresItsFocusWhenActivatedAgain) {
    SetDialogHandler(
        [](HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG ? TRUE : FALSE; });
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    SetActiveWindow(dialog);
    HWND second = Item(dialog, IDC_SECOND);
    SetFocus(second);
    HWND other = CreateWindowExW(0, kRecorderClass, L"other", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    SetActiveWindow(other);
    EXPECT_EQ(other, GetFocus());
    SetActiveWindow(dialog);
    EXPECT_EQ(second, GetFocus());
}

TEST_F(DialogTest, TabAndEnterAreDialogNavigation) {
    constexpr UINT kNone = 0;
    std::vector<WPARAM> commands;
    SetDialogHandler([&](HWND, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND) {
            commands.push_back(wparam);
            return TRUE;
        }
        return message == WM_INITDIALOG ? TRUE : kNone;
    });
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    MSG tab{Item(dialog, IDC_FIRST), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &tab));
    EXPECT_EQ(Item(dialog, IDC_SECOND), GetFocus());
    tab.hwnd = GetFocus();
    EXPECT_TRUE(IsDialogMessageW(dialog, &tab));  // the disabled third is passed over
    EXPECT_EQ(Item(dialog, IDC_FIRST), GetFocus());
    MSG escape{GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &escape));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &enter));  // the focused push button is clicked
    EXPECT_EQ(
        (std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED), MAKEWPARAM(IDC_FIRST, BN_CLICKED)}),
        commands);
    MSG elsewhere{CreateWindowExW(0, kRecorderClass, L"x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr),
                  WM_KEYDOWN,
                  VK_TAB,
                  0,
                  0,
                  {}};
    EXPECT_FALSE(IsDialogMessageW(dialog, &elsewhere));
}

TEST_F(DialogTest, TabWalksIntoAChildDialog) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    HWND page = Make(IDD_CHILD, dialog);
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    HWND inner = Item(page, IDC_FIRST);
    EXPECT_EQ(inner, GetNextDlgTabItem(dialog, Item(dialog, IDC_SECOND), FALSE));
    EXPECT_EQ(Item(dialog, IDC_FIRST), GetNextDlgTabItem(dialog, inner, FALSE));  // wraps
    EXPECT_EQ(inner, GetNextDlgTabItem(dialog, Item(dialog, IDC_FIRST), TRUE));
}

TEST_F(DialogTest, WmCloseClicksCancel) {
    std::vector<WPARAM> commands;
    SetDialogHandler([&](HWND hwnd, UINT message, WPARAM wparam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND) {
            commands.push_back(wparam);
            EndDialog(hwnd, LOWORD(wparam));
            return TRUE;
        }
        if (message == WM_INITDIALOG) {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
        }
        return FALSE;
    });
    EXPECT_EQ(IDCANCEL, DialogBoxParamW(module_, MAKEINTRESOURCEW(IDD_PLAIN), nullptr,
                                        &RecordingDialogProc, 0));
    EXPECT_EQ((std::vector<WPARAM>{MAKEWPARAM(IDCANCEL, BN_CLICKED)}), commands);
}

TEST_F(DialogTest, ScrollWindowExMovesTheChildren) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    HWND first = Item(dialog, IDC_FIRST);
    RECT before{};
    GetWindowRect(first, &before);
    Recorder::Instance().Clear();
    RECT uncovered{};
    EXPECT_EQ(2, ScrollWindowEx(dialog, 0, -30, nullptr, nullptr, nullptr, &uncovered,
                                SW_SCROLLCHILDREN));
    RECT after{};
    GetWindowRect(first, &after);
    EXPECT_EQ(before.top - 30, after.top);
    EXPECT_EQ(before.left, after.left);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.bottom - 30, uncovered.top);
    EXPECT_EQ(client.bottom, uncovered.bottom);
    // Each control heard of its move, with its new place in the dialog's client area.
    const ExpectedMessage moved[] = {
        {WM_MOVE, kCheckLparam, 0, MAKELPARAM(12, static_cast<WORD>(25 - 30))},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(first, {WM_MOVE, WM_SIZE}), moved);
    // Without SW_SCROLLCHILDREN nothing moves.
    ScrollWindowEx(dialog, 0, 30, nullptr, nullptr, nullptr, nullptr, 0);
    GetWindowRect(first, &before);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(DialogTest, RelayoutMovesEveryControlToTheOtherTemplateAndKeepsState) {
    HWND dialog = Make(IDD_PORTRAIT);
    ASSERT_NE(nullptr, dialog);
    HWND second = Item(dialog, IDC_SECOND);
    CheckDlgButton(dialog, IDC_SECOND, BST_CHECKED);
    SetWindowTextW(Item(dialog, IDC_FIRST), L"изменено");
    std::vector<HWND> rows;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == IDC_ROW) {
            rows.push_back(child);
        }
    }
    ASSERT_EQ(2u, rows.size());
    ASSERT_TRUE(RelayoutDialog(module_, dialog, MAKEINTRESOURCEW(IDD_LANDSCAPE)));
    auto place = [&](HWND control) {
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        return std::vector<LONG>{rect.left, rect.top, rect.right - rect.left,
                                 rect.bottom - rect.top};
    };
    EXPECT_EQ((std::vector<LONG>{90 * 3, 4 * 25 / 8 + 1, 90 * 3, 12 * 25 / 8 + 1}), place(second));
    EXPECT_EQ((std::vector<LONG>{10 * 3, (30 * 25 + 4) / 8, 80 * 3, (10 * 25 + 4) / 8}),
              place(rows[0]));
    EXPECT_EQ(100 * 3, place(rows[1])[0]);  // the second row takes the second entry
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(dialog, IDC_SECOND));
    wchar_t text[32];
    GetDlgItemTextW(dialog, IDC_FIRST, text, 32);
    EXPECT_STREQ(L"Имя", text);  // the template's text is given again
    // The z-order (and so the tab order) has not changed.
    EXPECT_EQ(Item(dialog, IDC_FIRST), GetWindow(dialog, GW_CHILD));
    EXPECT_FALSE(RelayoutDialog(module_, dialog, MAKEINTRESOURCEW(999)));
}

TEST_F(DialogTest, ATapReachesTheControlUnderItInClientCoordinates) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    ShowWindow(dialog, SW_SHOW);
    HWND first = Item(dialog, IDC_FIRST);
    RECT rect{};
    GetWindowRect(first, &rect);
    Recorder::Instance().Clear();
    EXPECT_EQ(first, StylusTap(POINT{rect.left + 5, rect.top + 3}));
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    ExpectSequence({{first, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 3)},
                    {first, WM_LBUTTONUP, 0, MAKELPARAM(5, 3)}},
                   {WM_LBUTTONDOWN, WM_LBUTTONUP});

    // A disabled control gets nothing; the touch falls to the dialog.
    HWND third = Item(dialog, IDC_THIRD);
    GetWindowRect(third, &rect);
    EXPECT_EQ(dialog, StylusTap(POINT{rect.left + 1, rect.top + 1}));
    // Nothing reaches a disabled dialog at all.
    EnableWindow(dialog, FALSE);
    EXPECT_EQ(nullptr, StylusTap(POINT{rect.left + 1, rect.top + 1}));
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(third, {WM_LBUTTONDOWN}), kNoMessages);
}

TEST_F(DialogTest, TapsOnTheScrollBarSendVScroll) {
    HWND window = CreateWindowExW(0, kRecorderClass, L"list", WS_POPUP | WS_VISIBLE, 0, 52, 480,
                                  536, nullptr, nullptr, nullptr, nullptr);
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 999, 100, 0, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(480 - 26, client.right);
    std::optional<VerticalBarPoints> points = VerticalBarPointsOf(window);
    ASSERT_TRUE(points);
    Recorder::Instance().Clear();
    StylusTap(points->line_down);
    StylusTap(points->page_down);
    std::optional<POINT> thumb = VerticalThumbPoint(window, 0);
    std::optional<POINT> target = VerticalThumbPoint(window, 450);
    ASSERT_TRUE(thumb && target);
    StylusDown(*thumb);
    StylusMove(*target);
    StylusUp(*target);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    ExpectSequence({{window, WM_VSCROLL, SB_LINEDOWN, 0},
                    {window, WM_VSCROLL, SB_ENDSCROLL, 0},
                    {window, WM_VSCROLL, SB_PAGEDOWN, 0},
                    {window, WM_VSCROLL, SB_ENDSCROLL, 0},
                    {window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 450), 0},
                    {window, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 450), 0},
                    {window, WM_VSCROLL, SB_ENDSCROLL, 0}},
                   {WM_VSCROLL});
    // A range within the page needs no bar.
    info = SCROLLINFO{sizeof info, SIF_RANGE | SIF_PAGE, 0, 50, 100, 0, 0};
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(DialogTest, AFullScreenDialogFollowsTheScreenWhenItTurns) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    SHINITDLGINFO init{SHIDIM_FLAGS, dialog,
                       SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU};
    ASSERT_TRUE(SHInitDialog(&init));
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN);
    RECT rect{};
    GetWindowRect(dialog, &rect);
    EXPECT_EQ((std::vector<LONG>{0, 52, 480, 588}),
              (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
    HWND bar = FindWindowW(kMenuBarClassName, nullptr);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(dialog, GetWindow(bar, GW_OWNER));

    Recorder::Instance().Clear();
    TurnScreen(Orientation::Landscape);
    EXPECT_EQ(640, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(480, GetSystemMetrics(SM_CYSCREEN));
    GetWindowRect(dialog, &rect);
    EXPECT_EQ((std::vector<LONG>{0, 52, 640, 428}),
              (std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}));
    ExpectSequence({{dialog, WM_SIZE, SIZE_RESTORED, MAKELPARAM(640, 376)}}, {WM_SIZE});
    GetWindowRect(bar, &rect);
    EXPECT_EQ(428, rect.top);
    TurnScreen(Orientation::Square);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ((std::vector<LONG>{0, 52, 480, 428}),
              (std::vector<LONG>{work.left, work.top, work.right, work.bottom}));
    TurnScreen(Orientation::Portrait);
    EXPECT_TRUE(DestroyWindow(bar));
    EXPECT_EQ(nullptr, FindWindowW(kMenuBarClassName, nullptr));
}

TEST_F(DialogTest, TheLowBitOfSetForegroundWindowBringsTheLastActivePopup) {
    HWND main = CreateWindowExW(0, kRecorderClass, L"main", WS_POPUP | WS_VISIBLE, 0, 52, 480, 536,
                                nullptr, nullptr, nullptr, nullptr);
    HWND popup = CreateWindowExW(0, kRecorderClass, L"popup", WS_POPUP | WS_VISIBLE, 0, 52, 100,
                                 100, main, nullptr, nullptr, nullptr);
    SetActiveWindow(popup);
    HWND stranger = CreateWindowExW(0, kRecorderClass, L"other", WS_POPUP | WS_VISIBLE, 0, 52, 10,
                                    10, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(stranger);
    EXPECT_EQ(stranger, GetForegroundWindow());
    ASSERT_TRUE(SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(main) | 1)));
    EXPECT_EQ(popup, GetForegroundWindow());
    EXPECT_EQ(popup, GetActiveWindow());
    ASSERT_TRUE(SetForegroundWindow(main));
    EXPECT_EQ(main, GetForegroundWindow());
}

TEST_F(DialogTest, AnotherThreadsWindowIsActivatedOnItsOwnThread) {
    HWND window = nullptr;
    PumpingThread owner([&] {
        window = CreateWindowExW(0, kRecorderClass, L"theirs", WS_POPUP | WS_VISIBLE, 0, 52, 10, 10,
                                 nullptr, nullptr, nullptr, nullptr);
    });
    ASSERT_NE(nullptr, window);
    Recorder::Instance().Clear();
    ASSERT_TRUE(SetForegroundWindow(window));
    EXPECT_EQ(window, GetForegroundWindow());  // at once
    kernel::WaitForDeviceIdle();
    // Delivered on the window's own thread.
    const ExpectedMessage activated[] = {
        {WM_ACTIVATE, kCheckWparam, WA_ACTIVE, 0, window, owner.id()},
    };
    EXPECT_SEQUENCE(Recorder::Instance().Sequence({WM_ACTIVATE}), activated);
    EXPECT_EQ(nullptr, GetActiveWindow());  // the caller's own activation is unchanged
}

TEST_F(DialogTest, DeferredPositionsApplyTogether) {
    HWND dialog = Make(IDD_PLAIN);
    ASSERT_NE(nullptr, dialog);
    HDWP batch = BeginDeferWindowPos(2);
    batch = DeferWindowPos(batch, Item(dialog, IDC_FIRST), nullptr, 1, 2, 30, 40, SWP_NOZORDER);
    batch = DeferWindowPos(batch, Item(dialog, IDC_SECOND), nullptr, 5, 6, 0, 0,
                           SWP_NOZORDER | SWP_NOSIZE);
    ASSERT_NE(nullptr, batch);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    RECT rect{};
    GetWindowRect(Item(dialog, IDC_FIRST), &rect);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(
        (std::vector<LONG>{origin.x + 1, origin.y + 2, 30, 40}),
        (std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}));
    EXPECT_EQ(nullptr, DeferWindowPos(BeginDeferWindowPos(1), nullptr, nullptr, 0, 0, 0, 0, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
}

}  // namespace
}  // namespace tovarin::gwes::testing
