// The greeting list's file procedures: creation, parsing, changes and the line layout that the
// answering service's scanner reads.
#include <atomic>
#include <thread>

#include "greeting_scan.h"
#include "list_fixture.h"

namespace greeting_list_testing {
namespace {

const wchar_t* kPath = L"\\Windows\\Quellbrooks.xml";

std::string Item(const std::string& name, const std::string& phone, const std::string& play,
                 const std::string& time) {
    return "\t<Item>\n\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>" + name +
           "</ContactName>\n\t\t<ContactPhone>" + phone + "</ContactPhone>\n\t\t<PlayFile>" + play +
           "</PlayFile>\n\t\t<AnswerTime>" + time + "</AnswerTime>\n\t</Item>\n";
}

const std::string kDeclaration = "<?xml version='1.0' encoding='utf-8'?>\n";

std::string ListOf(const std::string& items) {
    return kDeclaration + "<Quellbrooks>\n" + items + "</Quellbrooks>\n";
}

std::vector<std::wstring> W(std::initializer_list<const wchar_t*> items) {
    return {items.begin(), items.end()};
}

TEST_F(ListFileTest, FirstStartCreatesAnEmptyList) {
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_TRUE(list_.checkContacts.empty());
    EXPECT_EQ(0, list_.rootChildCount);
    EXPECT_EQ(nullptr, list_.firstChild);
    EXPECT_EQ(kDeclaration + "<Quellbrooks />\n", ReadList());
}

TEST_F(ListFileTest, MalformedListIsSetAsideAndReplaced) {
    const std::string broken = ListOf(Item("A", "111111", "a.amr", "10")) + "<extra/>";
    WriteList(broken);
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_TRUE(list_.checkContacts.empty());
    EXPECT_EQ(kDeclaration + "<Quellbrooks />\n", ReadList());
    std::ifstream kept(image_ / "Windows" / "Quellbrooks.xml.bad", std::ios::binary);
    std::stringstream text;
    text << kept.rdbuf();
    EXPECT_EQ(broken, text.str());

    // A second bad list does not overwrite the first one set aside.
    WriteList("<Quellbrooks>");
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    EXPECT_TRUE(std::filesystem::exists(image_ / "Windows" / "Quellbrooks.xml.bad1"));
}

TEST_F(ListFileTest, AnUnreadableListThatCannotBeSetAsideIsNeverSavedOver) {
    const std::string broken = ListOf(Item("A", "111111", "a.amr", "10")) + "<extra/>";
    WriteList(broken);
    for (int i = 0; i < 100; ++i) {
        const std::string suffix = i == 0 ? ".bad" : ".bad" + std::to_string(i);
        std::ofstream(ListPath().string() + suffix, std::ios::binary) << "taken";
    }
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_EXISTS), SaveListFile(&list_));
    EXPECT_EQ(broken, ReadList());
}

TEST_F(ListFileTest, IndentedAndUnindentedFilesGiveTheSameEntries) {
    std::string items =
        Item("Анна", "+79011234567", "a.amr", "15") + Item("B", "222222", "b.amr", "20");
    WriteList(ListOf(items));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    GreetingList flat{};
    std::string compact = ListOf(items);
    std::erase(compact, '\t');
    std::erase(compact, '\n');
    WriteList(compact);
    ASSERT_TRUE(OpenListFile(&flat, kPath));
    ASSERT_TRUE(ParseEntries(&flat));
    EXPECT_EQ(2, list_.rootChildCount);
    EXPECT_EQ(list_.rootChildCount, flat.rootChildCount);
    EXPECT_EQ(W({L"Анна", L"B"}), flat.contactNames);
    EXPECT_EQ(list_.contactNames, flat.contactNames);
    EXPECT_EQ(list_.answerTimes, flat.answerTimes);
    CloseListFile(&flat);
}

TEST_F(ListFileTest, FieldsInAnotherOrderParseAndUpdatesFindTheirField) {
    WriteList(
        ListOf("\t<Item>\n\t\t<PlayFile>p.amr</PlayFile>\n\t\t<AnswerTime>20</AnswerTime>\n"
               "\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>X</ContactName>\n"
               "\t\t<ContactPhone>333333</ContactPhone>\n\t</Item>\n"
               "\t<Item>\n\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>Y</ContactName>\n"
               "\t\t<ContactPhone>444444</ContactPhone>\n\t\t<PlayFile>q.amr</PlayFile>\n"
               "\t</Item>\n"));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_EQ(W({L"p.amr", L"q.amr"}), list_.playFiles);
    EXPECT_EQ(W({L"333333", L"444444"}), list_.contactPhones);

    // Child 3 is ContactName here, child 4 the number: neither is written over.
    ASSERT_TRUE(SetGreetingPlayFile(&list_, 0, L"new.amr"));
    ASSERT_TRUE(SetGreetingAnswerTime(&list_, 0, L"15"));
    // The second entry has no AnswerTime: nothing is written, not even into another field.
    EXPECT_FALSE(SetGreetingAnswerTime(&list_, 1, L"15"));
    EXPECT_FALSE(SetGreetingAnswerTime(&list_, 2, L"15"));
    ASSERT_EQ(S_OK, SaveListFile(&list_));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_EQ(W({L"X", L"Y"}), list_.contactNames);
    EXPECT_EQ(W({L"333333", L"444444"}), list_.contactPhones);
    EXPECT_EQ(W({L"new.amr", L"q.amr"}), list_.playFiles);
    EXPECT_EQ(W({L"15"}), list_.answerTimes);
}

TEST_F(ListFileTest, AnItemWithoutAFieldShortensThatList) {
    WriteList(
        ListOf("\t<Item>\n\t\t<CheckContact>N</CheckContact>\n\t\t<ContactName>A</ContactName>\n"
               "\t\t<ContactPhone>111111</ContactPhone>\n\t\t<AnswerTime>10</AnswerTime>\n"
               "\t</Item>\n" +
               Item("B", "222222", "b.amr", "20")));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_EQ(2u, list_.checkContacts.size());
    EXPECT_EQ(W({L"b.amr"}), list_.playFiles);
}

TEST_F(ListFileTest, RemovingEntriesGoesThroughTheLiveList) {
    std::string items;
    for (int i = 0; i < 5; ++i) {
        items += Item("N" + std::to_string(i), std::to_string(100000 + i), "g.amr", "10");
    }
    WriteList(ListOf(items));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(RemoveGreetingEntries(&list_, {1, 3}));
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    ASSERT_TRUE(ParseEntries(&list_));
    EXPECT_EQ(W({L"N0", L"N2", L"N4"}), list_.contactNames);
}

TEST_F(ListFileTest, SavedEntriesAreFoundByTheServiceScanner) {
    ASSERT_TRUE(AddGreetingEntry(&list_, kPath, L"Анна", L"+7 901 123-45-67"));
    ASSERT_TRUE(AddGreetingEntry(&list_, kPath, L"Tom & <Jerry>", L"89027654321"));
    ASSERT_TRUE(AddGreetingEntry(&list_, kPath, L"Line\nbreak", L"89035550000"));
    ASSERT_TRUE(SetGreetingPlayFile(&list_, 1, L"gr101530.amr"));
    ASSERT_TRUE(SetGreetingAnswerTime(&list_, 1, L"15"));
    ASSERT_TRUE(SetGreetingPlayFile(&list_, 2, L"R&B.amr"));
    ASSERT_TRUE(SetGreetingAnswerTime(&list_, 2, L"20"));
    // The changes stay in the document until the one save of the user's action.
    EXPECT_EQ(ListOf(Item("Анна", "+7 901 123-45-67", "greeting.amr", "10") +
                     Item("Tom &amp; &lt;Jerry&gt;", "89027654321", "greeting.amr", "10") +
                     Item("Line break", "89035550000", "greeting.amr", "10")),
              ReadList());
    ASSERT_EQ(S_OK, SaveListFile(&list_));

    EXPECT_EQ(ListOf(Item("Анна", "+7 901 123-45-67", "greeting.amr", "10") +
                     Item("Tom &amp; &lt;Jerry&gt;", "89027654321", "gr101530.amr", "15") +
                     Item("Line break", "89035550000", "R&amp;B.amr", "20")),
              ReadList());

    struct Call {
        const wchar_t* number;
        const wchar_t* play;
        const wchar_t* time;
    };
    for (const Call& call :
         {Call{L"123-45-67", L"greeting.amr", L"10"}, Call{L"+79027654321", L"gr101530.amr", L"15"},
          Call{L"89035550000", L"R&B.amr", L"20"}}) {
        FILE* file = _wfopen(kPath, L"r");
        ASSERT_NE(nullptr, file);
        WCHAR key[GREETING_NUMBER_KEY_CHARS];
        ASSERT_TRUE(BuildNumberKey(call.number, key));
        WCHAR play[GREETING_PLAY_FILE_CHARS] = L"";
        WCHAR time[GREETING_ANSWER_TIME_CHARS] = L"";
        EXPECT_EQ(kGreetingFound, ScanGreetingList(file, key, play, time)) << call.number;
        EXPECT_STREQ(call.play, play);
        EXPECT_STREQ(call.time, time);
        fclose(file);
    }
}

TEST_F(ListFileTest, AReaderNeverSeesATornList) {
    ASSERT_TRUE(OpenListFile(&list_, kPath));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(
            AddGreetingEntry(&list_, kPath, L"Contact", std::to_wstring(700000 + i).c_str()));
    }
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!stop) {
            std::string text = ReadList();
            if (text.empty() || text.rfind("</Quellbrooks>\n") != text.size() - 15) {
                ++torn;
            }
            ++reads;
        }
    });
    for (int i = 0; i < 200; ++i) {
        SetGreetingAnswerTime(&list_, i % 20, (i % 2) ? L"15" : L"20");
        SaveListFile(&list_);
    }
    while (reads < 10) {
        std::this_thread::yield();
    }
    stop = true;
    reader.join();
    EXPECT_EQ(0, torn.load());
}

}  // namespace
}  // namespace greeting_list_testing
