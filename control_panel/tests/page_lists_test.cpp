// The pages' list logic: name lists sorted between their fixed entries, the exact search of a
// drop-down list without regard to case (Cyrillic included), the insertion just before the last
// item, and which names the recorder accepts.
#include <string>
#include <vector>

#include "control_panel_fixture.h"
#include "media/sounds.h"
#include "pages/pages.h"

namespace marrowfen_testing {
namespace {

class PageListsTest : public ControlPanelTest {
  protected:
    void SetUp() override {
        ControlPanelTest::SetUp();
        list_ = CreateWindowExW(0, L"ComboBox", L"", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 100, 100,
                                NULL, NULL, NULL, NULL);
        ASSERT_NE(nullptr, list_);
    }
    void TearDown() override {
        DestroyWindow(list_);
        NameListFree(&names_);
        ControlPanelTest::TearDown();
    }

    void Fill(const std::vector<std::wstring>& items) {
        for (const std::wstring& item : items) {
            SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        }
    }
    std::vector<std::wstring> Items() const {
        std::vector<std::wstring> items;
        int count = static_cast<int>(SendMessageW(list_, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            WCHAR text[kPathChars];
            GetListItemText(list_, i, text);
            items.push_back(text);
        }
        return items;
    }
    std::vector<std::wstring> Names() const {
        return std::vector<std::wstring>(names_.entries, names_.entries + names_.count);
    }

    HWND list_ = NULL;
    NameList names_ = {NULL, 0, 0};
};

TEST_F(PageListsTest, UserNamesSortInTheLanguagesOrderAfterTheFixedEntries) {
    for (LPCWSTR name : {L"Отключено", L"Улица", L"Яблоко.amr", L"ёж.amr", L"Zebra.amr",
                         L"bell.amr", L"Ель.amr"}) {
        NameListAppend(&names_, name);
    }
    NameListSort(&names_, 2);
    // Latin before Cyrillic, and case and "ё" weighed as the language weighs them (by code point
    // "ёж" would come last, after "Яблоко").
    EXPECT_EQ((std::vector<std::wstring>{L"Отключено", L"Улица", L"bell.amr", L"Zebra.amr",
                                         L"ёж.amr", L"Ель.amr", L"Яблоко.amr"}),
              Names());

    // Nothing past the end to sort, and nothing moves.
    NameListSort(&names_, 7);
    NameListSort(&names_, 9);
    EXPECT_EQ(L"bell.amr", Names()[2]);
}

TEST_F(PageListsTest, NamesThatWouldBeCutAreLeftOut) {
    const std::wstring longest(kNameChars - 1, L'ж');
    NameListAppend(&names_, longest.c_str());
    NameListAppend(&names_, (longest + L"ж").c_str());
    for (int i = 0; i < 40; ++i) {
        NameListAppend(&names_, L"a.amr");
    }
    ASSERT_EQ(41, names_.count);
    EXPECT_EQ(longest, Names()[0]);
    EXPECT_EQ(L"a.amr", Names()[40]);
}

TEST_F(PageListsTest, TheExactSearchIgnoresCaseAndNothingElse) {
    Fill({L"Телефон друга", L"Запись.amr", L"ёж.amr", L"gr142530.amr", L"Пользовательский"});
    EXPECT_EQ(1, FindListItemExact(list_, L"ЗАПИСЬ.AMR"));
    EXPECT_EQ(2, FindListItemExact(list_, L"Ёж.amr"));
    EXPECT_EQ(3, FindListItemExact(list_, L"GR142530.amr"));
    // Not a prefix, not a longer name, and "е" is not "ё".
    EXPECT_EQ(CB_ERR, FindListItemExact(list_, L"Запись"));
    EXPECT_EQ(CB_ERR, FindListItemExact(list_, L"Запись.amr2"));
    EXPECT_EQ(CB_ERR, FindListItemExact(list_, L"еж.amr"));
}

TEST_F(PageListsTest, ANewNameGoesJustBeforeTheLastItem) {
    EXPECT_EQ(0, InsertBeforeLastItem(list_, L"od091500.amr"));
    SendMessageW(list_, CB_RESETCONTENT, 0, 0);
    Fill({L"Отключить", L"Свисток", L"Выбор пользователя"});
    EXPECT_EQ(2, InsertBeforeLastItem(list_, L"od091500.amr"));
    EXPECT_EQ(3, InsertBeforeLastItem(list_, L"a.amr"));
    EXPECT_EQ((std::vector<std::wstring>{L"Отключить", L"Свисток", L"od091500.amr", L"a.amr",
                                         L"Выбор пользователя"}),
              Items());
}

TEST_F(PageListsTest, TheRecorderTakesOnlyNamesOfAFileInItsFolder) {
    for (LPCWSTR name : {L"gr142530", L"Мой привет", L"a.b", L".hidden", L"x.."}) {
        EXPECT_TRUE(IsRecordingNameUsable(name)) << name;
    }
    for (LPCWSTR name : {L"", L".", L"..", L"...", L"..\\x", L"a/b", L"c:x", L"a*", L"a?", L"\"a\"",
                         L"<a", L"a>", L"a|b", L"a\tb"}) {
        EXPECT_FALSE(IsRecordingNameUsable(name)) << name;
    }
}

}  // namespace
}  // namespace marrowfen_testing
