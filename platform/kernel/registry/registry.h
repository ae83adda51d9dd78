// The device registry: the keys and values of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, the
// handles of open keys, change notifications and persistence in .reg files.
//
// Every method may be called from any thread at any time. The registry's lock is held only while
// the tree is read or changed; callbacks, platform waits, message queue writes and disk writes
// happen outside it.
//
// Persistence: the hives load from "HKLM.reg" and "HKCU.reg" in the hive folder at construction
// and are saved there by a host thread once the registry has been quiet for a moment (a burst of
// writes costs one save). Flush() and the destructor save at once. Keys under "\System\State"
// are never saved. A hive file that cannot be parsed is set aside as "<file>.bad" and its root
// starts empty; LoadMessages() tells what happened.
#pragma once

#include <windef.h>

#include <array>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "kernel/registry/change_notifier.h"
#include "kernel/registry/key_tree.h"

namespace tovarin::kernel {

namespace registry {
class SaveScheduler;
}

struct RegistryOptions {
    // How long the registry must be quiet before the hives are saved, and the longest a change
    // waits for its save while changes keep coming.
    std::chrono::milliseconds save_delay{200};
    std::chrono::milliseconds longest_save_delay{2000};
};

class Registry {
  public:
    // An empty hive_dir keeps the registry in memory only.
    explicit Registry(std::filesystem::path hive_dir);
    Registry(std::filesystem::path hive_dir, RegistryOptions options);
    ~Registry();  // saves what is pending
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Saves the changed hives now. False when a hive could not be written.
    bool Flush();
    void SetSaveDelay(std::chrono::milliseconds quiet, std::chrono::milliseconds longest);
    // What went wrong while loading the hives, one message per problem, naming file and line,
    // and the temporary files of an interrupted save that were removed.
    std::vector<std::wstring> LoadMessages() const;
    // Whether the hive of a root (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER) came from its file: false
    // when the file was missing, unreadable or set aside, and for a memory-only registry.
    bool LoadedFromFile(HKEY root) const;
    // Hive files written since construction.
    uint64_t SaveCount() const { return save_count_.load(); }

    // The registry API. Results are the documented Win32 error codes. Sizes of value data are in
    // bytes, lengths of names in characters.
    LONG OpenKey(HKEY key, LPCWSTR sub_key, HKEY* result);
    LONG CreateKey(HKEY key, LPCWSTR sub_key, HKEY* result, DWORD* disposition);
    LONG CloseKey(HKEY key);
    LONG DeleteKey(HKEY key, LPCWSTR sub_key);
    LONG QueryValue(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size);
    LONG SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size);
    LONG DeleteValue(HKEY key, LPCWSTR name);
    LONG EnumKey(HKEY key, DWORD index, LPWSTR name, DWORD* name_length);
    LONG EnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* name_length, DWORD* type, BYTE* data,
                   DWORD* size);
    LONG FlushKey(HKEY key);

    // Change notifications: watches the value `value_name` under `sub_key` of `key`, whether or
    // not it exists yet. The key is resolved and the watch added under the registry's lock, so
    // every change made after the key was resolved is told. *handle gets the watch's handle.
    LONG AddWatch(HKEY key, LPCWSTR sub_key, LPCWSTR value_name,
                  std::shared_ptr<registry::NotificationSink> sink, registry::Delivery delivery,
                  uint32_t* handle);
    // A watch of every value of a key (`values`) and of its subkeys' names (`names`), or of
    // its whole subtree, known by `id` (the handle the caller gives out for it); the sink hears
    // at the change. CloseKeyWatch ends it (false for an unknown id).
    LONG AddKeyWatch(HKEY key, bool subtree, bool values, bool names,
                     std::shared_ptr<registry::NotificationSink> sink, uintptr_t id);
    bool CloseKeyWatch(uintptr_t id);
    bool HasKeyWatch(uintptr_t id) const;
    registry::ChangeNotifier& notifier() { return notifier_; }
    // Keys opened or created and not closed yet.
    size_t OpenKeyCount() const;

  private:
    struct Hive {
        const wchar_t* root_name;  // as a .reg file spells it
        const char* file_name;
        uintptr_t predefined;  // the HKEY value of the root
        std::shared_ptr<registry::KeyNode> root;
        bool dirty = false;
        bool savable = true;
        bool loaded = false;        // from its file
        unsigned failed_saves = 0;  // since the last save that succeeded; save_mutex_
    };
    struct KeyRef {
        size_t hive = 0;
        std::shared_ptr<registry::KeyNode> node;
    };
    void Load();
    // mutex_ held. Finds the key of a handle (a root or an open key).
    LONG Resolve(HKEY key, KeyRef* ref) const;
    LONG ResolveSubKey(HKEY key, LPCWSTR sub_key, KeyRef* ref) const;
    // mutex_ held.
    LONG ResolveWatch(HKEY key, LPCWSTR sub_key, LPCWSTR value_name,
                      registry::WatchTarget* target) const;
    HKEY NewHandle(KeyRef ref);  // mutex_ held; nullptr when no value is free
    // mutex_ held: records a change of a value for the save and the notifications.
    void ValueChanged(const KeyRef& ref, std::wstring_view value_name,
                      const registry::RegValue* before, const registry::RegValue* after,
                      bool watching, bool* persist);
    // After mutex_ is released: delivers what the change queued and schedules the save.
    void AfterChange(bool watching, bool persist);
    void SaveDirtyHives(bool* ok);

    const std::filesystem::path hive_dir_;
    mutable std::mutex mutex_;
    std::array<Hive, 2> hives_;
    std::unordered_map<uintptr_t, KeyRef> handles_;
    uintptr_t next_handle_;
    std::unordered_map<uintptr_t, uint32_t> key_watches_;  // the caller's id: the watch
    std::vector<std::wstring> load_messages_;

    registry::ChangeNotifier notifier_;

    std::mutex save_mutex_;  // one save at a time, so that a later snapshot is never overwritten
    std::atomic<uint64_t> save_count_{0};
    std::unique_ptr<registry::SaveScheduler> saver_;  // none for a memory-only registry
};

}  // namespace tovarin::kernel
