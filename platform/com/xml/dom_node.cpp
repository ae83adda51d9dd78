#include "com/xml/dom_node.h"

#include <new>
#include <string>

#include "com/bstr.h"
#include "com/xml/dom_document.h"
#include "com/xml/dom_node_list.h"
#include "host/text.h"

namespace tovarin::com::xml {
namespace {

std::string Utf8Of(BSTR text) {
    return kernel::WideToUtf8(BstrView(text));
}

HRESULT ReturnUtf8(std::string_view utf8, BSTR* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    return ReturnBstr(kernel::Utf8ToWide(utf8), out);
}

std::string_view DoctypeName(pugi::xml_node doctype) {
    const std::string_view declaration = doctype.value();
    return declaration.substr(0, declaration.find_first_of(" \t\r\n["));
}

// An element's (or the document's) text: the text of every text and CDATA node below it, in
// document order.
class TextCollector : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            text.append(node.value());
        }
        return true;
    }
    std::string text;
};

// The reference child of insertBefore: false for anything but an empty or null VARIANT or a
// node object of this tree; *out stays empty for "no reference child" (append).
bool ReferenceChild(const DomTree& tree, const VARIANT& ref, pugi::xml_node* out) {
    *out = pugi::xml_node();
    IUnknown* object = nullptr;
    switch (ref.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return true;
        case VT_UNKNOWN:
            object = ref.punkVal;
            break;
        case VT_DISPATCH:
            object = ref.pdispVal;
            break;
        default:
            return false;
    }
    if (object == nullptr) {
        return true;
    }
    ComPtr<IXMLDOMNode> node;
    if (FAILED(object->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.Out())))) {
        return false;
    }
    *out = tree.NodeOf(node.Get());
    return static_cast<bool>(*out);
}

}  // namespace

template <class Interface>
NodeObject<Interface>::NodeObject(DocumentObject& document, DomTree& tree, pugi::xml_node node,
                                  const IID& own_iid, bool is_document)
    : document_(document), tree_(tree), node_(node), own_iid_(own_iid), is_document_(is_document) {
    if (!is_document_) {
        document_.AddRef();
    }
    tree_.Register(node_, static_cast<IXMLDOMNode*>(static_cast<Interface*>(this)));
}

template <class Interface>
NodeObject<Interface>::~NodeObject() {
    tree_.Unregister(node_);
    if (!is_document_) {
        document_.Release();
    }
}

template <class Interface>
HRESULT NodeObject<Interface>::ReturnNode(pugi::xml_node node, IXMLDOMNode** out) const {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = nullptr;
    if (!node) {
        return S_FALSE;
    }
    return document_.ObjectFor(node, out);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IXMLDOMNode ||
        riid == own_iid_) {
        *ppvObject = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_INVALIDARG;
    }
    *pctinfo = 0;
    return S_OK;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                           EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nodeName(BSTR* name) {
    if (is_document_) {
        return ReturnUtf8("#document", name);
    }
    switch (node_.type()) {
        case pugi::node_element:
        case pugi::node_pi:
            return ReturnUtf8(node_.name(), name);
        case pugi::node_pcdata:
            return ReturnUtf8("#text", name);
        case pugi::node_cdata:
            return ReturnUtf8("#cdata-section", name);
        case pugi::node_comment:
            return ReturnUtf8("#comment", name);
        case pugi::node_doctype:
            return ReturnUtf8(DoctypeName(node_), name);
        default:
            return ReturnUtf8("", name);
    }
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nodeValue(VARIANT*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::put_nodeValue(VARIANT) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nodeType(DOMNodeType* type) {
    if (type == nullptr) {
        return E_INVALIDARG;
    }
    if (is_document_) {
        *type = NODE_DOCUMENT;
        return S_OK;
    }
    switch (node_.type()) {
        case pugi::node_element:
            *type = NODE_ELEMENT;
            break;
        case pugi::node_pcdata:
            *type = NODE_TEXT;
            break;
        case pugi::node_cdata:
            *type = NODE_CDATA_SECTION;
            break;
        case pugi::node_comment:
            *type = NODE_COMMENT;
            break;
        case pugi::node_pi:
            *type = NODE_PROCESSING_INSTRUCTION;
            break;
        case pugi::node_doctype:
            *type = NODE_DOCUMENT_TYPE;
            break;
        default:
            *type = NODE_INVALID;
            break;
    }
    return S_OK;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_parentNode(IXMLDOMNode** parent) {
    return ReturnNode(tree_.ParentOf(node_), parent);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_childNodes(IXMLDOMNodeList** childList) {
    if (childList == nullptr) {
        return E_INVALIDARG;
    }
    return NodeListObject::Create(document_, static_cast<Interface*>(this), node_, childList);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_firstChild(IXMLDOMNode** firstChild) {
    return ReturnNode(node_.first_child(), firstChild);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_lastChild(IXMLDOMNode** lastChild) {
    return ReturnNode(node_.last_child(), lastChild);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_previousSibling(IXMLDOMNode** previousSibling) {
    const bool has_siblings = !is_document_ && !tree_.IsDetachedRoot(node_);
    return ReturnNode(has_siblings ? node_.previous_sibling() : pugi::xml_node(), previousSibling);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nextSibling(IXMLDOMNode** nextSibling) {
    const bool has_siblings = !is_document_ && !tree_.IsDetachedRoot(node_);
    return ReturnNode(has_siblings ? node_.next_sibling() : pugi::xml_node(), nextSibling);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_attributes(IXMLDOMNamedNodeMap**) {
    return E_NOTIMPL;
}

// The DOM's rules for a new child: only elements and the document take children; the document
// takes one element and no text; a node never goes below itself.
template <class Interface>
HRESULT NodeObject<Interface>::CheckNewChild(pugi::xml_node child) const {
    if (!child || tree_.IsDocumentNode(child)) {
        return E_INVALIDARG;
    }
    if (!is_document_ && node_.type() != pugi::node_element) {
        return E_FAIL;
    }
    for (pugi::xml_node up = node_; up; up = up.parent()) {
        if (up == child) {
            return E_INVALIDARG;
        }
    }
    switch (child.type()) {
        case pugi::node_element:
            if (is_document_) {
                for (pugi::xml_node sibling : node_.children()) {
                    if (sibling.type() == pugi::node_element && sibling != child) {
                        return E_FAIL;
                    }
                }
            }
            return S_OK;
        case pugi::node_pcdata:
        case pugi::node_cdata:
            return is_document_ ? E_FAIL : S_OK;
        case pugi::node_pi:
        case pugi::node_comment:
            return S_OK;
        case pugi::node_doctype:
            return is_document_ ? S_OK : E_FAIL;
        default:
            return E_FAIL;
    }
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::insertBefore(IXMLDOMNode* newChild, VARIANT refChild,
                                                 IXMLDOMNode** outNewChild) {
    if (outNewChild != nullptr) {
        *outNewChild = nullptr;
    }
    const pugi::xml_node child = tree_.NodeOf(newChild);
    pugi::xml_node before;
    if (!ReferenceChild(tree_, refChild, &before) || (before && before.parent() != node_)) {
        return E_INVALIDARG;
    }
    const HRESULT allowed = CheckNewChild(child);
    if (FAILED(allowed)) {
        return allowed;
    }
    if (child != before) {
        const bool moved = before ? static_cast<bool>(node_.insert_move_before(child, before))
                                  : static_cast<bool>(node_.append_move(child));
        if (!moved) {
            return E_FAIL;
        }
    }
    return outNewChild != nullptr ? document_.ObjectFor(child, outNewChild) : S_OK;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::replaceChild(IXMLDOMNode*, IXMLDOMNode*, IXMLDOMNode**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::removeChild(IXMLDOMNode* childNode, IXMLDOMNode** oldChild) {
    if (oldChild != nullptr) {
        *oldChild = nullptr;
    }
    const pugi::xml_node child = tree_.NodeOf(childNode);
    if (!child || child.parent() != node_) {
        return E_INVALIDARG;
    }
    // The caller holds childNode, so the detached node stays until that reference goes.
    tree_.Detach(child);
    return oldChild != nullptr ? document_.ObjectFor(child, oldChild) : S_OK;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::appendChild(IXMLDOMNode* newChild, IXMLDOMNode** outNewChild) {
    VARIANT append;
    VariantInit(&append);
    return insertBefore(newChild, append, outNewChild);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::hasChildNodes(VARIANT_BOOL* hasChild) {
    if (hasChild == nullptr) {
        return E_INVALIDARG;
    }
    const bool has = static_cast<bool>(node_.first_child());
    *hasChild = has ? VARIANT_TRUE : VARIANT_FALSE;
    return has ? S_OK : S_FALSE;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_ownerDocument(IXMLDOMDocument** DOMDocument) {
    if (DOMDocument == nullptr) {
        return E_INVALIDARG;
    }
    if (is_document_) {
        *DOMDocument = nullptr;
        return S_FALSE;
    }
    document_.AddRef();
    *DOMDocument = &document_;
    return S_OK;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::cloneNode(VARIANT_BOOL, IXMLDOMNode**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nodeTypeString(BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_text(BSTR* text) {
    if (is_document_ || node_.type() == pugi::node_element) {
        TextCollector collector;
        node_.traverse(collector);
        return ReturnUtf8(collector.text, text);
    }
    return ReturnUtf8(node_.value(), text);
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::put_text(BSTR text) {
    if (is_document_) {
        return E_FAIL;
    }
    const std::string value = Utf8Of(text);
    switch (node_.type()) {
        case pugi::node_element: {
            tree_.DetachChildren(node_);
            pugi::xml_node only = node_.append_child(pugi::node_pcdata);
            return only && only.set_value(value.c_str()) ? S_OK : E_OUTOFMEMORY;
        }
        case pugi::node_pcdata:
        case pugi::node_cdata:
        case pugi::node_comment:
        case pugi::node_pi:
            return node_.set_value(value.c_str()) ? S_OK : E_OUTOFMEMORY;
        default:
            return E_FAIL;
    }
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_specified(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_definition(IXMLDOMNode**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_nodeTypedValue(VARIANT*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::put_nodeTypedValue(VARIANT) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_dataType(VARIANT*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::put_dataType(BSTR) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_xml(BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::transformNode(IXMLDOMNode*, BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::selectNodes(BSTR, IXMLDOMNodeList**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::selectSingleNode(BSTR, IXMLDOMNode**) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_parsed(VARIANT_BOOL*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_namespaceURI(BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_prefix(BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::get_baseName(BSTR*) {
    return E_NOTIMPL;
}

template <class Interface>
STDMETHODIMP NodeObject<Interface>::transformNodeToObject(IXMLDOMNode*, VARIANT) {
    return E_NOTIMPL;
}

template class NodeObject<IXMLDOMNode>;
template class NodeObject<IXMLDOMElement>;
template class NodeObject<IXMLDOMProcessingInstruction>;
template class NodeObject<IXMLDOMDocument>;

namespace {

// Text, CDATA, comments and the document type: nodes with no interface beyond IXMLDOMNode.
class PlainNode final : public NodeObject<IXMLDOMNode> {
  public:
    PlainNode(DocumentObject& document, DomTree& tree, pugi::xml_node node)
        : NodeObject(document, tree, node, IID_IXMLDOMNode, false) {}
};

class ElementNode final : public NodeObject<IXMLDOMElement> {
  public:
    ElementNode(DocumentObject& document, DomTree& tree, pugi::xml_node node)
        : NodeObject(document, tree, node, IID_IXMLDOMElement, false) {}

    STDMETHODIMP get_tagName(BSTR* tagName) override { return ReturnUtf8(node().name(), tagName); }
    STDMETHODIMP getAttribute(BSTR, VARIANT*) override { return E_NOTIMPL; }
    STDMETHODIMP setAttribute(BSTR, VARIANT) override { return E_NOTIMPL; }
    STDMETHODIMP removeAttribute(BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP getAttributeNode(BSTR, IXMLDOMAttribute**) override { return E_NOTIMPL; }
    STDMETHODIMP setAttributeNode(IXMLDOMAttribute*, IXMLDOMAttribute**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP removeAttributeNode(IXMLDOMAttribute*, IXMLDOMAttribute**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP getElementsByTagName(BSTR, IXMLDOMNodeList**) override { return E_NOTIMPL; }
    STDMETHODIMP normalize() override { return E_NOTIMPL; }
};

class ProcessingInstructionNode final : public NodeObject<IXMLDOMProcessingInstruction> {
  public:
    ProcessingInstructionNode(DocumentObject& document, DomTree& tree, pugi::xml_node node)
        : NodeObject(document, tree, node, IID_IXMLDOMProcessingInstruction, false) {}

    STDMETHODIMP get_target(BSTR* name) override { return ReturnUtf8(node().name(), name); }
    STDMETHODIMP get_data(BSTR* value) override { return ReturnUtf8(node().value(), value); }
    STDMETHODIMP put_data(BSTR value) override {
        return node().set_value(Utf8Of(value).c_str()) ? S_OK : E_OUTOFMEMORY;
    }
};

}  // namespace

IXMLDOMNode* NewNodeObject(DocumentObject& document, DomTree& tree, pugi::xml_node node) {
    switch (node.type()) {
        case pugi::node_element:
            return new (std::nothrow) ElementNode(document, tree, node);
        case pugi::node_pi:
            return new (std::nothrow) ProcessingInstructionNode(document, tree, node);
        default:
            return new (std::nothrow) PlainNode(document, tree, node);
    }
}

}  // namespace tovarin::com::xml
