// The child list of a node. The list is live: it holds the parent, not a copy of the children,
// so a child removed or inserted shows at once in the length and the indices.
#pragma once

#include <msxml2.h>
#include <pugixml.hpp>

#include "com/com_ptr.h"

namespace tovarin::com::xml {

class DocumentObject;

class NodeListObject final : public IXMLDOMNodeList, private RefCounted {
  public:
    // The children of parent. owner is parent's object; the list keeps a reference to it, and
    // through it to the document.
    static HRESULT Create(DocumentObject& document, IXMLDOMNode* owner, pugi::xml_node parent,
                          IXMLDOMNodeList** out);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppvObject) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override;

    // IXMLDOMNodeList
    STDMETHODIMP get_item(long index, IXMLDOMNode** listItem) override;
    STDMETHODIMP get_length(long* listLength) override;
    STDMETHODIMP nextNode(IXMLDOMNode** nextItem) override;
    STDMETHODIMP reset() override;
    STDMETHODIMP get__newEnum(IUnknown** ppUnk) override;

  private:
    NodeListObject(DocumentObject& document, IXMLDOMNode* owner, pugi::xml_node parent);
    ~NodeListObject() override = default;

    DocumentObject& document_;
    ComPtr<IXMLDOMNode> owner_;
    pugi::xml_node parent_;
    long next_ = 0;  // index of the node nextNode returns
};

}  // namespace tovarin::com::xml
