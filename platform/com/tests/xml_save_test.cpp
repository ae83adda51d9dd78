// save: the exact bytes of the greeting list layout, escaping, line breaks in text, and the
// replace-by-rename that never leaves a half-written or damaged list.
#include <msxml2.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "com/tests/com_test_support.h"
#include "kernel/files/volumes.h"

namespace tovarin::com::testing {
namespace {

constexpr const wchar_t* kListPath = L"\\Windows\\Quellbrooks.xml";
constexpr const char* kListFile = "Windows/Quellbrooks.xml";

struct Entry {
    const wchar_t* name;
    const wchar_t* phone;
    const wchar_t* play_file;
    const wchar_t* answer_time;
};

class SaveTest : public DeviceTest {
  protected:
    // Opens the list as the greeting manager does: load, or build and save an empty list.
    void OpenList() {
        document_ = NewDocument();
        VARIANT_BOOL ok = VARIANT_FALSE;
        if (Load(document_.Get(), kListPath, &ok) == S_OK) {
            return;
        }
        ComPtr<IXMLDOMProcessingInstruction> declaration;
        ASSERT_EQ(S_OK,
                  document_->createProcessingInstruction(
                      Bstr(L"xml"), Bstr(L"version='1.0' encoding='utf-8'"), declaration.Out()));
        ComPtr<IXMLDOMNode> first;
        document_->get_firstChild(first.Out());
        ASSERT_EQ(S_OK, document_->insertBefore(AsNode(declaration).Get(), Variant(first.Get()),
                                                nullptr));
        ComPtr<IXMLDOMElement> root;
        ASSERT_EQ(S_OK, document_->createElement(Bstr(L"Quellbrooks"), root.Out()));
        ASSERT_EQ(S_OK, document_->appendChild(AsNode(root).Get(), nullptr));
        ASSERT_EQ(S_OK, Save());
    }

    void AddEntry(const Entry& entry) {
        ComPtr<IXMLDOMElement> item;
        ASSERT_EQ(S_OK, document_->createElement(Bstr(L"Item"), item.Out()));
        ASSERT_EQ(S_OK, RootOf(document_.Get())->appendChild(AsNode(item).Get(), nullptr));
        const std::pair<const wchar_t*, const wchar_t*> fields[] = {
            {L"CheckContact", L"N"},
            {L"ContactName", entry.name},
            {L"ContactPhone", entry.phone},
            {L"PlayFile", entry.play_file},
            {L"AnswerTime", entry.answer_time},
        };
        for (const auto& [tag, value] : fields) {
            ComPtr<IXMLDOMElement> field;
            ASSERT_EQ(S_OK, document_->createElement(Bstr(tag), field.Out()));
            ASSERT_EQ(S_OK, field->put_text(Bstr(value)));
            ASSERT_EQ(S_OK, item->appendChild(AsNode(field).Get(), nullptr));
        }
    }

    HRESULT Save() { return document_->save(Variant(kListPath)); }

    std::vector<std::string> FilesInWindows() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(HostPath("Windows"))) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

    ComPtr<IXMLDOMDocument> document_;
};

constexpr const char* kEmptyList =
    "<?xml version='1.0' encoding='utf-8'?>\n"
    "<Quellbrooks />\n";

constexpr const char* kThreeEntries =
    "<?xml version='1.0' encoding='utf-8'?>\n"
    "<Quellbrooks>\n"
    "\t<Item>\n"
    "\t\t<CheckContact>N</CheckContact>\n"
    "\t\t<ContactName>\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0</ContactName>\n"
    "\t\t<ContactPhone>+7 901 123-45-67</ContactPhone>\n"
    "\t\t<PlayFile>greeting.amr</PlayFile>\n"
    "\t\t<AnswerTime>10</AnswerTime>\n"
    "\t</Item>\n"
    "\t<Item>\n"
    "\t\t<CheckContact>N</CheckContact>\n"
    "\t\t<ContactName>Boris</ContactName>\n"
    "\t\t<ContactPhone>89027654321</ContactPhone>\n"
    "\t\t<PlayFile>gr101530.amr</PlayFile>\n"
    "\t\t<AnswerTime>15</AnswerTime>\n"
    "\t</Item>\n"
    "\t<Item>\n"
    "\t\t<CheckContact>N</CheckContact>\n"
    "\t\t<ContactName>Office</ContactName>\n"
    "\t\t<ContactPhone>555</ContactPhone>\n"
    "\t\t<PlayFile>greeting.amr</PlayFile>\n"
    "\t\t<AnswerTime>20</AnswerTime>\n"
    "\t</Item>\n"
    "</Quellbrooks>\n";

TEST_F(SaveTest, ThreeEntriesAreWrittenInTheLineLayout) {
    OpenList();
    AddEntry({L"Анна", L"+7 901 123-45-67", L"greeting.amr", L"10"});
    AddEntry({L"Boris", L"89027654321", L"gr101530.amr", L"15"});
    AddEntry({L"Office", L"555", L"greeting.amr", L"20"});
    ASSERT_EQ(S_OK, Save());
    EXPECT_EQ(kThreeEntries, ReadFile(kListFile));

    // Reading the list back and saving it again changes nothing.
    OpenList();
    ASSERT_EQ(S_OK, Save());
    EXPECT_EQ(kThreeEntries, ReadFile(kListFile));
}

TEST_F(SaveTest, MarkupCharactersAreEscapedAndLineBreaksBecomeSpaces) {
    OpenList();
    AddEntry({L"Tom & Jerry <TV>", L"1\n2\r\n3\r4", L"a\"b'c.amr", L""});
    ASSERT_EQ(S_OK, Save());
    const std::string saved = ReadFile(kListFile);
    EXPECT_NE(std::string::npos,
              saved.find("\t\t<ContactName>Tom &amp; Jerry &lt;TV&gt;</ContactName>\n"));
    EXPECT_NE(std::string::npos, saved.find("\t\t<ContactPhone>1 2 3 4</ContactPhone>\n"));
    EXPECT_NE(std::string::npos, saved.find("\t\t<PlayFile>a\"b'c.amr</PlayFile>\n"));
    EXPECT_NE(std::string::npos, saved.find("\t\t<AnswerTime></AnswerTime>\n"));

    // The document in memory keeps its line breaks; the file reads back with spaces.
    ComPtr<IXMLDOMNode> item = ItemOf(ChildrenOf(RootOf(document_.Get()).Get()).Get(), 0);
    EXPECT_EQ(L"1\n2\r\n3\r4", TextOf(ItemOf(ChildrenOf(item.Get()).Get(), 2).Get()));
    OpenList();
    item = ItemOf(ChildrenOf(RootOf(document_.Get()).Get()).Get(), 0);
    EXPECT_EQ(L"Tom & Jerry <TV>", TextOf(ItemOf(ChildrenOf(item.Get()).Get(), 1).Get()));
    EXPECT_EQ(L"1 2 3 4", TextOf(ItemOf(ChildrenOf(item.Get()).Get(), 2).Get()));
}

TEST_F(SaveTest, ChangingAFieldRewritesTheWholeFileWithoutLeftovers) {
    OpenList();
    AddEntry({L"Office", L"555", L"greeting.amr", L"10"});
    ASSERT_EQ(S_OK, Save());
    ComPtr<IXMLDOMNode> item = ItemOf(ChildrenOf(RootOf(document_.Get()).Get()).Get(), 0);
    ASSERT_EQ(S_OK, ItemOf(ChildrenOf(item.Get()).Get(), 4)->put_text(Bstr(L"20")));
    ASSERT_EQ(S_OK, Save());
    const std::string saved = ReadFile(kListFile);
    EXPECT_NE(std::string::npos, saved.find("\t\t<AnswerTime>20</AnswerTime>\n"));
    EXPECT_EQ(std::string::npos, saved.find(">10<"));
    EXPECT_EQ(std::vector<std::string>{"Quellbrooks.xml"}, FilesInWindows());
}

TEST_F(SaveTest, SavingIntoAMissingFolderFails) {
    OpenList();
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND),
              document_->save(Variant(L"\\No Such Folder\\Quellbrooks.xml")));
    EXPECT_FALSE(std::filesystem::exists(HostPath("No Such Folder")));
    EXPECT_EQ(E_INVALIDARG, document_->save(Variant()));
}

// Limits the size of files this process may write, so that a save fails half-way.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        EXPECT_EQ(0, setrlimit(RLIMIT_FSIZE, &limit));
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*previous_handler_)(int) = SIG_DFL;
};

TEST_F(SaveTest, AFailedWriteLeavesTheOldFile) {
    OpenList();
    AddEntry({L"Office", L"555", L"greeting.amr", L"10"});
    {
        FileSizeLimit limit(16);
        EXPECT_TRUE(FAILED(Save()));
    }
    EXPECT_EQ(kEmptyList, ReadFile(kListFile));
    EXPECT_EQ(std::vector<std::string>{"Quellbrooks.xml"}, FilesInWindows());
}

TEST_F(SaveTest, ASaveThatDoesNotFitTheSimulatedFreeSpaceLeavesTheOldFile) {
    OpenList();
    AddEntry({L"Office", L"555", L"greeting.amr", L"10"});
    ASSERT_EQ(S_OK, Save());
    const std::string one_entry = ReadFile(kListFile);
    AddEntry({L"Boris", L"89027654321", L"gr101530.amr", L"15"});

    // The whole new list must fit beside the old one, not only what it grows by.
    kernel::SetSimulatedFreeSpace(L"\\", one_entry.size());
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DISK_FULL), Save());
    EXPECT_EQ(one_entry, ReadFile(kListFile));
    EXPECT_EQ(std::vector<std::string>{"Quellbrooks.xml"}, FilesInWindows());

    kernel::SetSimulatedFreeSpace(L"\\", 4096);
    ASSERT_EQ(S_OK, Save());
    const uint64_t grown = ReadFile(kListFile).size() - one_entry.size();
    EXPECT_EQ(4096 - grown, kernel::SimulatedFreeSpace(L"\\"));
}

}  // namespace
}  // namespace tovarin::com::testing
