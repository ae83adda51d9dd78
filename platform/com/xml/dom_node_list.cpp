#include "com/xml/dom_node_list.h"

#include <new>

#include "com/xml/dom_document.h"

namespace tovarin::com::xml {

NodeListObject::NodeListObject(DocumentObject& document, IXMLDOMNode* owner, pugi::xml_node parent)
    : document_(document), owner_(ComPtr<IXMLDOMNode>::Share(owner)), parent_(parent) {}

HRESULT NodeListObject::Create(DocumentObject& document, IXMLDOMNode* owner, pugi::xml_node parent,
                               IXMLDOMNodeList** out) {
    *out = new (std::nothrow) NodeListObject(document, owner, parent);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP NodeListObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IXMLDOMNodeList) {
        *ppvObject = static_cast<IXMLDOMNodeList*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP NodeListObject::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) {
        return E_INVALIDARG;
    }
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP NodeListObject::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

STDMETHODIMP NodeListObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

STDMETHODIMP NodeListObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                    UINT*) {
    return E_NOTIMPL;
}

STDMETHODIMP NodeListObject::get_item(long index, IXMLDOMNode** listItem) {
    if (listItem == nullptr) {
        return E_INVALIDARG;
    }
    *listItem = nullptr;
    if (index < 0) {
        return S_FALSE;
    }
    pugi::xml_node child = parent_.first_child();
    for (long i = 0; child && i < index; ++i) {
        child = child.next_sibling();
    }
    if (!child) {
        return S_FALSE;
    }
    return document_.ObjectFor(child, listItem);
}

STDMETHODIMP NodeListObject::get_length(long* listLength) {
    if (listLength == nullptr) {
        return E_INVALIDARG;
    }
    long count = 0;
    for (pugi::xml_node child = parent_.first_child(); child; child = child.next_sibling()) {
        ++count;
    }
    *listLength = count;
    return S_OK;
}

STDMETHODIMP NodeListObject::nextNode(IXMLDOMNode** nextItem) {
    const HRESULT result = get_item(next_, nextItem);
    if (result == S_OK) {
        ++next_;
    }
    return result;
}

STDMETHODIMP NodeListObject::reset() {
    next_ = 0;
    return S_OK;
}

STDMETHODIMP NodeListObject::get__newEnum(IUnknown**) {
    return E_NOTIMPL;
}

}  // namespace tovarin::com::xml
