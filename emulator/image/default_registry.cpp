#include "image/default_registry.h"

#include <windows.h>

#include <string_view>

#include "common/names.h"
#include "hosts/service_registry.h"
#include "host/registry.h"

namespace tovarin::emulator {
namespace {

struct ServiceListing {
    const wchar_t* library;
    const wchar_t* prefix;
};

constexpr ServiceListing kSuiteServices[] = {
    {kLibraryAnsley, kServicePrefixAnsley},
    {kLibraryCallisk, kServicePrefixCallisk},
    {kLibraryWexmoor, kServicePrefixWexmoor},
};

// Writes values under one key of a registry that is not a device's (no device is up yet).
class KeyWriter {
  public:
    KeyWriter(kernel::HostRegistry& registry, HKEY root, const std::wstring& path)
        : registry_(registry) {
        DWORD disposition = 0;
        result_ = registry_.CreateKey(root, path.c_str(), &key_, &disposition);
    }
    ~KeyWriter() {
        if (result_ == ERROR_SUCCESS) {
            registry_.CloseKey(key_);
        }
    }
    KeyWriter(const KeyWriter&) = delete;
    KeyWriter& operator=(const KeyWriter&) = delete;

    void SetString(const wchar_t* name, std::wstring_view text) {
        std::wstring terminated(text);
        Set(name, REG_SZ, reinterpret_cast<const BYTE*>(terminated.c_str()),
            static_cast<DWORD>((terminated.size() + 1) * sizeof(wchar_t)));
    }
    void SetDword(const wchar_t* name, DWORD value) {
        Set(name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    LONG result() const { return result_; }

  private:
    void Set(const wchar_t* name, DWORD type, const BYTE* data, DWORD size) {
        if (result_ == ERROR_SUCCESS) {
            result_ = registry_.SetValue(key_, name, type, data, size);
        }
    }

    kernel::HostRegistry& registry_;
    HKEY key_ = nullptr;
    LONG result_ = ERROR_SUCCESS;
};

std::wstring ServiceKeyName(std::wstring_view library) {
    constexpr std::wstring_view kExtension = L".dll";
    if (library.size() > kExtension.size() &&
        library.substr(library.size() - kExtension.size()) == kExtension) {
        library.remove_suffix(kExtension.size());
    }
    return std::wstring(library);
}

}  // namespace

bool WriteDefaultRegistry(const std::filesystem::path& hive_dir, std::string* error) {
    kernel::HostRegistry registry(hive_dir);
    if (!FillDefaultHive(registry, HKEY_LOCAL_MACHINE, error) ||
        !FillDefaultHive(registry, HKEY_CURRENT_USER, error)) {
        return false;
    }
    if (!registry.Flush()) {
        *error = "cannot save the registry in " + hive_dir.string();
        return false;
    }
    return true;
}

bool FillDefaultHive(kernel::HostRegistry& registry, HKEY root, std::string* error) {
    if (root == HKEY_CURRENT_USER) {
        KeyWriter shell(registry, HKEY_CURRENT_USER, kKeyShellOverrides);
        shell.SetDword(kValueShellOverridesMode, kDefaultShellMode);
        if (shell.result() != ERROR_SUCCESS) {
            *error = "cannot write the shell's mode (error " + std::to_string(shell.result()) + ")";
            return false;
        }
        // The phone's own settings key is there from the start, as on the phone: the control
        // panel mirrors its auto-answer into it and never creates it.
        KeyWriter phone(registry, HKEY_CURRENT_USER, kKeyControlPanelPhone);
        if (phone.result() != ERROR_SUCCESS) {
            *error = "cannot make the phone's settings key (error " +
                     std::to_string(phone.result()) + ")";
            return false;
        }
        return true;
    }
    for (const ServiceListing& service : kSuiteServices) {
        KeyWriter key(registry, HKEY_LOCAL_MACHINE,
                      std::wstring(kKeyServices) + L"\\" + ServiceKeyName(service.library));
        key.SetString(kValueServiceDll, service.library);
        key.SetString(kValueServicePrefix, service.prefix);
        if (key.result() != ERROR_SUCCESS) {
            *error = "cannot write the service list (error " + std::to_string(key.result()) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace tovarin::emulator
