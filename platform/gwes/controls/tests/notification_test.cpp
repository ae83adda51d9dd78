// What each control's parent hears when the user taps, drags or types, against what it hears when
// a program sends the control the documented messages: one table per scenario.
#include "gwes/controls/standard_controls.h"
#include "gwes/controls/tests/controls_fixture.h"

namespace tovarin::gwes::controls::testing {
namespace {

using NotificationTest = ControlsTest;

TEST_F(NotificationTest, CheckBoxesAndRadioButtons) {
    HWND check = Make(L"BUTTON", L"Запись\nвсех звонков", BS_AUTOCHECKBOX | BS_MULTILINE, 1070);
    HWND tri = Make(L"BUTTON", L"", BS_AUTO3STATE, 1071);
    HWND radio1 = Make(L"BUTTON", L"", BS_AUTORADIOBUTTON | WS_GROUP, 1080);
    HWND radio2 = Make(L"BUTTON", L"", BS_AUTORADIOBUTTON, 1081);
    HWND radio3 = Make(L"BUTTON", L"", BS_AUTORADIOBUTTON, 1082);
    HWND other_group = Make(L"BUTTON", L"", BS_AUTORADIOBUTTON | WS_GROUP, 1090);
    SendMessageW(radio1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(other_group, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(check, BM_SETCHECK, BST_INDETERMINATE, 0);  // a two-state box stays checked
    EXPECT_SEQUENCE(TakeHeard(), Table{}) << "a program's BM_SETCHECK notifies nobody";
    EXPECT_EQ(BST_CHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));

    Tap(check);
    Tap(tri);
    Tap(tri);
    Tap(radio2);
    SendMessageW(tri, BM_CLICK, 0, 0);
    EXPECT_SEQUENCE(TakeHeard(), (Table{Command(1070, BN_CLICKED), Command(1071, BN_CLICKED),
                                        Command(1071, BN_CLICKED), Command(1081, BN_CLICKED),
                                        Command(1071, BN_CLICKED)}));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(check, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(tri, BM_GETCHECK, 0, 0));  // checked, grey, clear
    EXPECT_EQ((std::vector<LRESULT>{BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED}),
              (std::vector<LRESULT>{SendMessageW(radio1, BM_GETCHECK, 0, 0),
                                    SendMessageW(radio2, BM_GETCHECK, 0, 0),
                                    SendMessageW(radio3, BM_GETCHECK, 0, 0),
                                    SendMessageW(other_group, BM_GETCHECK, 0, 0)}));

    // A tap that slides off before lifting, and a tap on a disabled box, click nothing.
    SendMessageW(check, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(BST_PUSHED, SendMessageW(check, BM_GETSTATE, 0, 0) & BST_PUSHED);
    SendMessageW(check, WM_LBUTTONUP, 0, MAKELPARAM(400, 5));
    SetWindowLongW(check, GWL_STYLE, GetWindowLongW(check, GWL_STYLE) | WS_DISABLED);
    Tap(check);
    EXPECT_SEQUENCE(TakeHeard(), Table{});
    // The first tap gave the box the focus; a disabled box keeps what it had.
    EXPECT_EQ(BST_UNCHECKED | BST_FOCUS, SendMessageW(check, BM_GETSTATE, 0, 0));
}

TEST_F(NotificationTest, OwnerDrawnButtonAsksToBeDrawnAsItChanges) {
    HWND button = Make(L"Button", L"", BS_OWNERDRAW, 1050);
    Tap(button);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    SendMessageW(button, WM_SETFOCUS, 0, 0);
    SendMessageW(button, WM_PAINT, 0, 0);
    // The tap takes the focus first, then pushes and releases the button.
    EXPECT_SEQUENCE(TakeHeard(),
                    (Table{DrawItem(1050, ODA_FOCUS, ODS_FOCUS),
                           DrawItem(1050, ODA_SELECT, ODS_SELECTED | ODS_FOCUS),
                           DrawItem(1050, ODA_SELECT, ODS_FOCUS), Command(1050, BN_CLICKED),
                           DrawItem(1050, ODA_SELECT, ODS_SELECTED | ODS_FOCUS),
                           DrawItem(1050, ODA_FOCUS, ODS_SELECTED | ODS_FOCUS),
                           DrawItem(1050, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS)}));
    SetWindowLongW(button, GWL_STYLE, GetWindowLongW(button, GWL_STYLE) | WS_DISABLED);
    SendMessageW(button, WM_ENABLE, FALSE, 0);
    EXPECT_SEQUENCE(TakeHeard(), (Table{DrawItem(1050, ODA_DRAWENTIRE, ODS_FOCUS | ODS_DISABLED)}));
}

TEST_F(NotificationTest, StaticNotifiesOnlyWithSsNotify) {
    HWND plain = Make(L"STATIC", L"Текст", SS_CENTER, 1001);
    HWND notify = Make(L"STATIC", L"Ссылка", SS_NOTIFY, 1002);
    Tap(plain);
    Tap(notify);
    EXPECT_SEQUENCE(TakeHeard(), (Table{Command(1002, STN_CLICKED)}));
}

TEST_F(NotificationTest, EditTypingLimitReadOnlyAndProgramText) {
    HWND edit = Make(L"EDIT", L"", ES_AUTOHSCROLL, 1020);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    for (wchar_t c : std::wstring(L"ab\x1b"
                                  L"cd\bд")) {
        SendMessageW(edit, WM_CHAR, c, 1);
    }
    WCHAR text[16]{};
    GetWindowTextW(edit, text, 16);
    EXPECT_STREQ(L"abд", text);
    const Table change{Command(1020, EN_UPDATE), Command(1020, EN_CHANGE)};
    Table typed;
    for (int change_count : {1, 1, 0, 1, -1, 1, 1}) {  // a, b, escape, c, d (full), back, д
        if (change_count == 1) {
            typed.insert(typed.end(), change.begin(), change.end());
        } else if (change_count == -1) {
            typed.push_back(Command(1020, EN_MAXTEXT));
        }
    }
    EXPECT_SEQUENCE(TakeHeard(), typed);

    // Typing replaces the selection; a program's text ignores the limit and notifies too.
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, L'x', 1);
    SetWindowTextW(edit, L"длинный текст");
    EXPECT_SEQUENCE(TakeHeard(), (Table{change[0], change[1], change[0], change[1]}));
    EXPECT_EQ(13, GetWindowTextLengthW(edit));

    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SendMessageW(edit, WM_CHAR, L'z', 1);
    EXPECT_SEQUENCE(TakeHeard(), Table{});

    HWND password = Make(L"EDIT", L"", ES_PASSWORD, 1021);
    EXPECT_EQ(L'*', SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0));
    SendMessageW(password, WM_CHAR, L'1', 1);
    GetWindowTextW(password, text, 16);
    EXPECT_STREQ(L"1", text);  // the program reads what was typed; the screen shows '*'
}

TEST_F(NotificationTest, DropDownListOpensOverOtherWindowsAndNotifiesOnlyAUsersChoice) {
    HWND combo = Make(L"COMBOBOX", L"", CBS_DROPDOWNLIST, 1040, {10, 100, 310, 300});
    HWND other = CreateWindowExW(0, L"ControlsParent", L"Over", WS_VISIBLE, 0, 0, 480, 640, nullptr,
                                 nullptr, nullptr, nullptr);
    for (LPCWSTR item : {L"Нет", L"Эхо", L"Зал"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    EXPECT_SEQUENCE(TakeHeard(), Table{}) << "CB_SETCURSEL notifies nobody";

    HWND list = ComboListOf(combo);
    Tap(combo);
    EXPECT_SEQUENCE(TakeHeard(), (Table{Command(1040, CBN_DROPDOWN)}));
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(list, GetWindow(other, GW_HWNDFIRST)) << "the list lies over the other window";
    // The combo box kept its field's height; the list lies right below it, as wide.
    RECT dropped{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ((std::vector<LONG>{10, 152, 310, 352}),
              (std::vector<LONG>{dropped.left, dropped.top, dropped.right, dropped.bottom}));

    Tap(list, {5, 2 * kListItemHeight + 5});  // "Зал"
    EXPECT_SEQUENCE(TakeHeard(), (Table{Command(1040, CBN_SELCHANGE), Command(1040, CBN_SELENDOK),
                                        Command(1040, CBN_CLOSEUP)}));
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(2, SendMessageW(combo, CB_GETCURSEL, 0, 0));
    WCHAR shown[16]{};
    GetWindowTextW(combo, shown, 16);
    EXPECT_STREQ(L"Зал", shown);

    // Choosing the item already chosen, and closing without a choice, change nothing.
    Tap(combo);
    Tap(list, {5, 2 * kListItemHeight + 5});
    Tap(combo);
    Tap(combo);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    const Table closed_without_choice{Command(1040, CBN_SELENDCANCEL), Command(1040, CBN_CLOSEUP)};
    EXPECT_SEQUENCE(
        TakeHeard(),
        (Table{Command(1040, CBN_DROPDOWN), Command(1040, CBN_SELENDOK), Command(1040, CBN_CLOSEUP),
               Command(1040, CBN_DROPDOWN), closed_without_choice[0], closed_without_choice[1],
               Command(1040, CBN_DROPDOWN), closed_without_choice[0], closed_without_choice[1]}));

    // The up key chooses the item above, as the user's choice; at the top it changes nothing.
    SendMessageW(combo, WM_KEYDOWN, VK_UP, 0);
    SendMessageW(combo, WM_KEYDOWN, VK_UP, 0);
    SendMessageW(combo, WM_KEYDOWN, VK_UP, 0);
    EXPECT_SEQUENCE(TakeHeard(),
                    (Table{Command(1040, CBN_SELCHANGE), Command(1040, CBN_SELCHANGE)}));
    EXPECT_EQ(0, SendMessageW(combo, CB_GETCURSEL, 0, 0));

    // A disabled combo box does not open.
    SetWindowLongW(combo, GWL_STYLE, GetWindowLongW(combo, GWL_STYLE) | WS_DISABLED);
    Tap(combo);
    EXPECT_SEQUENCE(TakeHeard(), Table{});
    DestroyWindow(other);
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(list)) << "the list goes with its combo box";
}

TEST_F(NotificationTest, DropDownEditTextIsTheComboText) {
    HWND combo = Make(L"COMBOBOX", L"", CBS_DROPDOWN, 1041, {10, 100, 310, 300});
    HWND edit = GetWindow(combo, GW_CHILD);
    ASSERT_NE(nullptr, edit);
    EXPECT_EQ(1001, GetWindowLongW(edit, GWL_ID));
    SendMessageW(edit, WM_CHAR, L'8', 1);
    EXPECT_SEQUENCE(TakeHeard(),
                    (Table{Command(1041, CBN_EDITUPDATE), Command(1041, CBN_EDITCHANGE)}));
    WCHAR text[8]{};
    GetWindowTextW(combo, text, 8);
    EXPECT_STREQ(L"8", text);
}

TEST_F(NotificationTest, ListBoxListViewAndTrackbar) {
    HWND list = Make(L"LISTBOX", L"", LBS_NOTIFY, 1060, {0, 0, 200, 200});
    HWND quiet = Make(L"LISTBOX", L"", 0, 1061, {0, 0, 200, 200});
    for (HWND box : {list, quiet}) {
        for (LPCWSTR item : {L"один", L"два"}) {
            SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    Tap(list, {5, kListItemHeight + 5});
    Tap(list, {5, kListItemHeight + 5});  // the same row again: no change
    Tap(quiet, {5, 5});
    Tap(list, {5, 3 * kListItemHeight});  // below the last row
    EXPECT_SEQUENCE(TakeHeard(), (Table{Command(1060, LBN_SELCHANGE)}));
    EXPECT_EQ(1, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, SendMessageW(quiet, LB_GETCURSEL, 0, 0));

    HWND view = Make(WC_LISTVIEW, L"", LVS_REPORT | LVS_SINGLESEL, 1010, {0, 0, 480, 300});
    LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH, 0, 200, const_cast<LPWSTR>(L"Имя"), 0, 0, 0, 0};
    EXPECT_EQ(0, SendMessageW(view, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column)));
    for (int i = 0; i < 2; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<LPWSTR>(i == 0 ? L"a" : L"b");
        EXPECT_EQ(i, SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    LVITEMW sub{};
    sub.iSubItem = 1;
    sub.pszText = const_cast<LPWSTR>(L"sub");
    EXPECT_TRUE(SendMessageW(view, LVM_SETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&sub)));
    WCHAR text[8]{};
    sub.pszText = text;
    sub.cchTextMax = 8;
    EXPECT_EQ(3, SendMessageW(view, LVM_GETITEMTEXTW, 1, reinterpret_cast<LPARAM>(&sub)));
    Tap(view, {5, kListItemHeight + 5});  // under the header: the first row
    Tap(view, {5, 2 * kListItemHeight + 5});
    EXPECT_SEQUENCE(TakeHeard(), (Table{Notify(1010, LVN_ITEMCHANGED), Notify(1010, NM_CLICK),
                                        Notify(1010, LVN_ITEMCHANGED),
                                        Notify(1010, LVN_ITEMCHANGED), Notify(1010, NM_CLICK)}));
    EXPECT_EQ(1, SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));

    // A trackbar 220 pixels long: a channel of 200 from x = 10, range 0..10.
    HWND bar = Make(TRACKBAR_CLASS, L"", TBS_NOTICKS, 1030, {0, 0, 220, 40});
    SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    SendMessageW(bar, TBM_SETPOS, TRUE, 2);
    SendMessageW(bar, TBM_SETPOS, TRUE, 99);  // clamped to the range
    EXPECT_EQ(10, SendMessageW(bar, TBM_GETPOS, 0, 0));
    SendMessageW(bar, TBM_SETRANGEMAX, TRUE, 8);
    EXPECT_EQ(8, SendMessageW(bar, TBM_GETPOS, 0, 0));
    SendMessageW(bar, TBM_SETPOS, TRUE, 2);
    EXPECT_SEQUENCE(TakeHeard(), Table{}) << "a program's changes send nothing";
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 20));  // on the thumb
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 20));
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(112, 20));  // the same position
    SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(210, 20));
    Tap(bar, {15, 20});  // on the channel below the thumb: a page down toward the minimum
    EXPECT_SEQUENCE(
        TakeHeard(),
        (Table{Scroll(WM_HSCROLL, TB_THUMBTRACK, 4), Scroll(WM_HSCROLL, TB_THUMBTRACK, 8),
               Scroll(WM_HSCROLL, TB_THUMBPOSITION, 8), Scroll(WM_HSCROLL, TB_ENDTRACK, 0),
               Scroll(WM_HSCROLL, TB_PAGEUP, 0), Scroll(WM_HSCROLL, TB_ENDTRACK, 0)}));
    EXPECT_EQ(0, SendMessageW(bar, TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(8, SendMessageW(bar, TBM_GETRANGEMAX, 0, 0));
}

}  // namespace
}  // namespace tovarin::gwes::controls::testing
