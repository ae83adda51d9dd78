#include "media/filters/device_name.h"

namespace tovarin::media {

std::wstring ReadDeviceName(IPropertyBag* bag, IErrorLog* log) {
    if (bag == nullptr) {
        return {};
    }
    VARIANT name;
    VariantInit(&name);
    name.vt = VT_BSTR;
    std::wstring result;
    if (SUCCEEDED(bag->Read(L"DeviceName", &name, log)) && name.vt == VT_BSTR &&
        name.bstrVal != nullptr) {
        result = name.bstrVal;
    }
    VariantClear(&name);
    return result;
}

}  // namespace tovarin::media
