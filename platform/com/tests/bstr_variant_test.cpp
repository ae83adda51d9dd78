// BSTR layout and the VARIANT lifetime rules.
#include <oleauto.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace tovarin::com::testing {
namespace {

uint32_t PrefixOf(BSTR text) {
    uint32_t prefix;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof(prefix), sizeof(prefix));
    return prefix;
}

TEST(Bstr, CarriesItsByteLengthBeforeTheFirstCharacter) {
    BSTR text = SysAllocString(L"Hello");
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(5 * sizeof(OLECHAR), PrefixOf(text));
    EXPECT_EQ(5u, SysStringLen(text));
    EXPECT_EQ(5 * sizeof(OLECHAR), SysStringByteLen(text));
    EXPECT_EQ(L'\0', text[5]);
    EXPECT_STREQ(L"Hello", text);
    SysFreeString(text);
}

TEST(Bstr, LengthCountsEmbeddedNullCharacters) {
    const OLECHAR source[] = {L'a', L'\0', L'b'};
    BSTR text = SysAllocStringLen(source, 3);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(3u, SysStringLen(text));
    EXPECT_EQ(3 * sizeof(OLECHAR), PrefixOf(text));
    EXPECT_EQ(L'b', text[2]);
    EXPECT_EQ(L'\0', text[3]);
    SysFreeString(text);
}

TEST(Bstr, AllocatingWithoutASourceGivesAZeroedStringOfThatLength) {
    BSTR text = SysAllocStringLen(nullptr, 4);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(4u, SysStringLen(text));
    for (int i = 0; i <= 4; ++i) {
        EXPECT_EQ(L'\0', text[i]);
    }
    SysFreeString(text);
}

TEST(Bstr, NullStandsForTheEmptyString) {
    EXPECT_EQ(nullptr, SysAllocString(nullptr));
    EXPECT_EQ(0u, SysStringLen(nullptr));
    EXPECT_EQ(0u, SysStringByteLen(nullptr));
    BSTR empty = SysAllocString(L"");
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0u, SysStringLen(empty));
    SysFreeString(empty);
}

TEST(Bstr, ReAllocReplacesTheString) {
    BSTR text = SysAllocString(L"old");
    EXPECT_TRUE(SysReAllocString(&text, L"newer"));
    EXPECT_EQ(5u, SysStringLen(text));
    EXPECT_STREQ(L"newer", text);
    SysFreeString(text);
    EXPECT_FALSE(SysReAllocString(nullptr, L"x"));
}

// An object that counts its references, to watch what VARIANTs do with them.
class CountedObject : public IUnknown {
  public:
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    ULONG references = 1;
};

TEST(Variant, InitMakesItEmptyAndClearReleasesWhatItHolds) {
    VARIANT value;
    std::memset(&value, 0xAB, sizeof(value));
    VariantInit(&value);
    EXPECT_EQ(VT_EMPTY, value.vt);

    CountedObject object;
    object.AddRef();
    value.vt = VT_UNKNOWN;
    value.punkVal = &object;
    EXPECT_EQ(S_OK, VariantClear(&value));
    EXPECT_EQ(VT_EMPTY, value.vt);
    EXPECT_EQ(1u, object.references);

    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"owned");
    EXPECT_EQ(S_OK, VariantClear(&value));
    EXPECT_EQ(VT_EMPTY, value.vt);
}

TEST(Variant, ClearLeavesByReferenceValuesAlone) {
    CountedObject object;
    IUnknown* pointer = &object;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_UNKNOWN | VT_BYREF;
    value.ppunkVal = &pointer;
    EXPECT_EQ(S_OK, VariantClear(&value));
    EXPECT_EQ(1u, object.references);
}

TEST(Variant, ClearRefusesTypesItCannotOwn) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_ARRAY | VT_I4;
    EXPECT_EQ(DISP_E_BADVARTYPE, VariantClear(&value));
    EXPECT_EQ(VT_ARRAY | VT_I4, value.vt);
    EXPECT_EQ(E_INVALIDARG, VariantClear(nullptr));
}

TEST(Variant, CopyDuplicatesStringsAndAddsReferences) {
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(L"text");
    VARIANT copy;
    VariantInit(&copy);
    ASSERT_EQ(S_OK, VariantCopy(&copy, &source));
    EXPECT_EQ(VT_BSTR, copy.vt);
    EXPECT_NE(source.bstrVal, copy.bstrVal);
    EXPECT_STREQ(L"text", copy.bstrVal);
    VariantClear(&source);

    CountedObject object;
    source.vt = VT_UNKNOWN;
    source.punkVal = &object;
    // Copying over the string copy frees it and takes a reference to the object.
    ASSERT_EQ(S_OK, VariantCopy(&copy, &source));
    EXPECT_EQ(&object, copy.punkVal);
    EXPECT_EQ(2u, object.references);
    VariantClear(&copy);
    EXPECT_EQ(1u, object.references);
}

}  // namespace
}  // namespace tovarin::com::testing
