#include "kernel/modules/module_table.h"

#include <algorithm>

#include <winerror.h>

#include "host/device_paths.h"
#include "kernel/scheduler.h"

namespace tovarin::kernel::modules {
namespace {

uintptr_t Key(HMODULE handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

}  // namespace

ModuleTable& Modules() {
    // Never destroyed: a module's destructors may run after static destruction has begun.
    static ModuleTable* table = new ModuleTable;
    return *table;
}

ModuleTable::Record* ModuleTable::FindLocked(HMODULE handle) const {
    auto found = records_.find(Key(handle));
    return found != records_.end() ? found->second.get() : nullptr;
}

template <typename Matches>
ModuleTable::Record* ModuleTable::FindLoadedLocked(std::unique_lock<std::mutex>& lock,
                                                   Matches matches) {
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        bool must_wait = false;
        for (const auto& [key, record] : records_) {
            if (!matches(*record)) {
                continue;
            }
            if (record->permanent || (record->state == State::Ready && record->refs > 0)) {
                return record.get();
            }
            if (record->state == State::Ready) {
                continue;  // its last reference went; it unloads once its thread calls end
            }
            if (record->busy_thread == self) {
                if (record->state == State::Loading) {
                    return record.get();
                }
                continue;  // unloading on this thread: gone as far as this thread is concerned
            }
            must_wait = true;
        }
        if (!must_wait) {
            return nullptr;
        }
        {
            // Another thread's DllMain runs meanwhile, perhaps in a timed platform wait.
            OutsideWait outside(&settled_);
            settled_.wait(lock);
        }
    }
}

ModuleTable::Record* ModuleTable::Insert() {
    constexpr uintptr_t kHandleCount = (kLastHandle - kFirstHandle) / kHandleStep + 1;
    for (uintptr_t tries = 0; tries < kHandleCount; ++tries) {
        uintptr_t candidate = next_handle_;
        next_handle_ = candidate == kLastHandle ? kFirstHandle : candidate + kHandleStep;
        if (records_.contains(candidate)) {
            continue;
        }
        auto record = std::make_unique<Record>();
        record->handle = reinterpret_cast<HMODULE>(candidate);
        record->view.handle = record->handle;
        record->sequence = next_sequence_++;
        Record* inserted = record.get();
        records_.emplace(candidate, std::move(record));
        return inserted;
    }
    return nullptr;
}

std::optional<EntryCall> ModuleTable::MaybeStartUnload(Record& record) {
    if (record.permanent || record.state != State::Ready || record.refs > 0 || record.pins > 0) {
        return std::nullopt;
    }
    record.state = State::Unloading;
    record.busy_thread = std::this_thread::get_id();
    return EntryCall{record.handle, record.dll_main};
}

std::shared_ptr<HostLibrary> ModuleTable::Erase(HMODULE handle) {
    auto found = records_.find(Key(handle));
    if (found == records_.end()) {
        return nullptr;
    }
    std::shared_ptr<HostLibrary> library = std::move(found->second->view.library);
    records_.erase(found);
    ReleaseOutsideWaiters(&settled_);
    settled_.notify_all();
    return library;
}

HMODULE ModuleTable::BeginLoad(const std::filesystem::path& host_key, std::wstring name,
                               std::wstring device_path, bool* is_new, DWORD* error) {
    std::unique_lock lock(mutex_);
    *is_new = false;
    const std::thread::id self = std::this_thread::get_id();
    for (;;) {
        auto same_file = std::ranges::find_if(
            records_, [&](const auto& entry) { return entry.second->host_key == host_key; });
        if (same_file == records_.end()) {
            break;
        }
        Record& record = *same_file->second;
        if (record.state == State::Ready ||
            (record.state == State::Loading && record.busy_thread == self)) {
            ++record.refs;
            return record.handle;
        }
        if (record.busy_thread == self) {
            *error = ERROR_MOD_NOT_FOUND;
            return nullptr;
        }
        {
            // Another thread's DllMain runs meanwhile, perhaps in a timed platform wait.
            OutsideWait outside(&settled_);
            settled_.wait(lock);
        }
    }
    Record* record = Insert();
    if (!record) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    record->host_key = host_key;
    record->view.name = std::move(name);
    record->view.device_path = std::move(device_path);
    record->state = State::Loading;
    record->busy_thread = self;
    record->refs = 1;
    *is_new = true;
    return record->handle;
}

void ModuleTable::CompleteLoad(HMODULE handle, LoadedFile file) {
    std::lock_guard lock(mutex_);
    if (Record* record = FindLocked(handle)) {
        record->view.library = std::move(file.library);
        record->view.ordinals = file.ordinals;
        record->view.resources = file.resources;
        record->dll_main = file.dll_main;
    }
}

std::shared_ptr<HostLibrary> ModuleTable::AbandonLoad(HMODULE handle) {
    std::lock_guard lock(mutex_);
    return Erase(handle);
}

std::optional<EntryCall> ModuleTable::FinishAttach(HMODULE handle) {
    std::lock_guard lock(mutex_);
    Record* record = FindLocked(handle);
    if (!record) {
        return std::nullopt;
    }
    record->state = State::Ready;
    record->busy_thread = {};
    ReleaseOutsideWaiters(&settled_);
    settled_.notify_all();
    return MaybeStartUnload(*record);
}

HMODULE ModuleTable::FindLoadedByName(std::wstring_view name, bool acquire) {
    std::unique_lock lock(mutex_);
    Record* record = FindLoadedLocked(
        lock, [&](const Record& candidate) { return DeviceNamesEqual(candidate.view.name, name); });
    if (!record) {
        return nullptr;
    }
    if (acquire && !record->permanent) {
        ++record->refs;
    }
    return record->handle;
}

HMODULE ModuleTable::FindLoadedByHostKey(const std::filesystem::path& host_key) {
    std::unique_lock lock(mutex_);
    Record* record = FindLoadedLocked(
        lock, [&](const Record& candidate) { return candidate.host_key == host_key; });
    return record ? record->handle : nullptr;
}

HMODULE ModuleTable::FindPermanent(std::wstring_view device_path) const {
    std::lock_guard lock(mutex_);
    for (const auto& [key, record] : records_) {
        if (record->permanent && DeviceNamesEqual(record->view.device_path, device_path)) {
            return record->handle;
        }
    }
    return nullptr;
}

HMODULE ModuleTable::AddPermanent(ModuleView view) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, record] : records_) {
        if (record->permanent && DeviceNamesEqual(record->view.device_path, view.device_path)) {
            return record->handle;
        }
    }
    Record* record = Insert();
    if (!record) {
        return nullptr;
    }
    view.handle = record->handle;
    record->view = std::move(view);
    record->permanent = true;
    record->state = State::Ready;
    record->refs = 1;
    return record->handle;
}

std::optional<ModuleView> ModuleTable::View(HMODULE handle) const {
    std::lock_guard lock(mutex_);
    const Record* record = FindLocked(handle);
    if (!record) {
        return std::nullopt;
    }
    return record->view;
}

bool ModuleTable::Release(HMODULE handle, std::optional<EntryCall>* detach) {
    std::lock_guard lock(mutex_);
    Record* record = FindLocked(handle);
    if (!record || (!record->permanent && record->refs == 0)) {
        return false;
    }
    if (!record->permanent) {
        --record->refs;
        *detach = MaybeStartUnload(*record);
    }
    return true;
}

std::shared_ptr<HostLibrary> ModuleTable::FinishUnload(HMODULE handle) {
    std::lock_guard lock(mutex_);
    return Erase(handle);
}

bool ModuleTable::DisableThreadCalls(HMODULE handle) {
    std::lock_guard lock(mutex_);
    Record* record = FindLocked(handle);
    if (!record) {
        return false;
    }
    record->thread_calls = false;
    return true;
}

std::vector<EntryCall> ModuleTable::BeginThreadCalls() {
    std::lock_guard lock(mutex_);
    std::vector<Record*> due;
    for (const auto& [key, record] : records_) {
        if (record->state == State::Ready && record->refs > 0 && record->dll_main &&
            record->thread_calls) {
            due.push_back(record.get());
        }
    }
    std::ranges::sort(due, {}, &Record::sequence);
    std::vector<EntryCall> calls;
    calls.reserve(due.size());
    for (Record* record : due) {
        ++record->pins;
        calls.push_back({record->handle, record->dll_main});
    }
    return calls;
}

std::vector<EntryCall> ModuleTable::EndThreadCalls(const std::vector<EntryCall>& calls) {
    std::lock_guard lock(mutex_);
    std::vector<EntryCall> detaches;
    for (const EntryCall& call : calls) {
        Record* record = FindLocked(call.handle);
        if (!record || record->pins == 0) {
            continue;  // forgotten by a device shutdown meanwhile
        }
        --record->pins;
        if (auto detach = MaybeStartUnload(*record)) {
            detaches.push_back(*detach);
        }
    }
    return detaches;
}

std::vector<EntryCall> ModuleTable::BeginUnloadAll() {
    std::lock_guard lock(mutex_);
    std::vector<Record*> loaded;
    for (const auto& [key, record] : records_) {
        if (!record->permanent && record->state == State::Ready) {
            loaded.push_back(record.get());
        }
    }
    std::ranges::sort(loaded, std::ranges::greater{}, &Record::sequence);
    std::vector<EntryCall> entries;
    entries.reserve(loaded.size());
    for (Record* record : loaded) {
        record->state = State::Unloading;
        record->busy_thread = std::this_thread::get_id();
        entries.push_back({record->handle, record->dll_main});
    }
    return entries;
}

std::vector<std::shared_ptr<HostLibrary>> ModuleTable::Clear() {
    std::lock_guard lock(mutex_);
    std::vector<Record*> all;
    for (const auto& [key, record] : records_) {
        all.push_back(record.get());
    }
    std::ranges::sort(all, std::ranges::greater{}, &Record::sequence);
    std::vector<std::shared_ptr<HostLibrary>> libraries;
    for (Record* record : all) {
        if (record->view.library) {
            libraries.push_back(std::move(record->view.library));
        }
    }
    records_.clear();
    next_handle_ = kFirstHandle;
    next_sequence_ = 1;
    ReleaseOutsideWaiters(&settled_);
    settled_.notify_all();
    return libraries;
}

}  // namespace tovarin::kernel::modules
