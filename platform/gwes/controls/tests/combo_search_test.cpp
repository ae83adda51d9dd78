// The combo box's item rules: case-insensitive search over Cyrillic and Latin, starting after the
// given index and going on from the top; sorted lists; the CB_ERR answers.
#include "gwes/controls/tests/controls_fixture.h"

namespace tovarin::gwes::controls::testing {
namespace {

using ComboSearchTest = ControlsTest;

LRESULT Cb(HWND combo, UINT message, WPARAM wparam = 0, LPCWSTR text = nullptr) {
    return SendMessageW(combo, message, wparam, reinterpret_cast<LPARAM>(text));
}

TEST_F(ComboSearchTest, FindStringIsACaseFreePrefixSearchThatWraps) {
    HWND combo = Make(L"combobox", L"", CBS_DROPDOWNLIST, 1040, {10, 10, 300, 200});
    for (LPCWSTR item : {L"Громко", L"тихо", L"ГРОМЧЕ", L"Silent", L"громко"}) {
        Cb(combo, CB_ADDSTRING, 0, item);
    }
    const struct {
        UINT message;
        int start;
        LPCWSTR text;
        LRESULT found;
    } cases[] = {
        {CB_FINDSTRING, -1, L"гром", 0},   // from the top
        {CB_FINDSTRING, 0, L"гром", 2},    // after the start index
        {CB_FINDSTRING, 2, L"ГРОМ", 4},    // Cyrillic upper against lower
        {CB_FINDSTRING, 4, L"гром", 0},    // past the end, from the top again
        {CB_FINDSTRING, 0, L"Громко", 4},  // the start item itself comes last
        {CB_FINDSTRING, 3, L"si", 3},      // wrapping round to the start item
        {CB_FINDSTRING, 99, L"т", 1},      // an index that is not there: the whole list
        {CB_FINDSTRING, -1, L"", 0},       // every text begins with nothing
        {CB_FINDSTRING, -1, L"громкость", CB_ERR},
        {CB_FINDSTRINGEXACT, -1, L"ГРОМКО", 0},  // exact, but still without case
        {CB_FINDSTRINGEXACT, 0, L"громко", 4},
        {CB_FINDSTRINGEXACT, -1, L"гром", CB_ERR},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.found, Cb(combo, c.message, static_cast<WPARAM>(c.start), c.text))
            << (c.message == CB_FINDSTRING ? "prefix " : "exact ") << c.start;
    }

    // CB_SELECTSTRING selects what CB_FINDSTRING finds and shows it; a miss keeps the selection.
    EXPECT_EQ(2, Cb(combo, CB_SELECTSTRING, 0, L"громч"));
    EXPECT_EQ(2, Cb(combo, CB_GETCURSEL));
    WCHAR shown[32]{};
    GetWindowTextW(combo, shown, 32);
    EXPECT_STREQ(L"ГРОМЧЕ", shown);
    EXPECT_EQ(CB_ERR, Cb(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), L"нет"));
    EXPECT_EQ(2, Cb(combo, CB_GETCURSEL));
}

TEST_F(ComboSearchTest, SortedListsItemDataAndErrors) {
    HWND combo = Make(L"ComboBox", L"", CBS_DROPDOWNLIST | CBS_SORT, 1015, {10, 10, 300, 200});
    EXPECT_EQ(CB_ERR, Cb(combo, CB_GETCURSEL));
    EXPECT_EQ(CB_ERR, Cb(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), L"a"));  // empty list
    EXPECT_EQ(0, Cb(combo, CB_ADDSTRING, 0, L"Лес"));
    EXPECT_EQ(0, Cb(combo, CB_ADDSTRING, 0, L"берег"));  // sorted without regard to case
    EXPECT_EQ(2, Cb(combo, CB_ADDSTRING, 0, L"Море"));
    EXPECT_EQ(1, Cb(combo, CB_ADDSTRING, 0, L"Берег"));  // after the equal one
    EXPECT_EQ(2, Cb(combo, CB_ADDSTRING, 0, L"Ёлка"));   // in the alphabet's order
    // CB_INSERTSTRING does not sort, even in a sorted list.
    EXPECT_EQ(0, Cb(combo, CB_INSERTSTRING, 0, L"Я"));
    EXPECT_EQ(6, Cb(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), L"А"));
    EXPECT_EQ(CB_ERR, Cb(combo, CB_INSERTSTRING, 9, L"x"));

    std::vector<std::wstring> items;
    for (int i = 0; i < Cb(combo, CB_GETCOUNT); ++i) {
        std::wstring text(static_cast<size_t>(Cb(combo, CB_GETLBTEXTLEN, i)), L'\0');
        WCHAR buffer[16]{};
        EXPECT_EQ(static_cast<LRESULT>(text.size()),
                  SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer)));
        items.emplace_back(buffer);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Я", L"берег", L"Берег", L"Ёлка", L"Лес", L"Море", L"А"}),
              items);

    EXPECT_NE(CB_ERR, SendMessageW(combo, CB_SETITEMDATA, 3, 0x1234));
    EXPECT_EQ(0x1234, Cb(combo, CB_GETITEMDATA, 3));
    EXPECT_EQ(3, Cb(combo, CB_SETCURSEL, 3));
    // Deleting an item before the selection moves the selection with its item.
    EXPECT_EQ(6, Cb(combo, CB_DELETESTRING, 0));
    EXPECT_EQ(2, Cb(combo, CB_GETCURSEL));
    EXPECT_EQ(0x1234, Cb(combo, CB_GETITEMDATA, 2));

    const struct {
        UINT message;
        WPARAM index;
    } errors[] = {{CB_GETLBTEXTLEN, 6}, {CB_GETLBTEXT, 6},    {CB_GETITEMDATA, 6},
                  {CB_SETITEMDATA, 6},  {CB_DELETESTRING, 6}, {CB_GETLBTEXTLEN, WPARAM(-2)}};
    for (const auto& e : errors) {
        WCHAR buffer[16]{};
        EXPECT_EQ(CB_ERR, SendMessageW(combo, e.message, e.index, reinterpret_cast<LPARAM>(buffer)))
            << std::hex << e.message;
    }
    // -1 clears the selection and answers CB_ERR, as does an index past the end.
    EXPECT_EQ(CB_ERR, Cb(combo, CB_SETCURSEL, static_cast<WPARAM>(-1)));
    EXPECT_EQ(CB_ERR, Cb(combo, CB_GETCURSEL));
    EXPECT_EQ(CB_ERR, Cb(combo, CB_SETCURSEL, 7));
    EXPECT_EQ(0, GetWindowTextLengthW(combo));
    Cb(combo, CB_RESETCONTENT);
    EXPECT_EQ(0, Cb(combo, CB_GETCOUNT));
}

}  // namespace
}  // namespace tovarin::gwes::controls::testing
