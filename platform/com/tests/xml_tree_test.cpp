// Tree operations of the document object as the greeting manager uses them: building a list,
// walking it by index and by sibling, removing entries from the live child list, and text.
#include <msxml2.h>

#include <gtest/gtest.h>

#include "com/tests/com_test_support.h"

namespace tovarin::com::testing {
namespace {

class TreeTest : public ::testing::Test {
  protected:
    void LoadXml(const wchar_t* text) {
        VARIANT_BOOL ok = VARIANT_FALSE;
        ASSERT_EQ(S_OK, document_->loadXML(Bstr(text), &ok));
    }
    ComPtr<IXMLDOMNode> NewElement(const wchar_t* name) {
        ComPtr<IXMLDOMElement> element;
        EXPECT_EQ(S_OK, document_->createElement(Bstr(name), element.Out()));
        return AsNode(element);
    }

    ComInitialized com_;
    ComPtr<IXMLDOMDocument> document_ = NewDocument();
};

TEST_F(TreeTest, BuildsAnEmptyListTheWayTheGreetingManagerDoes) {
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    ASSERT_EQ(S_OK, document_->createProcessingInstruction(
                        Bstr(L"xml"), Bstr(L"version='1.0' encoding='utf-8'"), declaration.Out()));
    ComPtr<IXMLDOMNode> first;
    EXPECT_EQ(S_FALSE, document_->get_firstChild(first.Out()));
    ComPtr<IXMLDOMNode> inserted;
    ASSERT_EQ(S_OK, document_->insertBefore(AsNode(declaration).Get(), Variant(first.Get()),
                                            inserted.Out()));
    EXPECT_EQ(AsNode(declaration).Get(), inserted.Get());

    ComPtr<IXMLDOMNode> root = NewElement(L"Quellbrooks");
    ASSERT_EQ(S_OK, document_->appendChild(root.Get(), nullptr));

    EXPECT_EQ(root.Get(), RootOf(document_.Get()).Get());
    ComPtr<IXMLDOMNodeList> children = ChildrenOf(AsNode(document_).Get());
    ASSERT_EQ(2, LengthOf(children.Get()));
    EXPECT_EQ(L"xml", NameOf(ItemOf(children.Get(), 0).Get()));
    EXPECT_EQ(L"Quellbrooks", NameOf(ItemOf(children.Get(), 1).Get()));
    Bstr data;
    EXPECT_EQ(S_OK, declaration->get_data(data.Out()));
    EXPECT_EQ(L"version='1.0' encoding='utf-8'", data.str());
}

TEST_F(TreeTest, InsertBeforeAReferenceChildPutsTheNodeInFrontOfIt) {
    LoadXml(L"<Quellbrooks/>");
    ComPtr<IXMLDOMProcessingInstruction> declaration;
    ASSERT_EQ(S_OK, document_->createProcessingInstruction(Bstr(L"xml"), Bstr(L"version='1.0'"),
                                                           declaration.Out()));
    ComPtr<IXMLDOMNode> first;
    ASSERT_EQ(S_OK, document_->get_firstChild(first.Out()));
    ASSERT_EQ(S_OK,
              document_->insertBefore(AsNode(declaration).Get(), Variant(first.Get()), nullptr));
    ComPtr<IXMLDOMNode> now_first;
    ASSERT_EQ(S_OK, document_->get_firstChild(now_first.Out()));
    EXPECT_EQ(L"xml", NameOf(now_first.Get()));
}

TEST_F(TreeTest, TheDocumentTakesOneElementAndNoText) {
    LoadXml(L"<Quellbrooks/>");
    EXPECT_EQ(E_FAIL, document_->appendChild(NewElement(L"Other").Get(), nullptr));
    LoadXml(L"<a>text</a>");
    ComPtr<IXMLDOMNode> text;
    ASSERT_EQ(S_OK, RootOf(document_.Get())->get_firstChild(text.Out()));
    EXPECT_EQ(E_FAIL, document_->appendChild(text.Get(), nullptr));
    EXPECT_EQ(E_FAIL, text->appendChild(NewElement(L"b").Get(), nullptr)) << "text has no children";
}

TEST_F(TreeTest, RefusesNodesOfOtherDocumentsAndLoops) {
    LoadXml(L"<a><b/></a>");
    ComPtr<IXMLDOMNode> a = RootOf(document_.Get());
    ComPtr<IXMLDOMNode> b;
    ASSERT_EQ(S_OK, a->get_firstChild(b.Out()));
    EXPECT_EQ(E_INVALIDARG, b->appendChild(a.Get(), nullptr));
    EXPECT_EQ(E_INVALIDARG, b->appendChild(b.Get(), nullptr));

    ComPtr<IXMLDOMDocument> other = NewDocument();
    ComPtr<IXMLDOMElement> stranger;
    ASSERT_EQ(S_OK, other->createElement(Bstr(L"c"), stranger.Out()));
    EXPECT_EQ(E_INVALIDARG, a->appendChild(AsNode(stranger).Get(), nullptr));
    EXPECT_EQ(E_INVALIDARG, a->removeChild(AsNode(stranger).Get(), nullptr));
    EXPECT_EQ(E_INVALIDARG, b->removeChild(a.Get(), nullptr)) << "a is no child of b";
    EXPECT_EQ(E_INVALIDARG, a->appendChild(nullptr, nullptr));
    // A reference child must be a child of the node inserted into.
    EXPECT_EQ(E_INVALIDARG, b->insertBefore(NewElement(L"d").Get(), Variant(a.Get()), nullptr));
}

TEST_F(TreeTest, CreateRefusesNamesThatAreNoXmlNames) {
    ComPtr<IXMLDOMElement> element;
    EXPECT_EQ(E_FAIL, document_->createElement(Bstr(L"1st"), element.Out()));
    EXPECT_EQ(E_FAIL, document_->createElement(Bstr(L"a b"), element.Out()));
    EXPECT_EQ(E_FAIL, document_->createElement(nullptr, element.Out()));
    EXPECT_FALSE(element);
    ComPtr<IXMLDOMProcessingInstruction> pi;
    EXPECT_EQ(E_FAIL, document_->createProcessingInstruction(Bstr(L"x"), Bstr(L"a?>b"), pi.Out()));
}

TEST_F(TreeTest, ChildListIsLive) {
    LoadXml(L"<Quellbrooks><Item>0</Item><Item>1</Item><Item>2</Item><Item>3</Item></Quellbrooks>");
    ComPtr<IXMLDOMNode> root = RootOf(document_.Get());
    ComPtr<IXMLDOMNodeList> items = ChildrenOf(root.Get());
    ASSERT_EQ(4, LengthOf(items.Get()));

    // Remove entries 1 and 2 the way the greeting manager does: ascending, each at its index
    // minus the number already removed.
    const long chosen[] = {1, 2};
    long removed = 0;
    for (long index : chosen) {
        ComPtr<IXMLDOMNode> item = ItemOf(items.Get(), index - removed);
        ComPtr<IXMLDOMNode> old;
        ASSERT_EQ(S_OK, root->removeChild(item.Get(), old.Out()));
        EXPECT_EQ(item.Get(), old.Get());
        ++removed;
        EXPECT_EQ(4 - removed, LengthOf(items.Get()));
    }
    EXPECT_EQ(L"0", TextOf(ItemOf(items.Get(), 0).Get()));
    EXPECT_EQ(L"3", TextOf(ItemOf(items.Get(), 1).Get()));

    ComPtr<IXMLDOMNode> past_end;
    EXPECT_EQ(S_FALSE, items->get_item(2, past_end.Out()));
    EXPECT_FALSE(past_end);
    EXPECT_EQ(S_FALSE, items->get_item(-1, past_end.Out()));
    EXPECT_FALSE(past_end);
    EXPECT_EQ(E_INVALIDARG, items->get_item(0, nullptr));

    // An appended child shows up in a list taken before.
    ASSERT_EQ(S_OK, root->appendChild(NewElement(L"Item").Get(), nullptr));
    EXPECT_EQ(3, LengthOf(items.Get()));
}

TEST_F(TreeTest, NextSiblingWalksTheListAndEndsWithNull) {
    LoadXml(L"<Quellbrooks><Item/><Other/><Item/></Quellbrooks>");
    ComPtr<IXMLDOMNode> node = ItemOf(ChildrenOf(RootOf(document_.Get()).Get()).Get(), 0);
    std::wstring names;
    while (node) {
        names += NameOf(node.Get()) + L";";
        ComPtr<IXMLDOMNode> next;
        const HRESULT result = node->get_nextSibling(next.Out());
        EXPECT_EQ(next ? S_OK : S_FALSE, result);
        node = next;
    }
    EXPECT_EQ(L"Item;Other;Item;", names);
}

TEST_F(TreeTest, NextNodeIteratesTheListUntilReset) {
    LoadXml(L"<a><b/><c/></a>");
    ComPtr<IXMLDOMNode> a = RootOf(document_.Get());
    ComPtr<IXMLDOMNodeList> children = ChildrenOf(a.Get());
    ComPtr<IXMLDOMNode> node;
    ASSERT_EQ(S_OK, children->nextNode(node.Out()));
    EXPECT_EQ(L"b", NameOf(node.Get()));
    ASSERT_EQ(S_OK, children->nextNode(node.Out()));
    EXPECT_EQ(L"c", NameOf(node.Get()));
    EXPECT_EQ(S_FALSE, children->nextNode(node.Out()));
    EXPECT_FALSE(node);
    ASSERT_EQ(S_OK, children->reset());
    ASSERT_EQ(S_OK, children->nextNode(node.Out()));
    EXPECT_EQ(L"b", NameOf(node.Get()));

    VARIANT_BOOL has = VARIANT_FALSE;
    EXPECT_EQ(S_OK, a->hasChildNodes(&has));
    EXPECT_EQ(VARIANT_TRUE, has);
    EXPECT_EQ(S_FALSE, node->hasChildNodes(&has));
    EXPECT_EQ(VARIANT_FALSE, has);
}

TEST_F(TreeTest, ARemovedNodeStaysUsableOutsideTheDocument) {
    LoadXml(L"<a><b><c>kept</c></b><d/></a>");
    ComPtr<IXMLDOMNode> a = RootOf(document_.Get());
    ComPtr<IXMLDOMNode> b;
    ASSERT_EQ(S_OK, a->get_firstChild(b.Out()));
    ComPtr<IXMLDOMNode> c;
    ASSERT_EQ(S_OK, b->get_firstChild(c.Out()));
    ASSERT_EQ(S_OK, a->removeChild(b.Get(), nullptr));
    b.Reset();  // only c is held now; its removed parent must stay

    EXPECT_EQ(L"kept", TextOf(c.Get()));
    ComPtr<IXMLDOMNode> parent;
    ASSERT_EQ(S_OK, c->get_parentNode(parent.Out()));
    EXPECT_EQ(L"b", NameOf(parent.Get()));
    // Outside the document the removed node has no parent and no siblings.
    ComPtr<IXMLDOMNode> none;
    EXPECT_EQ(S_FALSE, parent->get_parentNode(none.Out()));
    EXPECT_EQ(S_FALSE, parent->get_nextSibling(none.Out()));
    EXPECT_EQ(S_FALSE, parent->get_previousSibling(none.Out()));
    EXPECT_FALSE(none);

    // And it can go back in.
    ASSERT_EQ(S_OK, a->appendChild(parent.Get(), nullptr));
    EXPECT_EQ(L"kept", TextOf(a.Get()));
    ComPtr<IXMLDOMNode> last;
    ASSERT_EQ(S_OK, a->get_lastChild(last.Out()));
    EXPECT_EQ(parent.Get(), last.Get());
}

TEST_F(TreeTest, TextOfAnElementIsAllTextBelowIt) {
    LoadXml(L"<a>x<b>y<c>z</c></b><!-- no --><?pi no?><![CDATA[<w>]]></a>");
    EXPECT_EQ(L"xyz<w>", TextOf(RootOf(document_.Get()).Get()));
    EXPECT_EQ(L"xyz<w>", TextOf(AsNode(document_).Get()));
}

TEST_F(TreeTest, PuttingTextLeavesExactlyOneTextNode) {
    LoadXml(L"<a>x<b>y<c>z</c></b>w</a>");
    ComPtr<IXMLDOMNode> a = RootOf(document_.Get());
    ComPtr<IXMLDOMNode> b;
    ASSERT_EQ(S_OK, ItemOf(ChildrenOf(a.Get()).Get(), 1)
                        ->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(b.Out())));

    ASSERT_EQ(S_OK, a->put_text(Bstr(L"15")));
    ComPtr<IXMLDOMNodeList> children = ChildrenOf(a.Get());
    ASSERT_EQ(1, LengthOf(children.Get()));
    ComPtr<IXMLDOMNode> only = ItemOf(children.Get(), 0);
    DOMNodeType type = NODE_INVALID;
    EXPECT_EQ(S_OK, only->get_nodeType(&type));
    EXPECT_EQ(NODE_TEXT, type);
    EXPECT_EQ(L"#text", NameOf(only.Get()));
    EXPECT_EQ(L"15", TextOf(a.Get()));
    // A held child that the new text replaced keeps its own content.
    EXPECT_EQ(L"yz", TextOf(b.Get()));

    // An empty text still leaves one (empty) text node, so the element keeps its two tags.
    ASSERT_EQ(S_OK, a->put_text(nullptr));
    EXPECT_EQ(1, LengthOf(children.Get()));
    EXPECT_EQ(L"", TextOf(a.Get()));
    EXPECT_EQ(E_FAIL, AsNode(document_)->put_text(Bstr(L"x")));
}

TEST_F(TreeTest, NodesReportTheirNamesAndOwner) {
    LoadXml(L"<?xml version='1.0'?><!-- c --><Quellbrooks>t<![CDATA[d]]></Quellbrooks>");
    ComPtr<IXMLDOMNodeList> top = ChildrenOf(AsNode(document_).Get());
    EXPECT_EQ(L"xml", NameOf(ItemOf(top.Get(), 0).Get()));
    EXPECT_EQ(L"#comment", NameOf(ItemOf(top.Get(), 1).Get()));
    ComPtr<IXMLDOMNode> root = ItemOf(top.Get(), 2);
    EXPECT_EQ(L"Quellbrooks", NameOf(root.Get()));
    ComPtr<IXMLDOMNodeList> inner = ChildrenOf(root.Get());
    EXPECT_EQ(L"#text", NameOf(ItemOf(inner.Get(), 0).Get()));
    EXPECT_EQ(L"#cdata-section", NameOf(ItemOf(inner.Get(), 1).Get()));
    EXPECT_EQ(L"#document", NameOf(AsNode(document_).Get()));

    ComPtr<IXMLDOMDocument> owner;
    EXPECT_EQ(S_OK, root->get_ownerDocument(owner.Out()));
    EXPECT_EQ(document_.Get(), owner.Get());
    ComPtr<IXMLDOMNode> parent;
    EXPECT_EQ(S_OK, root->get_parentNode(parent.Out()));
    EXPECT_EQ(AsNode(document_).Get(), parent.Get());
}

}  // namespace
}  // namespace tovarin::com::testing
