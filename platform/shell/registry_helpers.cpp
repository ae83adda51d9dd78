// The shell's registry helpers: one value read or written in one call, with HRESULT results.
// They are built on the registry API as a program would use it.
#include <cwchar>
#include <vector>

#include <windows.h>
#include <regext.h>

namespace {

// The key a helper works on: hKey itself, or its subkey opened for the call (never created).
class HelperKey {
  public:
    HelperKey(HKEY key, LPCTSTR sub_key) : key_(key) {
        if (sub_key && *sub_key) {
            error_ = RegOpenKeyExW(key, sub_key, 0, 0, &key_);
            owned_ = error_ == ERROR_SUCCESS;
        }
    }
    ~HelperKey() {
        if (owned_) {
            RegCloseKey(key_);
        }
    }
    HelperKey(const HelperKey&) = delete;
    HelperKey& operator=(const HelperKey&) = delete;

    HKEY get() const { return key_; }
    LONG error() const { return error_; }

  private:
    HKEY key_;
    LONG error_ = ERROR_SUCCESS;
    bool owned_ = false;
};

// A handle that is no key is an invalid argument for the helpers; other failures pass through.
HRESULT FromRegistryError(LONG error) {
    return error == ERROR_INVALID_HANDLE ? E_INVALIDARG : HRESULT_FROM_WIN32(error);
}

}  // namespace

extern "C" {

HRESULT WINAPI RegistryGetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                DWORD* pdwData) {
    if (!hKey || !pdwData) {
        return E_INVALIDARG;
    }
    HelperKey key(hKey, pszSubKey);
    if (key.error() != ERROR_SUCCESS) {
        return FromRegistryError(key.error());
    }
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD size = sizeof data;
    LONG error = RegQueryValueExW(key.get(), pszValueName, nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data), &size);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) {
        return FromRegistryError(error);
    }
    if (type != REG_DWORD || error == ERROR_MORE_DATA || size != sizeof data) {
        return E_DATATYPE_MISMATCH;
    }
    *pdwData = data;
    return S_OK;
}

HRESULT WINAPI RegistryGetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, LPTSTR pszData,
                                 UINT cchData) {
    if (!hKey || !pszData) {
        return E_INVALIDARG;
    }
    HelperKey key(hKey, pszSubKey);
    if (key.error() != ERROR_SUCCESS) {
        return FromRegistryError(key.error());
    }
    // The value may change between the size query and the read; then ask again.
    std::vector<WCHAR> text;
    LONG error = ERROR_MORE_DATA;
    DWORD type = REG_NONE;
    DWORD size = 0;
    while (error == ERROR_MORE_DATA) {
        error = RegQueryValueExW(key.get(), pszValueName, nullptr, &type, nullptr, &size);
        if (error != ERROR_SUCCESS) {
            return FromRegistryError(error);
        }
        if (type != REG_SZ) {
            return E_DATATYPE_MISMATCH;
        }
        text.assign(size / sizeof(WCHAR) + 1, L'\0');
        error = RegQueryValueExW(key.get(), pszValueName, nullptr, &type,
                                 reinterpret_cast<BYTE*>(text.data()), &size);
    }
    if (error != ERROR_SUCCESS) {
        return FromRegistryError(error);
    }
    if (type != REG_SZ) {
        return E_DATATYPE_MISMATCH;
    }
    const size_t length = std::wcslen(text.data());  // the vector ends with a zero of its own
    if (length + 1 > cchData) {
        return E_INSUFFICIENT_BUFFER;  // the caller's buffer is left as it was
    }
    std::wmemcpy(pszData, text.data(), length + 1);
    return S_OK;
}

HRESULT WINAPI RegistrySetDWORD(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName, DWORD dwData) {
    if (!hKey) {
        return E_INVALIDARG;
    }
    HelperKey key(hKey, pszSubKey);
    if (key.error() != ERROR_SUCCESS) {
        return FromRegistryError(key.error());
    }
    DWORD type = REG_NONE;
    LONG error = RegQueryValueExW(key.get(), pszValueName, nullptr, &type, nullptr, nullptr);
    if (error == ERROR_SUCCESS && type != REG_DWORD) {
        return E_DATATYPE_MISMATCH;  // a value of another type is left as it is
    }
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
        return FromRegistryError(error);
    }
    error = RegSetValueExW(key.get(), pszValueName, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&dwData), sizeof dwData);
    return error == ERROR_SUCCESS ? S_OK : FromRegistryError(error);
}

HRESULT WINAPI RegistrySetString(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                 LPCTSTR pszData) {
    if (!hKey || !pszData) {
        return E_INVALIDARG;
    }
    const size_t length = std::wcslen(pszData);
    if ((length + 1) * sizeof(WCHAR) > UINT32_MAX) {
        return E_INVALIDARG;
    }
    HelperKey key(hKey, pszSubKey);
    if (key.error() != ERROR_SUCCESS) {
        return FromRegistryError(key.error());
    }
    DWORD type = REG_NONE;
    LONG error = RegQueryValueExW(key.get(), pszValueName, nullptr, &type, nullptr, nullptr);
    if (error == ERROR_SUCCESS && type != REG_SZ) {
        return E_DATATYPE_MISMATCH;
    }
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) {
        return FromRegistryError(error);
    }
    error =
        RegSetValueExW(key.get(), pszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszData),
                       static_cast<DWORD>((length + 1) * sizeof(WCHAR)));
    return error == ERROR_SUCCESS ? S_OK : FromRegistryError(error);
}

}  // extern "C"
