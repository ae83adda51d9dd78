// Helpers for the component object tests: owned BSTRs and VARIANTs, per-test initialisation of
// the component library, and a booted device whose image lives in a temporary folder.
#pragma once

#include <msxml2.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "com/com_ptr.h"
#include "host/device.h"
#include "testing/temp_image.h"

namespace tovarin::com::testing {

// One BSTR, freed with the object.
class Bstr {
  public:
    explicit Bstr(const wchar_t* text) : text_(SysAllocString(text)) {}
    Bstr() = default;
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    operator BSTR() const { return text_; }
    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    std::wstring str() const {
        return text_ == nullptr ? std::wstring() : std::wstring(text_, SysStringLen(text_));
    }

  private:
    BSTR text_ = nullptr;
};

// A VARIANT cleared with the object.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    explicit Variant(const wchar_t* text) : Variant() {
        value_.vt = VT_BSTR;
        value_.bstrVal = SysAllocString(text);
    }
    explicit Variant(IUnknown* object) : Variant() {
        value_.vt = VT_UNKNOWN;
        value_.punkVal = object;
        if (object != nullptr) {
            object->AddRef();
        }
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    operator VARIANT() const { return value_; }
    VARIANT* get() { return &value_; }

  private:
    VARIANT value_;
};

// The component library initialised on the test's thread for the test's duration.
class ComInitialized {
  public:
    ComInitialized() { EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)); }
    ~ComInitialized() { CoUninitialize(); }
    ComInitialized(const ComInitialized&) = delete;
    ComInitialized& operator=(const ComInitialized&) = delete;
};

inline ComPtr<IXMLDOMDocument> NewDocument() {
    ComPtr<IXMLDOMDocument> document;
    EXPECT_EQ(S_OK,
              CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IXMLDOMDocument, reinterpret_cast<void**>(document.Out())));
    return document;
}

template <class Interface>
ComPtr<IXMLDOMNode> AsNode(const ComPtr<Interface>& object) {
    ComPtr<IXMLDOMNode> node;
    EXPECT_EQ(S_OK, object->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(node.Out())));
    return node;
}

inline std::wstring NameOf(IXMLDOMNode* node) {
    Bstr name;
    EXPECT_EQ(S_OK, node->get_nodeName(name.Out()));
    return name.str();
}

inline std::wstring TextOf(IXMLDOMNode* node) {
    Bstr text;
    EXPECT_EQ(S_OK, node->get_text(text.Out()));
    return text.str();
}

inline ComPtr<IXMLDOMNodeList> ChildrenOf(IXMLDOMNode* node) {
    ComPtr<IXMLDOMNodeList> list;
    EXPECT_EQ(S_OK, node->get_childNodes(list.Out()));
    return list;
}

inline long LengthOf(IXMLDOMNodeList* list) {
    long length = -1;
    EXPECT_EQ(S_OK, list->get_length(&length));
    return length;
}

inline ComPtr<IXMLDOMNode> ItemOf(IXMLDOMNodeList* list, long index) {
    ComPtr<IXMLDOMNode> item;
    EXPECT_EQ(S_OK, list->get_item(index, item.Out())) << "item " << index;
    return item;
}

inline ComPtr<IXMLDOMNode> RootOf(IXMLDOMDocument* document) {
    ComPtr<IXMLDOMElement> root;
    EXPECT_EQ(S_OK, document->get_documentElement(root.Out()));
    return root ? AsNode(root) : ComPtr<IXMLDOMNode>();
}

// A device booted on a fresh image with a "\Windows" folder, the component library initialised
// on the test's thread, and host-side access to the image's files.
class DeviceTest : public ::testing::Test {
  protected:
    DeviceTest() : device_(Options(image_)) { image_.AddFolder("Windows"); }

    static kernel::DeviceOptions Options(const kernel::testing::TempImage& image) {
        kernel::DeviceOptions options;
        options.image_root = image.root();
        return options;
    }

    std::filesystem::path HostPath(const std::filesystem::path& relative) const {
        return image_.root() / relative;
    }
    void WriteFile(const std::filesystem::path& relative, std::string_view bytes) const {
        std::ofstream out(HostPath(relative), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        ASSERT_TRUE(out.good());
    }
    std::string ReadFile(const std::filesystem::path& relative) const {
        std::ifstream in(HostPath(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // load() of a device path: its result and whether it reported success.
    HRESULT Load(IXMLDOMDocument* document, const wchar_t* device_path, VARIANT_BOOL* ok) {
        return document->load(Variant(device_path), ok);
    }

    kernel::testing::TempImage image_;
    kernel::Device device_;
    ComInitialized com_;
};

}  // namespace tovarin::com::testing
