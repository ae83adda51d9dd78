// VARIANT lifetime: a VARIANT owns the BSTR or the interface reference it holds; a by-reference
// VARIANT owns nothing.
#include <oleauto.h>

#include <cstring>

namespace {

// Types a VARIANT of this platform may hold by value. Arrays, records and decimals are not
// supported.
bool IsSupportedType(VARTYPE vt) {
    if (vt & VT_BYREF) {
        return true;
    }
    switch (vt) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_I1:
        case VT_UI1:
        case VT_UI2:
        case VT_UI4:
        case VT_I8:
        case VT_UI8:
        case VT_INT:
        case VT_UINT:
            return true;
        default:
            return false;
    }
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
    if (pvarg != nullptr) {
        std::memset(pvarg, 0, sizeof(*pvarg));
        pvarg->vt = VT_EMPTY;
    }
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (pvarg == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsSupportedType(pvarg->vt)) {
        return DISP_E_BADVARTYPE;
    }
    switch (pvarg->vt) {
        case VT_BSTR:
            SysFreeString(pvarg->bstrVal);
            break;
        case VT_UNKNOWN:
            if (pvarg->punkVal != nullptr) {
                pvarg->punkVal->Release();
            }
            break;
        case VT_DISPATCH:
            if (pvarg->pdispVal != nullptr) {
                pvarg->pdispVal->Release();
            }
            break;
        default:
            break;
    }
    pvarg->vt = VT_EMPTY;
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (pvargDest == nullptr || pvargSrc == nullptr) {
        return E_INVALIDARG;
    }
    if (pvargDest == pvargSrc) {
        return S_OK;
    }
    if (!IsSupportedType(pvargSrc->vt)) {
        return DISP_E_BADVARTYPE;
    }
    const HRESULT cleared = VariantClear(pvargDest);
    if (FAILED(cleared)) {
        return cleared;
    }
    VARIANT copy = *pvargSrc;
    switch (copy.vt) {
        case VT_BSTR:
            if (pvargSrc->bstrVal != nullptr) {
                copy.bstrVal =
                    SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
                if (copy.bstrVal == nullptr) {
                    return E_OUTOFMEMORY;
                }
            }
            break;
        case VT_UNKNOWN:
            if (copy.punkVal != nullptr) {
                copy.punkVal->AddRef();
            }
            break;
        case VT_DISPATCH:
            if (copy.pdispVal != nullptr) {
                copy.pdispVal->AddRef();
            }
            break;
        default:
            break;
    }
    *pvargDest = copy;
    return S_OK;
}
