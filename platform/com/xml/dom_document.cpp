#include "com/xml/dom_document.h"

#include <filesystem>
#include <new>
#include <optional>
#include <string>

#include "com/bstr.h"
#include "com/class_registry.h"
#include "com/host_file.h"
#include "com/xml/xml_reader.h"
#include "com/xml/xml_writer.h"
#include "kernel/files/api_paths.h"
#include "host/device_paths.h"
#include "kernel/files/volumes.h"
#include "host/text.h"

namespace tovarin::com::xml {
namespace {

constexpr long kReadyStateComplete = 4;

bool IsNameStart(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_' || c == L':' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool IsNameChar(wchar_t c) {
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' || c == 0xB7;
}

bool IsXmlName(std::wstring_view name) {
    if (name.empty() || !IsNameStart(name.front())) {
        return false;
    }
    for (wchar_t c : name) {
        if (!IsNameChar(c)) {
            return false;
        }
    }
    return true;
}

// The path argument of load and save: a string, or a reference to one.
bool PathArgument(const VARIANT& argument, std::wstring_view* path) {
    if (argument.vt == VT_BSTR) {
        *path = BstrView(argument.bstrVal);
        return true;
    }
    if (argument.vt == (VT_BSTR | VT_BYREF) && argument.pbstrVal != nullptr) {
        *path = BstrView(*argument.pbstrVal);
        return true;
    }
    return false;
}

HRESULT GetFlag(VARIANT_BOOL flag, VARIANT_BOOL* out) {
    if (out == nullptr) {
        return E_INVALIDARG;
    }
    *out = flag;
    return S_OK;
}

HRESULT PutFlag(VARIANT_BOOL value, VARIANT_BOOL* flag) {
    *flag = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

const ClassRegistration kDomDocument(CLSID_DOMDocument, CLSCTX_INPROC_SERVER,
                                     &DocumentObject::Create);
const ClassRegistration kDomDocument30(CLSID_DOMDocument30, CLSCTX_INPROC_SERVER,
                                       &DocumentObject::Create);

}  // namespace

DocumentObject::DocumentObject()
    : NodeObject(*this, DocumentStore::nodes, DocumentStore::nodes.content(), IID_IXMLDOMDocument,
                 true) {}

HRESULT DocumentObject::Create(REFIID riid, void** ppv) {
    DocumentObject* document = new (std::nothrow) DocumentObject();
    if (document == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = document->QueryInterface(riid, ppv);
    document->Release();
    return result;
}

HRESULT DocumentObject::ObjectFor(pugi::xml_node node, IXMLDOMNode** out) {
    if (IXMLDOMNode* existing = tree().ObjectFor(node)) {
        existing->AddRef();
        *out = existing;
        return S_OK;
    }
    *out = NewNodeObject(*this, tree(), node);
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP DocumentObject::get_doctype(IXMLDOMDocumentType**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::get_implementation(IXMLDOMImplementation**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::get_documentElement(IXMLDOMElement** DOMElement) {
    if (DOMElement == nullptr) {
        return E_INVALIDARG;
    }
    *DOMElement = nullptr;
    const pugi::xml_node element = tree().content().find_child(
        [](pugi::xml_node child) { return child.type() == pugi::node_element; });
    if (!element) {
        return S_FALSE;
    }
    ComPtr<IXMLDOMNode> node;
    const HRESULT found = ObjectFor(element, node.Out());
    if (FAILED(found)) {
        return found;
    }
    return node->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(DOMElement));
}

STDMETHODIMP DocumentObject::putref_documentElement(IXMLDOMElement*) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createElement(BSTR tagName, IXMLDOMElement** element) {
    if (element == nullptr) {
        return E_INVALIDARG;
    }
    *element = nullptr;
    if (!IsXmlName(BstrView(tagName))) {
        return E_FAIL;
    }
    pugi::xml_node node = tree().CreateDetached(pugi::node_element);
    ComPtr<IXMLDOMNode> object;
    if (!node || !node.set_name(kernel::WideToUtf8(BstrView(tagName)).c_str()) ||
        FAILED(ObjectFor(node, object.Out()))) {
        return E_OUTOFMEMORY;
    }
    return object->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(element));
}

STDMETHODIMP DocumentObject::createDocumentFragment(IXMLDOMDocumentFragment**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createTextNode(BSTR, IXMLDOMText**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createComment(BSTR, IXMLDOMComment**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createCDATASection(BSTR, IXMLDOMCDATASection**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createProcessingInstruction(BSTR target, BSTR data,
                                                         IXMLDOMProcessingInstruction** pi) {
    if (pi == nullptr) {
        return E_INVALIDARG;
    }
    *pi = nullptr;
    if (!IsXmlName(BstrView(target)) || BstrView(data).find(L"?>") != std::wstring_view::npos) {
        return E_FAIL;
    }
    pugi::xml_node node = tree().CreateDetached(pugi::node_pi);
    ComPtr<IXMLDOMNode> object;
    if (!node || !node.set_name(kernel::WideToUtf8(BstrView(target)).c_str()) ||
        !node.set_value(kernel::WideToUtf8(BstrView(data)).c_str()) ||
        FAILED(ObjectFor(node, object.Out()))) {
        return E_OUTOFMEMORY;
    }
    return object->QueryInterface(IID_IXMLDOMProcessingInstruction, reinterpret_cast<void**>(pi));
}

STDMETHODIMP DocumentObject::createAttribute(BSTR, IXMLDOMAttribute**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createEntityReference(BSTR, IXMLDOMEntityReference**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::getElementsByTagName(BSTR, IXMLDOMNodeList**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::createNode(VARIANT, BSTR, BSTR, IXMLDOMNode**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::nodeFromID(BSTR, IXMLDOMNode**) {
    return E_NOTIMPL;
}

HRESULT DocumentObject::TakeParsed(bool parsed, const pugi::xml_document& document,
                                   VARIANT_BOOL* isSuccessful) {
    // A failed parse leaves document empty, and so the content.
    tree().ReplaceContent(document);
    *isSuccessful = parsed ? VARIANT_TRUE : VARIANT_FALSE;
    return parsed ? S_OK : S_FALSE;
}

STDMETHODIMP DocumentObject::load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) {
    std::wstring_view path;
    if (isSuccessful == nullptr || !PathArgument(xmlSource, &path)) {
        return E_INVALIDARG;
    }
    const ReadOptions options{.keep_whitespace_text = preserve_white_space_ != VARIANT_FALSE};
    pugi::xml_document document;
    bool parsed = false;
    if (const std::optional<std::filesystem::path> file = kernel::HostPathFor(path)) {
        if (const std::optional<std::string> bytes = ReadWholeFile(*file)) {
            parsed = ParseDocumentBytes(*bytes, options, document);
        }
    }
    return TakeParsed(parsed, document, isSuccessful);
}

STDMETHODIMP DocumentObject::loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) {
    if (isSuccessful == nullptr) {
        return E_INVALIDARG;
    }
    const ReadOptions options{.keep_whitespace_text = preserve_white_space_ != VARIANT_FALSE};
    pugi::xml_document document;
    const bool parsed = ParseDocumentText(kernel::WideToUtf8(BstrView(bstrXML)), options, document);
    return TakeParsed(parsed, document, isSuccessful);
}

STDMETHODIMP DocumentObject::save(VARIANT destination) {
    std::wstring_view path;
    if (!PathArgument(destination, &path)) {
        return E_INVALIDARG;
    }
    const std::optional<std::filesystem::path> file = kernel::HostPathFor(path);
    if (!file) {
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    }
    const std::string bytes = SerializeDocument(tree().content());
    // The new content is written whole beside the old file before it replaces it, so a volume
    // with a simulated free space must have room for all of it; afterwards only what the file
    // grew by stays used.
    const std::wstring volume = kernel::VolumeOf(kernel::AbsoluteDevicePath(path));
    if (const std::optional<uint64_t> free = kernel::SimulatedFreeSpace(volume)) {
        if (bytes.size() > *free) {
            return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        }
    }
    std::error_code size_error;
    const uintmax_t old_size = std::filesystem::file_size(*file, size_error);
    const HRESULT hr = ReplaceWholeFile(*file, bytes);
    if (SUCCEEDED(hr) && (size_error || bytes.size() > old_size)) {
        kernel::TakeSimulatedSpace(volume, bytes.size() - (size_error ? 0 : old_size));
    }
    return hr;
}

STDMETHODIMP DocumentObject::get_readyState(long* value) {
    if (value == nullptr) {
        return E_INVALIDARG;
    }
    *value = kReadyStateComplete;
    return S_OK;
}

STDMETHODIMP DocumentObject::get_parseError(IXMLDOMParseError**) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::get_url(BSTR*) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::get_async(VARIANT_BOOL* isAsync) {
    return GetFlag(async_, isAsync);
}

STDMETHODIMP DocumentObject::put_async(VARIANT_BOOL isAsync) {
    return PutFlag(isAsync, &async_);
}

STDMETHODIMP DocumentObject::abort() {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::get_validateOnParse(VARIANT_BOOL* isValidating) {
    return GetFlag(validate_on_parse_, isValidating);
}

STDMETHODIMP DocumentObject::put_validateOnParse(VARIANT_BOOL isValidating) {
    return PutFlag(isValidating, &validate_on_parse_);
}

STDMETHODIMP DocumentObject::get_resolveExternals(VARIANT_BOOL* isResolving) {
    return GetFlag(resolve_externals_, isResolving);
}

STDMETHODIMP DocumentObject::put_resolveExternals(VARIANT_BOOL isResolving) {
    return PutFlag(isResolving, &resolve_externals_);
}

STDMETHODIMP DocumentObject::get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) {
    return GetFlag(preserve_white_space_, isPreserving);
}

STDMETHODIMP DocumentObject::put_preserveWhiteSpace(VARIANT_BOOL isPreserving) {
    return PutFlag(isPreserving, &preserve_white_space_);
}

STDMETHODIMP DocumentObject::put_onreadystatechange(VARIANT) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::put_ondataavailable(VARIANT) {
    return E_NOTIMPL;
}

STDMETHODIMP DocumentObject::put_ontransformnode(VARIANT) {
    return E_NOTIMPL;
}

}  // namespace tovarin::com::xml
