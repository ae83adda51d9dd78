#include "kernel/registry/registry.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <winerror.h>
#include <winreg.h>

#include "host/text.h"
#include "kernel/registry/hive_file.h"
#include "kernel/strings/text_case.h"
#include "kernel/registry/reg_text.h"
#include "kernel/registry/registry_log.h"
#include "kernel/registry/save_scheduler.h"

namespace tovarin::kernel {

using registry::KeyNode;
using registry::RegValue;

namespace {

// Key handles are multiples of 4 between the kernel's handles and the notification handles.
constexpr uintptr_t kFirstKeyHandle = 0x10000000;
constexpr uintptr_t kKeyHandleLimit = 0x20000000;

uintptr_t ValueOf(HKEY key) {
    return reinterpret_cast<uintptr_t>(key);
}

std::wstring_view NameOf(LPCWSTR name) {
    return name ? std::wstring_view(name) : L"";
}

bool NamesFit(const std::vector<std::wstring_view>& parts) {
    return std::all_of(parts.begin(), parts.end(), [](std::wstring_view part) {
        return part.size() <= registry::kMaxNameLength;
    });
}

}  // namespace

Registry::Registry(std::filesystem::path hive_dir) : Registry(std::move(hive_dir), {}) {}

Registry::Registry(std::filesystem::path hive_dir, RegistryOptions options)
    : hive_dir_(std::move(hive_dir)),
      hives_{Hive{L"HKEY_LOCAL_MACHINE", "HKLM.reg", ValueOf(HKEY_LOCAL_MACHINE), nullptr},
             Hive{L"HKEY_CURRENT_USER", "HKCU.reg", ValueOf(HKEY_CURRENT_USER), nullptr}},
      next_handle_(kFirstKeyHandle) {
    for (Hive& hive : hives_) {
        hive.root = std::make_shared<KeyNode>();
    }
    if (!hive_dir_.empty()) {
        Load();
        saver_ = std::make_unique<registry::SaveScheduler>(
            [this] {
                bool ok = true;
                SaveDirtyHives(&ok);
            },
            options.save_delay, options.longest_save_delay);
    }
}

Registry::~Registry() {
    // A save under way finishes first. Its thread reads saver_ when it schedules a retry, so the
    // scheduler ends (joining the thread) before the pointer changes: reset() would clear the
    // pointer first and only then wait for the thread.
    if (saver_) {
        saver_.get_deleter()(saver_.get());
        saver_.release();
    }
    bool ok = true;
    SaveDirtyHives(&ok);
}

void Registry::Load() {
    for (Hive& hive : hives_) {
        // A save that a kill cut short leaves its temporary file; the hive itself is whole.
        for (const std::filesystem::path& stale :
             registry::RemoveStaleTemporaries(hive_dir_ / hive.file_name)) {
            load_messages_.push_back(L"removed " + Utf8ToWide(stale.string()) +
                                     L", left by a save that did not finish");
        }
        auto result = registry::LoadHive(hive_dir_ / hive.file_name, hive.root_name, *hive.root);
        hive.savable = result.savable;
        hive.loaded = result.loaded;
        for (std::wstring& message : result.messages) {
            registry::PrintProblem(message);
            load_messages_.push_back(std::move(message));
        }
    }
}

bool Registry::LoadedFromFile(HKEY root) const {
    std::lock_guard lock(mutex_);
    for (const Hive& hive : hives_) {
        if (hive.predefined == ValueOf(root)) {
            return hive.loaded;
        }
    }
    return false;
}

std::vector<std::wstring> Registry::LoadMessages() const {
    std::lock_guard lock(mutex_);
    return load_messages_;
}

bool Registry::Flush() {
    bool ok = true;
    SaveDirtyHives(&ok);
    return ok;
}

void Registry::SetSaveDelay(std::chrono::milliseconds quiet, std::chrono::milliseconds longest) {
    if (saver_) {
        saver_->SetDelays(quiet, longest);
    }
}

void Registry::SaveDirtyHives(bool* ok) {
    if (hive_dir_.empty()) {
        return;
    }
    std::lock_guard saving(save_mutex_);
    for (Hive& hive : hives_) {
        std::string text;
        std::vector<std::wstring> skipped;
        {
            std::lock_guard lock(mutex_);
            if (!hive.dirty || !hive.savable) {
                continue;
            }
            text = registry::FormatHive(*hive.root, hive.root_name, &skipped);
            hive.dirty = false;
        }
        for (const std::wstring& name : skipped) {
            registry::TraceNote(name + L" is not saved: its name holds a line break or a zero");
        }
        const std::filesystem::path file = hive_dir_ / hive.file_name;
        std::string error;
        if (registry::WriteFileAtomically(file, text, &error)) {
            save_count_.fetch_add(1);
            if (hive.failed_saves > 0) {
                registry::TraceNote(L"saved " + Utf8ToWide(file.string()) + L" after " +
                                    std::to_wstring(hive.failed_saves) + L" failed attempts");
                hive.failed_saves = 0;
            }
        } else {
            *ok = false;
            {
                std::lock_guard lock(mutex_);
                hive.dirty = true;
            }
            // Told once per run of failures; the save is tried again until it succeeds.
            if (hive.failed_saves++ == 0) {
                registry::ReportProblem(L"cannot save " + Utf8ToWide(file.string()) + L": " +
                                        Utf8ToWide(error) + L"; trying again");
            }
            if (saver_) {
                saver_->Changed();
            }
        }
    }
}

LONG Registry::Resolve(HKEY key, KeyRef* ref) const {
    const uintptr_t value = ValueOf(key);
    for (size_t i = 0; i < hives_.size(); ++i) {
        if (value == hives_[i].predefined) {
            *ref = {i, hives_[i].root};
            return ERROR_SUCCESS;
        }
    }
    auto it = handles_.find(value);
    if (it == handles_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    if (it->second.node->deleted) {
        return ERROR_KEY_DELETED;
    }
    *ref = it->second;
    return ERROR_SUCCESS;
}

LONG Registry::ResolveSubKey(HKEY key, LPCWSTR sub_key, KeyRef* ref) const {
    KeyRef base;
    if (LONG error = Resolve(key, &base); error != ERROR_SUCCESS) {
        return error;
    }
    const auto parts = registry::SplitKeyPath(NameOf(sub_key));
    if (parts.empty()) {
        *ref = base;
        return ERROR_SUCCESS;
    }
    KeyNode* parent = registry::FindPath(*base.node, {parts.begin(), parts.end() - 1});
    KeyNode* found = parent ? parent->FindSubkey(parts.back()) : nullptr;
    if (!found) {
        return ERROR_FILE_NOT_FOUND;
    }
    *ref = {base.hive, parent->SharedSubkey(found)};
    return ERROR_SUCCESS;
}

HKEY Registry::NewHandle(KeyRef ref) {
    for (uintptr_t tries = 0; tries < (kKeyHandleLimit - kFirstKeyHandle) / 4; ++tries) {
        const uintptr_t value = next_handle_;
        next_handle_ = next_handle_ + 4 >= kKeyHandleLimit ? kFirstKeyHandle : next_handle_ + 4;
        if (handles_.emplace(value, ref).second) {
            return reinterpret_cast<HKEY>(value);
        }
    }
    return nullptr;
}

void Registry::ValueChanged(const KeyRef& ref, std::wstring_view value_name, const RegValue* before,
                            const RegValue* after, bool watching, bool* persist) {
    const std::vector<std::wstring> path = registry::PathOf(*ref.node);
    if (!registry::IsVolatilePath(path)) {
        hives_[ref.hive].dirty = true;
        *persist = true;
    }
    if (watching) {
        notifier_.ValueChanged(ref.hive, path, value_name, before, after);
    }
}

void Registry::AfterChange(bool watching, bool persist) {
    if (watching) {
        notifier_.AfterChange();
    }
    if (persist && saver_) {
        saver_->Changed();
    }
}

LONG Registry::OpenKey(HKEY key, LPCWSTR sub_key, HKEY* result) {
    if (!result) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    KeyRef ref;
    if (LONG error = ResolveSubKey(key, sub_key, &ref); error != ERROR_SUCCESS) {
        return error;
    }
    HKEY handle = NewHandle(std::move(ref));
    if (!handle) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    *result = handle;
    return ERROR_SUCCESS;
}

LONG Registry::CreateKey(HKEY key, LPCWSTR sub_key, HKEY* result, DWORD* disposition) {
    if (!result) {
        return ERROR_INVALID_PARAMETER;
    }
    const auto parts = registry::SplitKeyPath(NameOf(sub_key));
    if (!NamesFit(parts)) {
        return ERROR_INVALID_PARAMETER;
    }
    bool persist = false;
    bool watching = false;
    {
        std::lock_guard lock(mutex_);
        KeyRef ref;
        if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
            return error;
        }
        if (ref.node->Depth() + parts.size() > registry::kMaxKeyDepth) {
            return ERROR_INVALID_PARAMETER;
        }
        bool created = false;
        std::optional<std::vector<std::wstring>> first_parent;  // of the first key created
        for (std::wstring_view part : parts) {
            KeyNode* child = ref.node->FindOrAddSubkey(part, &created);
            if (created && !first_parent) {
                first_parent = registry::PathOf(*ref.node);
            }
            ref.node = ref.node->SharedSubkey(child);
        }
        watching = first_parent && notifier_.HasWatches();
        if (watching) {
            notifier_.KeyNamesChanged(ref.hive, *first_parent);
        }
        if (created && !registry::IsVolatilePath(registry::PathOf(*ref.node))) {
            hives_[ref.hive].dirty = true;  // an empty key is saved too
            persist = true;
        }
        HKEY handle = NewHandle(std::move(ref));
        if (!handle) {
            return ERROR_NOT_ENOUGH_MEMORY;
        }
        *result = handle;
        if (disposition) {
            *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
        }
    }
    AfterChange(watching, persist);
    return ERROR_SUCCESS;
}

size_t Registry::OpenKeyCount() const {
    std::lock_guard lock(mutex_);
    return handles_.size();
}

LONG Registry::CloseKey(HKEY key) {
    std::lock_guard lock(mutex_);
    for (const Hive& hive : hives_) {
        if (ValueOf(key) == hive.predefined) {
            return ERROR_SUCCESS;
        }
    }
    return handles_.erase(ValueOf(key)) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG Registry::DeleteKey(HKEY key, LPCWSTR sub_key) {
    if (registry::SplitKeyPath(NameOf(sub_key)).empty()) {
        return ERROR_INVALID_PARAMETER;  // a root or the key itself cannot be deleted this way
    }
    bool watching = false;
    bool persist = false;
    {
        std::lock_guard lock(mutex_);
        // Read under the lock: a watch added before this change took the lock hears of it.
        watching = notifier_.HasWatches();
        KeyRef target;
        if (LONG error = ResolveSubKey(key, sub_key, &target); error != ERROR_SUCCESS) {
            return error;
        }
        // Every value of the subtree is deleted with it; watchers of those values hear of it.
        registry::ForEachKey(*target.node, [&](const KeyNode& node) {
            const std::vector<std::wstring> path = registry::PathOf(node);
            if (!registry::IsVolatilePath(path)) {
                hives_[target.hive].dirty = true;
                persist = true;
            }
            if (watching) {
                for (const RegValue& value : node.values) {
                    notifier_.ValueChanged(target.hive, path, value.name, &value, nullptr);
                }
            }
        });
        if (watching) {
            std::vector<std::wstring> parent = registry::PathOf(*target.node);
            parent.pop_back();
            notifier_.KeyNamesChanged(target.hive, parent);
        }
        registry::DeleteSubtree(*target.node);
    }
    AfterChange(watching, persist);
    return ERROR_SUCCESS;
}

LONG Registry::QueryValue(HKEY key, LPCWSTR name, DWORD* type, BYTE* data, DWORD* size) {
    if (data && !size) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    KeyRef ref;
    if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
        return error;
    }
    const RegValue* value = ref.node->FindValue(NameOf(name));
    if (!value) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (type) {
        *type = value->type;
    }
    const DWORD needed = static_cast<DWORD>(value->data.size());
    if (data) {
        if (*size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        std::copy(value->data.begin(), value->data.end(), data);
    }
    if (size) {
        *size = needed;
    }
    return ERROR_SUCCESS;
}

LONG Registry::SetValue(HKEY key, LPCWSTR name, DWORD type, const BYTE* data, DWORD size) {
    if (!data && size != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::wstring_view value_name = NameOf(name);
    if (value_name.size() > registry::kMaxNameLength) {
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<uint8_t> bytes(data, data + size);
    bool watching = false;
    bool persist = false;
    {
        std::lock_guard lock(mutex_);
        // Read under the lock: a watch added before this change took the lock hears of it.
        watching = notifier_.HasWatches();
        KeyRef ref;
        if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
            return error;
        }
        RegValue* existing = ref.node->FindValue(value_name);
        if (existing && existing->type == type && existing->data == bytes) {
            return ERROR_SUCCESS;  // the same data again is not a change
        }
        std::optional<RegValue> before;
        const RegValue* after = nullptr;
        if (existing) {
            if (watching) {
                before = *existing;
            }
            existing->type = type;
            existing->data = std::move(bytes);
            after = existing;
        } else {
            ref.node->values.push_back({std::wstring(value_name), type, std::move(bytes)});
            after = &ref.node->values.back();
        }
        ValueChanged(ref, value_name, before ? &*before : nullptr, after, watching, &persist);
    }
    AfterChange(watching, persist);
    return ERROR_SUCCESS;
}

LONG Registry::DeleteValue(HKEY key, LPCWSTR name) {
    const std::wstring_view value_name = NameOf(name);
    bool watching = false;
    bool persist = false;
    {
        std::lock_guard lock(mutex_);
        // Read under the lock: a watch added before this change took the lock hears of it.
        watching = notifier_.HasWatches();
        KeyRef ref;
        if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
            return error;
        }
        const RegValue* existing = ref.node->FindValue(value_name);
        if (!existing) {
            return ERROR_FILE_NOT_FOUND;
        }
        std::optional<RegValue> before;
        if (watching) {
            before = *existing;
        }
        ref.node->EraseValue(value_name);
        ValueChanged(ref, value_name, before ? &*before : nullptr, nullptr, watching, &persist);
    }
    AfterChange(watching, persist);
    return ERROR_SUCCESS;
}

LONG Registry::EnumKey(HKEY key, DWORD index, LPWSTR name, DWORD* name_length) {
    if (!name || !name_length) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    KeyRef ref;
    if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
        return error;
    }
    if (index >= ref.node->subkeys.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const std::wstring& key_name = ref.node->subkeys[index]->name;
    if (key_name.size() + 1 > *name_length) {
        return ERROR_MORE_DATA;
    }
    std::copy(key_name.begin(), key_name.end(), name);
    name[key_name.size()] = L'\0';
    *name_length = static_cast<DWORD>(key_name.size());
    return ERROR_SUCCESS;
}

LONG Registry::EnumValue(HKEY key, DWORD index, LPWSTR name, DWORD* name_length, DWORD* type,
                         BYTE* data, DWORD* size) {
    if (!name || !name_length || (data && !size)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard lock(mutex_);
    KeyRef ref;
    if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
        return error;
    }
    if (index >= ref.node->values.size()) {
        return ERROR_NO_MORE_ITEMS;
    }
    const RegValue& value = ref.node->values[index];
    if (value.name.size() + 1 > *name_length) {
        return ERROR_MORE_DATA;
    }
    std::copy(value.name.begin(), value.name.end(), name);
    name[value.name.size()] = L'\0';
    *name_length = static_cast<DWORD>(value.name.size());
    if (type) {
        *type = value.type;
    }
    const DWORD needed = static_cast<DWORD>(value.data.size());
    const bool data_fits = !data || *size >= needed;
    if (data && data_fits) {
        std::copy(value.data.begin(), value.data.end(), data);
    }
    if (size) {
        *size = needed;
    }
    return data_fits ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LONG Registry::FlushKey(HKEY key) {
    {
        std::lock_guard lock(mutex_);
        KeyRef ref;
        if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
            return error;
        }
    }
    return Flush() ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG Registry::AddWatch(HKEY key, LPCWSTR sub_key, LPCWSTR value_name,
                        std::shared_ptr<registry::NotificationSink> sink,
                        registry::Delivery delivery, uint32_t* handle) {
    // The notification thread starts outside the registry's lock: creating a thread waits for
    // the scheduler.
    uint32_t error = ERROR_SUCCESS;
    if (!notifier_.Prepare(delivery, &error)) {
        return static_cast<LONG>(error);
    }
    std::lock_guard lock(mutex_);
    registry::WatchTarget target;
    if (LONG resolved = ResolveWatch(key, sub_key, value_name, &target);
        resolved != ERROR_SUCCESS) {
        return resolved;
    }
    *handle = notifier_.Add(std::move(target), std::move(sink), delivery);
    return *handle != 0 ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

LONG Registry::AddKeyWatch(HKEY key, bool subtree, bool values, bool names,
                           std::shared_ptr<registry::NotificationSink> sink, uintptr_t id) {
    std::lock_guard lock(mutex_);
    registry::WatchTarget target;
    if (LONG resolved = ResolveWatch(key, nullptr, nullptr, &target); resolved != ERROR_SUCCESS) {
        return resolved;
    }
    target.scope =
        subtree ? registry::WatchTarget::Scope::Subtree : registry::WatchTarget::Scope::Key;
    target.values = values;
    target.names = names;
    const uint32_t handle =
        notifier_.Add(std::move(target), std::move(sink), registry::Delivery::AtChange);
    if (handle == 0) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    key_watches_[id] = handle;
    return ERROR_SUCCESS;
}

bool Registry::CloseKeyWatch(uintptr_t id) {
    uint32_t handle = 0;
    {
        std::lock_guard lock(mutex_);
        auto found = key_watches_.find(id);
        if (found == key_watches_.end()) {
            return false;
        }
        handle = found->second;
        key_watches_.erase(found);
    }
    // Outside the lock: closing waits for a delivery under way, which a writer makes unlocked.
    return notifier_.Close(handle);
}

bool Registry::HasKeyWatch(uintptr_t id) const {
    std::lock_guard lock(mutex_);
    return key_watches_.contains(id);
}

LONG Registry::ResolveWatch(HKEY key, LPCWSTR sub_key, LPCWSTR value_name,
                            registry::WatchTarget* target) const {
    KeyRef ref;
    if (LONG error = Resolve(key, &ref); error != ERROR_SUCCESS) {
        return error;
    }
    target->hive = ref.hive;
    target->folded_path.clear();
    for (const std::wstring& part : registry::PathOf(*ref.node)) {
        target->folded_path.push_back(FoldText(part));
    }
    for (std::wstring_view part : registry::SplitKeyPath(NameOf(sub_key))) {
        target->folded_path.push_back(FoldText(part));
    }
    target->folded_value = FoldText(NameOf(value_name));
    return ERROR_SUCCESS;
}

}  // namespace tovarin::kernel
