#include "web/registry_view.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/text.h"

namespace tovarin::emulator::web {
namespace {

using Json = nlohmann::json;

// The longest key or value name and value data the view reads.
constexpr DWORD kMaxName = 256;
constexpr DWORD kMaxData = 4096;

Json ValueData(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number = 0;
        std::copy_n(data.begin(), sizeof(number), reinterpret_cast<BYTE*>(&number));
        return number;
    }
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
        text.resize(std::min(text.size(), text.find(L'\0')));
        return kernel::WideToUtf8(text);
    }
    std::string hex;
    for (DWORD i = 0; i < size; ++i) {
        char byte[4];
        std::snprintf(byte, sizeof(byte), "%02x", data[i]);
        hex += (i ? " " : "") + std::string(byte);
    }
    return hex;
}

const char* TypeName(DWORD type) {
    switch (type) {
        case REG_DWORD:
            return "dword";
        case REG_SZ:
            return "sz";
        case REG_EXPAND_SZ:
            return "expand_sz";
        case REG_MULTI_SZ:
            return "multi_sz";
        case REG_BINARY:
            return "binary";
        default:
            return "other";
    }
}

}  // namespace

Json ReadRegistryKey(const std::string& root, const std::string& key) {
    HKEY base = root == "HKLM" ? HKEY_LOCAL_MACHINE : root == "HKCU" ? HKEY_CURRENT_USER : nullptr;
    if (!base) {
        return Json{{"error", "the root is HKLM or HKCU"}};
    }
    HKEY opened = nullptr;
    const std::wstring path = kernel::Utf8ToWide(key);
    if (RegOpenKeyExW(base, path.c_str(), 0, 0, &opened) != ERROR_SUCCESS) {
        return Json{{"error", root + "\\" + key + " is not there"}};
    }
    Json keys = Json::array();
    for (DWORD i = 0;; ++i) {
        WCHAR name[kMaxName];
        DWORD length = kMaxName;
        if (RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        keys.push_back(kernel::WideToUtf8(std::wstring(name, length)));
    }
    Json values = Json::array();
    for (DWORD i = 0;; ++i) {
        WCHAR name[kMaxName];
        DWORD length = kMaxName;
        DWORD type = 0;
        std::vector<BYTE> data(kMaxData);
        DWORD size = kMaxData;
        const LONG result =
            RegEnumValueW(opened, i, name, &length, nullptr, &type, data.data(), &size);
        if (result == ERROR_MORE_DATA) {
            values.push_back(Json{{"name", kernel::WideToUtf8(std::wstring(name, length))},
                                  {"type", TypeName(type)},
                                  {"data", "(over 4 KB)"}});
            continue;
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        values.push_back(Json{{"name", kernel::WideToUtf8(std::wstring(name, length))},
                              {"type", TypeName(type)},
                              {"data", ValueData(type, data, size)}});
    }
    RegCloseKey(opened);
    std::sort(keys.begin(), keys.end());
    std::sort(values.begin(), values.end(),
              [](const Json& a, const Json& b) { return a["name"] < b["name"]; });
    return Json{{"keys", keys}, {"values", values}};
}

}  // namespace tovarin::emulator::web
