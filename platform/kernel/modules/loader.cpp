#include "kernel/modules/loader.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include <winbase.h>

#include "host/device.h"
#include "host/device_paths.h"
#include "host/text.h"
#include "kernel/handles.h"
#include "kernel/modules/builtin_modules.h"
#include "kernel/modules/module_table.h"
#include "host/trace.h"

namespace tovarin::kernel::modules {
namespace {

constexpr std::wstring_view kWindowsFolder = L"\\Windows";

thread_local int t_module_entries = 0;

// Marks the calling thread as running a module's loading or unloading while it lives.
class ModuleEntry {
  public:
    ModuleEntry() { ++t_module_entries; }
    ~ModuleEntry() { --t_module_entries; }
    ModuleEntry(const ModuleEntry&) = delete;
    ModuleEntry& operator=(const ModuleEntry&) = delete;
};

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool HasFolder(std::wstring_view name) {
    return name.find_first_of(L"\\/") != name.npos;
}

std::wstring AbsoluteDevicePath(std::wstring_view name) {
    return IsSeparator(name.front()) ? std::wstring(name) : L"\\" + std::wstring(name);
}

std::wstring_view FileNameOf(std::wstring_view device_path) {
    size_t separator = device_path.find_last_of(L"\\/");
    return separator == device_path.npos ? device_path : device_path.substr(separator + 1);
}

bool IsInWindowsFolder(std::wstring_view device_path) {
    size_t separator = device_path.find_last_of(L"\\/");
    return separator != device_path.npos &&
           DeviceNamesEqual(device_path.substr(0, separator), kWindowsFolder);
}

std::wstring WithDefaultExtension(std::wstring_view name) {
    if (name.back() == L'.') {
        return std::wstring(name.substr(0, name.size() - 1));
    }
    return name.find(L'.') == name.npos ? std::wstring(name) + L".dll" : std::wstring(name);
}

// A module file of the image: the path it is known by on the device and on the host.
struct ModuleFile {
    std::wstring device_path;   // with the spelling of the files on the host
    std::filesystem::path key;  // canonical host path: one per file, whatever the spelling
};

std::optional<ModuleFile> FindModuleFile(std::wstring_view device_path) {
    std::optional<std::filesystem::path> host = HostPathFor(device_path);
    if (!host) {
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(*host, error)) {
        return std::nullopt;
    }
    std::filesystem::path key = std::filesystem::canonical(*host, error);
    if (error) {
        return std::nullopt;
    }
    return ModuleFile{DevicePathFor(*host), std::move(key)};
}

HMODULE BuiltinModuleHandle(std::wstring_view file_name) {
    std::shared_ptr<const BuiltinModule> builtin = FindBuiltinModule(file_name);
    if (!builtin) {
        return nullptr;
    }
    std::wstring device_path = std::wstring(kWindowsFolder) + L"\\" + builtin->name;
    if (HMODULE existing = Modules().FindPermanent(device_path)) {
        return existing;
    }
    ModuleView view;
    view.name = builtin->name;
    view.device_path = std::move(device_path);
    view.builtin = true;
    return Modules().AddPermanent(std::move(view));
}

void TraceLoaderMessage(const std::wstring& text) {
    if (Device::IsUp()) {
        Device& device = Device::Current();
        device.trace().Write({device.NowMs(), L"", text});
    }
}

LoadedFile ReadModuleSymbols(std::shared_ptr<HostLibrary> library) {
    LoadedFile file;
    file.dll_main = reinterpret_cast<DllMainProc>(library->FindOwnSymbol("DllMain"));
    file.ordinals =
        static_cast<const TovarinOrdinalExport*>(library->FindOwnSymbol(TOVARIN_ORDINALS_SYMBOL));
    const auto* begin =
        static_cast<const std::byte*>(library->FindOwnSymbol(TOVARIN_RESOURCES_BEGIN_SYMBOL));
    const auto* end =
        static_cast<const std::byte*>(library->FindOwnEndLabel(TOVARIN_RESOURCES_END_SYMBOL));
    if (begin && end && end >= begin) {
        file.resources = {begin, end};
    }
    file.library = std::move(library);
    return file;
}

// Ends an unload that has begun, also when DllMain leaves by an exception (a thread that the
// device ends while it waits inside DllMain): the record goes and the library is closed.
class UnloadFinisher {
  public:
    explicit UnloadFinisher(HMODULE module) : module_(module) {}
    ~UnloadFinisher() { Modules().FinishUnload(module_); }
    UnloadFinisher(const UnloadFinisher&) = delete;
    UnloadFinisher& operator=(const UnloadFinisher&) = delete;

  private:
    HMODULE module_;
};

void RunDetach(const EntryCall& entry) {
    ModuleEntry in_entry;
    UnloadFinisher finisher(entry.handle);
    if (entry.dll_main) {
        entry.dll_main(entry.handle, DLL_PROCESS_DETACH, nullptr);
    }
}

// Drops a module whose attach did not finish, unless dismissed.
class AttachAbandoner {
  public:
    explicit AttachAbandoner(HMODULE module) : module_(module) {}
    ~AttachAbandoner() {
        if (module_) {
            Modules().AbandonLoad(module_);
        }
    }
    void Dismiss() { module_ = nullptr; }
    AttachAbandoner(const AttachAbandoner&) = delete;
    AttachAbandoner& operator=(const AttachAbandoner&) = delete;

  private:
    HMODULE module_;
};

HMODULE LoadModuleFile(const ModuleFile& file) {
    bool is_new = false;
    DWORD error = ERROR_SUCCESS;
    HMODULE module = Modules().BeginLoad(file.key, std::wstring(FileNameOf(file.device_path)),
                                         file.device_path, &is_new, &error);
    if (!module) {
        SetError(error);
        return nullptr;
    }
    if (!is_new) {
        return module;
    }
    AttachAbandoner abandoner(module);
    ModuleEntry in_entry;
    std::string message;
    std::unique_ptr<HostLibrary> library = HostLibrary::Open(file.key, &message);
    if (!library) {
        TraceLoaderMessage(L"LoadLibrary: " + file.device_path + L" cannot be loaded: " +
                           Utf8ToWide(message) + L"\r\n");
        SetError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    LoadedFile loaded = ReadModuleSymbols(std::move(library));
    DllMainProc dll_main = loaded.dll_main;
    Modules().CompleteLoad(module, std::move(loaded));
    if (dll_main && !dll_main(module, DLL_PROCESS_ATTACH, nullptr)) {
        // A module that fails its attach is detached and unloaded at once.
        dll_main(module, DLL_PROCESS_DETACH, nullptr);
        SetError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    abandoner.Dismiss();
    if (std::optional<EntryCall> detach = Modules().FinishAttach(module)) {
        RunDetach(*detach);  // its own DllMain freed it
        SetError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return module;
}

}  // namespace

HMODULE Load(std::wstring_view name) {
    if (name.empty()) {
        SetError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (HasFolder(name)) {
        std::wstring device_path = AbsoluteDevicePath(name);
        if (std::optional<ModuleFile> file = FindModuleFile(device_path)) {
            return LoadModuleFile(*file);
        }
        if (IsInWindowsFolder(device_path)) {
            if (HMODULE builtin = BuiltinModuleHandle(FileNameOf(device_path))) {
                return builtin;
            }
        }
        SetError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    std::wstring file_name = WithDefaultExtension(name);
    if (HMODULE loaded = Modules().FindLoadedByName(file_name, /*acquire=*/true)) {
        return loaded;
    }
    if (HMODULE builtin = BuiltinModuleHandle(file_name)) {
        return builtin;
    }
    if (std::optional<ModuleFile> file =
            FindModuleFile(std::wstring(kWindowsFolder) + L"\\" + file_name)) {
        return LoadModuleFile(*file);
    }
    SetError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE FindLoaded(std::wstring_view name) {
    HMODULE found = nullptr;
    if (name.empty()) {
        // nothing has an empty name
    } else if (HasFolder(name)) {
        std::wstring device_path = AbsoluteDevicePath(name);
        if (std::optional<ModuleFile> file = FindModuleFile(device_path)) {
            found = Modules().FindLoadedByHostKey(file->key);
        } else if (IsInWindowsFolder(device_path)) {
            found = BuiltinModuleHandle(FileNameOf(device_path));
        }
    } else {
        std::wstring file_name = WithDefaultExtension(name);
        found = Modules().FindLoadedByName(file_name, /*acquire=*/false);
        if (!found) {
            found = BuiltinModuleHandle(file_name);
        }
    }
    if (!found) {
        SetError(ERROR_MOD_NOT_FOUND);
    }
    return found;
}

HMODULE ProgramModule() {
    std::error_code error;
    std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    std::wstring device_path = DevicePathFor(program);
    if (device_path.empty()) {
        device_path =
            std::wstring(kWindowsFolder) + L"\\" + Utf8ToWide(program.filename().native());
    }
    if (HMODULE existing = Modules().FindPermanent(device_path)) {
        return existing;
    }
    ModuleView view;
    view.name = FileNameOf(device_path);
    view.device_path = device_path;
    std::string message;
    view.library = HostLibrary::OpenProgram(&message);
    return Modules().AddPermanent(std::move(view));
}

bool Free(HMODULE module) {
    std::optional<EntryCall> detach;
    if (!Modules().Release(module, &detach)) {
        SetError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (detach) {
        RunDetach(*detach);
    }
    return true;
}

bool InModuleEntry() {
    return t_module_entries > 0;
}

void NotifyThread(DWORD reason) {
    // Each module stays loaded while its DllMain runs here, even if another thread frees it.
    class Unpinner {
      public:
        explicit Unpinner(const std::vector<EntryCall>& calls) : calls_(calls) {}
        ~Unpinner() {
            if (armed_) {
                // Leaving by an exception: modules freed meanwhile unload without their detach.
                for (const EntryCall& gone : Modules().EndThreadCalls(calls_)) {
                    Modules().FinishUnload(gone.handle);
                }
            }
        }
        std::vector<EntryCall> Disarm() {
            armed_ = false;
            return Modules().EndThreadCalls(calls_);
        }

      private:
        const std::vector<EntryCall>& calls_;
        bool armed_ = true;
    };

    const std::vector<EntryCall> calls = Modules().BeginThreadCalls();
    Unpinner unpinner(calls);
    for (const EntryCall& call : calls) {
        call.dll_main(call.handle, reason, nullptr);
    }
    for (const EntryCall& detach : unpinner.Disarm()) {
        RunDetach(detach);
    }
}

}  // namespace tovarin::kernel::modules
