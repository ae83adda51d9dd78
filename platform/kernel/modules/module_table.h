// The device's table of loaded modules: handles, reference counts and the states a module passes
// through while it is loaded and unloaded.
//
// The table's lock is never held while a DllMain runs or the host loader works (a DllMain may
// load modules and create threads, and the host loader runs the module's constructors). A module
// whose DllMain(DLL_PROCESS_ATTACH or DLL_PROCESS_DETACH) is running is "busy": another thread
// that wants it waits until it is ready or gone; the busy thread itself gets it at once.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include <windef.h>

#include "kernel/modules/host_library.h"
#include "kernel/modules/module_symbols.h"

namespace tovarin::kernel::modules {

using DllMainProc = BOOL (*)(HANDLE instance, DWORD reason, LPVOID reserved);

// What the API needs of a module, copied out of the table.
struct ModuleView {
    HMODULE handle = nullptr;
    std::wstring name;         // file name on the device ("TestModule.dll")
    std::wstring device_path;  // "\Windows\TestModule.dll"
    bool builtin = false;
    std::shared_ptr<HostLibrary> library;  // keeps the module mapped while the view lives
    const TovarinOrdinalExport* ordinals = nullptr;
    std::span<const std::byte> resources;
};

// What the host loader found in a freshly opened module file.
struct LoadedFile {
    std::shared_ptr<HostLibrary> library;
    DllMainProc dll_main = nullptr;
    const TovarinOrdinalExport* ordinals = nullptr;
    std::span<const std::byte> resources;
};

// A DllMain to call, with the handle to pass it.
struct EntryCall {
    HMODULE handle = nullptr;
    DllMainProc dll_main = nullptr;
};

class ModuleTable {
  public:
    // LoadLibrary of a module file, by its canonical host path. Returns the handle of the module
    // already loaded (its count raised), or of a new record (*is_new) that the caller finishes
    // with CompleteLoad and FinishAttach, or AbandonLoad. nullptr with *error set when the
    // module is being unloaded by the calling thread (its own DllMain cannot load it again) or
    // no handle is free.
    HMODULE BeginLoad(const std::filesystem::path& host_key, std::wstring name,
                      std::wstring device_path, bool* is_new, DWORD* error);
    // Fills the record; from here its handle works for GetProcAddress (its own DllMain may use
    // it), but other threads do not get the module until FinishAttach.
    void CompleteLoad(HMODULE handle, LoadedFile file);
    // The attach failed or was cut short: drops the record. Returns the library to close
    // outside the lock.
    std::shared_ptr<HostLibrary> AbandonLoad(HMODULE handle);
    // DllMain(DLL_PROCESS_ATTACH) succeeded. Returns the entry to detach at once when the module
    // was freed again during its own attach.
    std::optional<EntryCall> FinishAttach(HMODULE handle);

    // A module already loaded under this file name ("TestModule.dll"), its count raised
    // (acquire) or not. Waits for a module busy on another thread. nullptr when there is none.
    HMODULE FindLoadedByName(std::wstring_view name, bool acquire);
    HMODULE FindLoadedByHostKey(const std::filesystem::path& host_key);

    // Modules that are never unloaded (built-in modules, the program), by device path.
    HMODULE FindPermanent(std::wstring_view device_path) const;
    // Adds one, unless one with its device path came first (then that one's handle).
    HMODULE AddPermanent(ModuleView view);

    std::optional<ModuleView> View(HMODULE handle) const;

    // FreeLibrary: false when the handle is not a module's. Sets *detach when the count reached
    // zero: the caller runs that DllMain(DLL_PROCESS_DETACH) and then calls FinishUnload.
    bool Release(HMODULE handle, std::optional<EntryCall>* detach);
    std::shared_ptr<HostLibrary> FinishUnload(HMODULE handle);

    bool DisableThreadCalls(HMODULE handle);

    // Thread notifications: the entries to call, in load order; each stays loaded until
    // EndThreadCalls. Returns the modules whose last reference went meanwhile, to detach.
    std::vector<EntryCall> BeginThreadCalls();
    std::vector<EntryCall> EndThreadCalls(const std::vector<EntryCall>& calls);

    // Device shutdown: every module file, newest first, marked busy for the caller.
    std::vector<EntryCall> BeginUnloadAll();
    // Forgets every record; returns the libraries to close (newest first) outside the lock.
    std::vector<std::shared_ptr<HostLibrary>> Clear();

  private:
    enum class State { Loading, Ready, Unloading };

    struct Record {
        HMODULE handle = nullptr;
        ModuleView view;
        std::filesystem::path host_key;  // empty for built-in modules and the program
        DllMainProc dll_main = nullptr;
        State state = State::Loading;
        std::thread::id busy_thread;  // the thread in Loading or Unloading
        unsigned refs = 0;
        unsigned pins = 0;  // thread notifications in progress
        bool thread_calls = true;
        bool permanent = false;  // built-in modules and the program: never unloaded
        uint64_t sequence = 0;   // load order
    };

    Record* FindLocked(HMODULE handle) const;
    // The loaded module that `matches` accepts, waiting while one is busy on another thread.
    template <typename Matches>
    Record* FindLoadedLocked(std::unique_lock<std::mutex>& lock, Matches matches);
    // A new record with a free handle and the next load number; nullptr when none is free.
    Record* Insert();
    // The record's count and pins are zero: it starts unloading on this thread.
    std::optional<EntryCall> MaybeStartUnload(Record& record);
    std::shared_ptr<HostLibrary> Erase(HMODULE handle);

    mutable std::mutex mutex_;
    std::condition_variable settled_;
    std::map<uintptr_t, std::unique_ptr<Record>> records_;
    uintptr_t next_handle_ = kFirstHandle;
    uint64_t next_sequence_ = 1;

    static constexpr uintptr_t kFirstHandle = 0x30000000;
    static constexpr uintptr_t kLastHandle = 0x3FFF0000;
    static constexpr uintptr_t kHandleStep = 0x10000;
};

// The table of the device that is up (one per process, emptied at device shutdown).
ModuleTable& Modules();

}  // namespace tovarin::kernel::modules
