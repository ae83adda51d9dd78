// The document object (CLSID_DOMDocument): a DOM document over pugixml that loads and saves
// files by device path.
#pragma once

#include <msxml2.h>

#include "com/xml/dom_node.h"
#include "com/xml/dom_tree.h"

namespace tovarin::com::xml {

// The tree is a base of its own so that it is built before the node part of the document object
// registers itself in it, and outlives the node part's unregistering.
struct DocumentStore {
    DomTree nodes;
};

class DocumentObject : private DocumentStore, public NodeObject<IXMLDOMDocument> {
  public:
    // The class factory: a new empty document, offered as riid.
    static HRESULT Create(REFIID riid, void** ppv);

    // node's object with a new reference in *out: S_OK, or E_OUTOFMEMORY with *out NULL.
    HRESULT ObjectFor(pugi::xml_node node, IXMLDOMNode** out);

    // IXMLDOMDocument
    STDMETHODIMP get_doctype(IXMLDOMDocumentType** documentType) override;
    STDMETHODIMP get_implementation(IXMLDOMImplementation** impl) override;
    STDMETHODIMP get_documentElement(IXMLDOMElement** DOMElement) override;
    STDMETHODIMP putref_documentElement(IXMLDOMElement* DOMElement) override;
    STDMETHODIMP createElement(BSTR tagName, IXMLDOMElement** element) override;
    STDMETHODIMP createDocumentFragment(IXMLDOMDocumentFragment** docFrag) override;
    STDMETHODIMP createTextNode(BSTR data, IXMLDOMText** text) override;
    STDMETHODIMP createComment(BSTR data, IXMLDOMComment** comment) override;
    STDMETHODIMP createCDATASection(BSTR data, IXMLDOMCDATASection** cdata) override;
    STDMETHODIMP createProcessingInstruction(BSTR target, BSTR data,
                                             IXMLDOMProcessingInstruction** pi) override;
    STDMETHODIMP createAttribute(BSTR name, IXMLDOMAttribute** attribute) override;
    STDMETHODIMP createEntityReference(BSTR name, IXMLDOMEntityReference** entityRef) override;
    STDMETHODIMP getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) override;
    STDMETHODIMP createNode(VARIANT Type, BSTR name, BSTR namespaceURI,
                            IXMLDOMNode** node) override;
    STDMETHODIMP nodeFromID(BSTR idString, IXMLDOMNode** node) override;
    STDMETHODIMP load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) override;
    STDMETHODIMP get_readyState(long* value) override;
    STDMETHODIMP get_parseError(IXMLDOMParseError** errorObj) override;
    STDMETHODIMP get_url(BSTR* urlString) override;
    STDMETHODIMP get_async(VARIANT_BOOL* isAsync) override;
    STDMETHODIMP put_async(VARIANT_BOOL isAsync) override;
    STDMETHODIMP abort() override;
    STDMETHODIMP loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) override;
    STDMETHODIMP save(VARIANT destination) override;
    STDMETHODIMP get_validateOnParse(VARIANT_BOOL* isValidating) override;
    STDMETHODIMP put_validateOnParse(VARIANT_BOOL isValidating) override;
    STDMETHODIMP get_resolveExternals(VARIANT_BOOL* isResolving) override;
    STDMETHODIMP put_resolveExternals(VARIANT_BOOL isResolving) override;
    STDMETHODIMP get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) override;
    STDMETHODIMP put_preserveWhiteSpace(VARIANT_BOOL isPreserving) override;
    STDMETHODIMP put_onreadystatechange(VARIANT readystatechangeSink) override;
    STDMETHODIMP put_ondataavailable(VARIANT ondataavailableSink) override;
    STDMETHODIMP put_ontransformnode(VARIANT ontransformnodeSink) override;

  private:
    DocumentObject();
    ~DocumentObject() override = default;

    // Makes the parsed document the content (an empty document when the parse failed).
    HRESULT TakeParsed(bool parsed, const pugi::xml_document& document, VARIANT_BOOL* isSuccessful);

    // Loading is always synchronous and never validates or fetches anything; the flags are kept
    // only to be read back.
    VARIANT_BOOL async_ = VARIANT_TRUE;
    VARIANT_BOOL validate_on_parse_ = VARIANT_TRUE;
    VARIANT_BOOL resolve_externals_ = VARIANT_TRUE;
    VARIANT_BOOL preserve_white_space_ = VARIANT_FALSE;
};

}  // namespace tovarin::com::xml
