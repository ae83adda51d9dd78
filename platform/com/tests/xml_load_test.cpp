// load: only a readable, well-formed file succeeds; anything else leaves an empty document.
// Whitespace-only text is dropped, so indentation does not change child indices.
#include <msxml2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/tests/com_test_support.h"

namespace tovarin::com::testing {
namespace {

constexpr const wchar_t* kListPath = L"\\Windows\\Quellbrooks.xml";
constexpr const char* kListFile = "Windows/Quellbrooks.xml";

class LoadTest : public DeviceTest {
  protected:
    // Loads text written to the list file; expects the documented result pair to agree.
    bool LoadText(std::string_view text) {
        WriteFile(kListFile, text);
        VARIANT_BOOL ok = VARIANT_TRUE;
        const HRESULT result = Load(document_.Get(), kListPath, &ok);
        EXPECT_EQ(result == S_OK, ok == VARIANT_TRUE) << "result and flag disagree";
        EXPECT_TRUE(result == S_OK || result == S_FALSE) << std::hex << result;
        return result == S_OK;
    }
    void ExpectEmptyDocument() {
        ComPtr<IXMLDOMElement> root;
        EXPECT_EQ(S_FALSE, document_->get_documentElement(root.Out()));
        EXPECT_FALSE(root);
        EXPECT_EQ(0, LengthOf(ChildrenOf(AsNode(document_).Get()).Get()));
    }

    ComPtr<IXMLDOMDocument> document_ = NewDocument();
};

TEST_F(LoadTest, AMissingFileOrAFolderFailsWithAnEmptyDocument) {
    for (bool folder : {false, true}) {
        if (folder) {
            image_.AddFolder(kListFile);  // a folder is no readable file
        }
        VARIANT_BOOL ok = VARIANT_TRUE;
        EXPECT_EQ(S_FALSE, Load(document_.Get(), kListPath, &ok)) << folder;
        EXPECT_EQ(VARIANT_FALSE, ok);
        ExpectEmptyDocument();
    }
}

TEST_F(LoadTest, AFailedLoadEmptiesADocumentThatHadContent) {
    ASSERT_TRUE(LoadText("<Quellbrooks><Item/></Quellbrooks>"));
    EXPECT_FALSE(LoadText("<Quellbrooks>"));
    ExpectEmptyDocument();
}

TEST_F(LoadTest, PathMustBeAString) {
    VARIANT_BOOL ok = VARIANT_TRUE;
    Variant number;
    number.get()->vt = VT_I4;
    number.get()->lVal = 5;
    EXPECT_EQ(E_INVALIDARG, document_->load(number, &ok));
    EXPECT_EQ(E_INVALIDARG, document_->load(Variant(kListPath), nullptr));
}

TEST_F(LoadTest, DevicePathsIgnoreCase) {
    WriteFile(kListFile, "<Quellbrooks/>");
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(S_OK, Load(document_.Get(), L"\\WINDOWS\\quellbrooks.XML", &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
}

struct Malformed {
    const char* why;
    const char* text;
};

class MalformedLoadTest : public LoadTest, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedLoadTest, Fails) {
    EXPECT_FALSE(LoadText(GetParam().text)) << GetParam().why;
    ExpectEmptyDocument();
}

INSTANTIATE_TEST_SUITE_P(
    NotWellFormed, MalformedLoadTest,
    ::testing::Values(Malformed{"empty file", ""}, Malformed{"whitespace only", " \n\t"},
                      Malformed{"unclosed element", "<Quellbrooks><Item></Quellbrooks>"},
                      Malformed{"mismatched end tag", "<a></b>"},
                      Malformed{"bare ampersand", "<a>Tom & Jerry</a>"},
                      Malformed{"bare ampersand in an attribute", "<a b='x & y'/>"},
                      Malformed{"undeclared entity", "<a>&nbsp;</a>"},
                      Malformed{"reference to no character", "<a>&#0;</a>"},
                      Malformed{"reference past Unicode", "<a>&#x110000;</a>"},
                      Malformed{"two document elements", "<a/><b/>"},
                      Malformed{"text before the document element", "hello<a/>"},
                      Malformed{"text after the document element", "<a/>tail"},
                      Malformed{"duplicate attribute", "<a b='1' b='2'/>"},
                      Malformed{"less-than in an attribute", "<a b='<'/>"},
                      Malformed{"control character", "<a>\x01</a>"},
                      Malformed{"invalid UTF-8", "<a>\xC3\x28</a>"},
                      Malformed{"overlong UTF-8", "<a>\xC0\xAF</a>"},
                      Malformed{"declaration after a blank", " <?xml version='1.0'?><a/>"},
                      Malformed{"declaration after the element", "<a/><?xml version='1.0'?>"},
                      Malformed{"declaration without version", "<?xml encoding='utf-8'?><a/>"},
                      Malformed{"reserved target in upper case", "<?XML version='1.0'?><a/>"},
                      Malformed{"CDATA end in text", "<a>]]></a>"},
                      Malformed{"double hyphen in a comment", "<a><!-- x -- y --></a>"},
                      Malformed{"document type after the element", "<a/><!DOCTYPE a>"}));

TEST_F(LoadTest, AcceptsTheFormsAWellFormedFileMayTake) {
    EXPECT_TRUE(LoadText("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a>x</a>\r\n"));
    EXPECT_TRUE(LoadText("\xEF\xBB\xBF<?xml version='1.0'?><a/>"));
    EXPECT_TRUE(LoadText("<!-- list --><?app data?><!DOCTYPE a><a/><!-- end -->"));
    // UTF-16 with a byte-order mark: "<a>Я</a>".
    EXPECT_TRUE(LoadText(std::string("\xFF\xFE<\0a\0>\0\x2F\x04<\0/\0a\0>\0", 18)));
    EXPECT_EQ(L"Я", TextOf(RootOf(document_.Get()).Get()));
}

TEST_F(LoadTest, ReferencesAreExpanded) {
    ASSERT_TRUE(LoadText("<a>&lt;&amp;&gt;&apos;&quot; &#65;&#x42;&#x44f;</a>"));
    EXPECT_EQ(L"<&>'\" ABя", TextOf(RootOf(document_.Get()).Get()));
}

TEST_F(LoadTest, TheDeclarationIsAProcessingInstructionWithSingleQuotes) {
    ASSERT_TRUE(LoadText("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Quellbrooks/>"));
    ComPtr<IXMLDOMNode> first;
    ASSERT_EQ(S_OK, document_->get_firstChild(first.Out()));
    DOMNodeType type = NODE_INVALID;
    EXPECT_EQ(S_OK, first->get_nodeType(&type));
    EXPECT_EQ(NODE_PROCESSING_INSTRUCTION, type);
    EXPECT_EQ(L"xml", NameOf(first.Get()));
    EXPECT_EQ(L"version='1.0' encoding='utf-8'", TextOf(first.Get()));
}

// Names and texts of the children of the document element, in index order.
std::vector<std::wstring> Entries(IXMLDOMDocument* document) {
    std::vector<std::wstring> entries;
    ComPtr<IXMLDOMNodeList> items = ChildrenOf(RootOf(document).Get());
    for (long i = 0; i < LengthOf(items.Get()); ++i) {
        ComPtr<IXMLDOMNode> item = ItemOf(items.Get(), i);
        ComPtr<IXMLDOMNodeList> fields = ChildrenOf(item.Get());
        std::wstring entry = NameOf(item.Get()) + L":";
        for (long j = 0; j < LengthOf(fields.Get()); ++j) {
            ComPtr<IXMLDOMNode> field = ItemOf(fields.Get(), j);
            entry += L" " + NameOf(field.Get()) + L"=" + TextOf(field.Get());
        }
        entries.push_back(entry);
    }
    return entries;
}

TEST_F(LoadTest, IndentationDoesNotChangeIndices) {
    ASSERT_TRUE(
        LoadText("<?xml version='1.0' encoding='utf-8'?>\n"
                 "<Quellbrooks>\n"
                 "\t<Item>\n"
                 "\t\t<ContactPhone>+7 901</ContactPhone>\n"
                 "\t\t<PlayFile> greeting.amr </PlayFile>\n"
                 "\t</Item>\n"
                 "\n"
                 "  <Item>\r\n"
                 "    <ContactPhone>+7 902</ContactPhone>\r\n"
                 "  </Item>\n"
                 "</Quellbrooks>\n"));
    const std::vector<std::wstring> indented = Entries(document_.Get());
    ASSERT_TRUE(LoadText(
        "<Quellbrooks><Item><ContactPhone>+7 901</ContactPhone><PlayFile> greeting.amr "
        "</PlayFile></Item><Item><ContactPhone>+7 902</ContactPhone></Item></Quellbrooks>"));
    const std::vector<std::wstring> compact = Entries(document_.Get());
    const std::vector<std::wstring> expected = {
        L"Item: ContactPhone=+7 901 PlayFile= greeting.amr ",
        L"Item: ContactPhone=+7 902",
    };
    EXPECT_EQ(expected, indented);
    EXPECT_EQ(expected, compact);
}

TEST_F(LoadTest, WhitespaceTextIsKeptOnlyWhenAskedFor) {
    EXPECT_EQ(S_OK, document_->put_preserveWhiteSpace(VARIANT_TRUE));
    ASSERT_TRUE(LoadText("<a>\n\t<b/>\n</a>\n"));
    EXPECT_EQ(3, LengthOf(ChildrenOf(RootOf(document_.Get()).Get()).Get()));
    EXPECT_EQ(S_OK, document_->put_preserveWhiteSpace(VARIANT_FALSE));
    ASSERT_TRUE(LoadText("<a>\n\t<b/>\n</a>\n"));
    EXPECT_EQ(1, LengthOf(ChildrenOf(RootOf(document_.Get()).Get()).Get()));
}

TEST_F(LoadTest, LoadXmlTakesTextWithTheSameRules) {
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(S_OK, document_->loadXML(Bstr(L"<a> <b>Ж</b> </a>"), &ok));
    EXPECT_EQ(VARIANT_TRUE, ok);
    EXPECT_EQ(1, LengthOf(ChildrenOf(RootOf(document_.Get()).Get()).Get()));
    EXPECT_EQ(S_FALSE, document_->loadXML(Bstr(L"<a/><b/>"), &ok));
    EXPECT_EQ(VARIANT_FALSE, ok);
}

}  // namespace
}  // namespace tovarin::com::testing
