// CoCreateInstance and the reference counting and interface queries of the objects it makes.
#include <msxml2.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "com/tests/com_test_support.h"

namespace tovarin::com::testing {
namespace {

// Something that is not a null pointer, to see that a failing call clears the out parameter.
void* const kStale = reinterpret_cast<void*>(0x1);

const CLSID kUnknownClass = {
    0x12345678, 0x1234, 0x1234, {0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};

TEST(CoCreateInstance, RefusesWhenTheThreadHasNotInitialised) {
    void* object = kStale;
    EXPECT_EQ(CO_E_NOTINITIALIZED, CoCreateInstance(CLSID_DOMDocument, nullptr,
                                                    CLSCTX_INPROC_SERVER, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
}

class CreateInstanceTest : public ::testing::Test {
  protected:
    ComInitialized com_;
};

TEST_F(CreateInstanceTest, ReportsClassesThatAreNotRegistered) {
    void* object = kStale;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(kUnknownClass, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    // The document class is an in-process server only.
    object = kStale;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_LOCAL_SERVER,
                                                    IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(CreateInstanceTest, ReportsInterfacesTheObjectDoesNotOffer) {
    void* object = kStale;
    EXPECT_EQ(E_NOINTERFACE, CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IXMLDOMNodeList, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(CreateInstanceTest, RefusesAggregationAndANullOutPointer) {
    ComPtr<IXMLDOMDocument> outer = NewDocument();
    void* object = kStale;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CoCreateInstance(CLSID_DOMDocument, outer.Get(),
                                                      CLSCTX_INPROC_SERVER, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);
    EXPECT_EQ(E_POINTER, CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IUnknown, nullptr));
}

TEST_F(CreateInstanceTest, MakesDocumentsUnderEitherClassNameAndAnyServerContext) {
    for (const CLSID* clsid : {&CLSID_DOMDocument, &CLSID_DOMDocument30}) {
        ComPtr<IXMLDOMDocument> document;
        EXPECT_EQ(S_OK,
                  CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                   IID_IXMLDOMDocument, reinterpret_cast<void**>(document.Out())));
        ASSERT_TRUE(document);
        DOMNodeType type = NODE_INVALID;
        EXPECT_EQ(S_OK, document->get_nodeType(&type));
        EXPECT_EQ(NODE_DOCUMENT, type);
    }
}

TEST_F(CreateInstanceTest, EveryInstanceIsANewDocument) {
    ComPtr<IXMLDOMDocument> first = NewDocument();
    ComPtr<IXMLDOMDocument> second = NewDocument();
    EXPECT_NE(first.Get(), second.Get());
}

TEST_F(CreateInstanceTest, QueryInterfaceKeepsOneIdentityAndCountsReferences) {
    ComPtr<IXMLDOMDocument> document = NewDocument();
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK,
              document->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.Out())));
    ComPtr<IXMLDOMNode> node = AsNode(document);
    ComPtr<IUnknown> identity_again;
    ASSERT_EQ(S_OK,
              node->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity_again.Out())));
    EXPECT_EQ(identity.Get(), identity_again.Get());

    // Four references now: document, identity, node, identity_again.
    EXPECT_EQ(5u, document->AddRef());
    EXPECT_EQ(4u, document->Release());

    void* element = kStale;
    EXPECT_EQ(E_NOINTERFACE, document->QueryInterface(IID_IXMLDOMElement, &element));
    EXPECT_EQ(nullptr, element);
    EXPECT_EQ(E_POINTER, document->QueryInterface(IID_IUnknown, nullptr));
}

TEST_F(CreateInstanceTest, ANodeKeepsItsDocumentAlive) {
    ComPtr<IXMLDOMElement> element;
    {
        ComPtr<IXMLDOMDocument> document = NewDocument();
        Bstr name(L"Quellbrooks");
        ASSERT_EQ(S_OK, document->createElement(name, element.Out()));
    }
    // The document's last outside reference is gone; the element still works and still knows it.
    EXPECT_EQ(L"Quellbrooks", NameOf(AsNode(element).Get()));
    ComPtr<IXMLDOMDocument> owner;
    EXPECT_EQ(S_OK, element->get_ownerDocument(owner.Out()));
    EXPECT_TRUE(owner);
}

}  // namespace
}  // namespace tovarin::com::testing
