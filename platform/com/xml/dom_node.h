// Node objects of the document object: one COM object per DOM node, made on demand and kept in
// the node's DomTree while anybody holds it. A node object holds a reference to its document
// object, so the tree outlives every node object.
//
// The document object and its nodes are meant for one thread at a time, as the device's own
// document class (not the free-threaded one) is.
#pragma once

#include <msxml2.h>
#include <pugixml.hpp>

#include "com/com_ptr.h"
#include "com/xml/dom_tree.h"

namespace tovarin::com::xml {

class DocumentObject;

// The IUnknown, IDispatch and IXMLDOMNode methods, shared by every kind of node. Interface is
// the most derived interface the object offers (IXMLDOMNode, IXMLDOMElement, ...).
template <class Interface>
class NodeObject : public Interface, protected RefCounted {
  public:
    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppvObject) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    // IDispatch: no type information; the objects are used through their vtables.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override;

    // IXMLDOMNode
    STDMETHODIMP get_nodeName(BSTR* name) override;
    STDMETHODIMP get_nodeValue(VARIANT* value) override;
    STDMETHODIMP put_nodeValue(VARIANT value) override;
    STDMETHODIMP get_nodeType(DOMNodeType* type) override;
    STDMETHODIMP get_parentNode(IXMLDOMNode** parent) override;
    STDMETHODIMP get_childNodes(IXMLDOMNodeList** childList) override;
    STDMETHODIMP get_firstChild(IXMLDOMNode** firstChild) override;
    STDMETHODIMP get_lastChild(IXMLDOMNode** lastChild) override;
    STDMETHODIMP get_previousSibling(IXMLDOMNode** previousSibling) override;
    STDMETHODIMP get_nextSibling(IXMLDOMNode** nextSibling) override;
    STDMETHODIMP get_attributes(IXMLDOMNamedNodeMap** attributeMap) override;
    STDMETHODIMP insertBefore(IXMLDOMNode* newChild, VARIANT refChild,
                              IXMLDOMNode** outNewChild) override;
    STDMETHODIMP replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                              IXMLDOMNode** outOldChild) override;
    STDMETHODIMP removeChild(IXMLDOMNode* childNode, IXMLDOMNode** oldChild) override;
    STDMETHODIMP appendChild(IXMLDOMNode* newChild, IXMLDOMNode** outNewChild) override;
    STDMETHODIMP hasChildNodes(VARIANT_BOOL* hasChild) override;
    STDMETHODIMP get_ownerDocument(IXMLDOMDocument** DOMDocument) override;
    STDMETHODIMP cloneNode(VARIANT_BOOL deep, IXMLDOMNode** cloneRoot) override;
    STDMETHODIMP get_nodeTypeString(BSTR* nodeType) override;
    STDMETHODIMP get_text(BSTR* text) override;
    STDMETHODIMP put_text(BSTR text) override;
    STDMETHODIMP get_specified(VARIANT_BOOL* isSpecified) override;
    STDMETHODIMP get_definition(IXMLDOMNode** definitionNode) override;
    STDMETHODIMP get_nodeTypedValue(VARIANT* typedValue) override;
    STDMETHODIMP put_nodeTypedValue(VARIANT typedValue) override;
    STDMETHODIMP get_dataType(VARIANT* dataTypeName) override;
    STDMETHODIMP put_dataType(BSTR dataTypeName) override;
    STDMETHODIMP get_xml(BSTR* xmlString) override;
    STDMETHODIMP transformNode(IXMLDOMNode* stylesheet, BSTR* xmlString) override;
    STDMETHODIMP selectNodes(BSTR queryString, IXMLDOMNodeList** resultList) override;
    STDMETHODIMP selectSingleNode(BSTR queryString, IXMLDOMNode** resultNode) override;
    STDMETHODIMP get_parsed(VARIANT_BOOL* isParsed) override;
    STDMETHODIMP get_namespaceURI(BSTR* namespaceURI) override;
    STDMETHODIMP get_prefix(BSTR* prefixString) override;
    STDMETHODIMP get_baseName(BSTR* nameString) override;
    STDMETHODIMP transformNodeToObject(IXMLDOMNode* stylesheet, VARIANT outputObject) override;

  protected:
    // The document object passes itself with is_document true; every other node object holds
    // a reference to its document.
    NodeObject(DocumentObject& document, DomTree& tree, pugi::xml_node node, const IID& own_iid,
               bool is_document);
    ~NodeObject() override;

    DocumentObject& document() const { return document_; }
    DomTree& tree() const { return tree_; }
    pugi::xml_node node() const { return node_; }
    // Returns node's object in *out (S_OK), or NULL and S_FALSE for an empty node.
    HRESULT ReturnNode(pugi::xml_node node, IXMLDOMNode** out) const;

  private:
    HRESULT CheckNewChild(pugi::xml_node child) const;

    DocumentObject& document_;
    DomTree& tree_;
    pugi::xml_node node_;  // a handle; the node itself changes
    const IID& own_iid_;
    const bool is_document_;
};

// A new object for a node that has none yet (element, processing instruction, or any other kind),
// with one reference; nullptr when memory is short.
IXMLDOMNode* NewNodeObject(DocumentObject& document, DomTree& tree, pugi::xml_node node);

}  // namespace tovarin::com::xml
