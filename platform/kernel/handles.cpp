#include "kernel/handles.h"

#include <vector>

#include <winbase.h>

#include "host/device.h"
#include "host/processes.h"

namespace tovarin::kernel {
namespace {
thread_local DWORD t_last_error = ERROR_SUCCESS;
constexpr uintptr_t kFirstHandle = 0x1000;
constexpr uintptr_t kHandleLimit = 0x10000000;
}  // namespace

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
    return Insert(std::move(object), processes::CurrentProcessId());
}

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object, uint32_t owner) {
    std::lock_guard guard(mutex_);
    return InsertLocked(std::move(object), owner);
}

HANDLE HandleTable::InsertLocked(std::shared_ptr<KernelObject> object, uint32_t owner) {
    // Values are reused only after the range has wrapped, so a stale handle rarely meets a new
    // object.
    for (uintptr_t tries = 0; tries < (kHandleLimit - kFirstHandle) / 4; ++tries) {
        uintptr_t value = next_;
        next_ = (next_ + 4 >= kHandleLimit) ? kFirstHandle : next_ + 4;
        if (!handles_.contains(value)) {
            handles_.emplace(value, Entry{std::move(object), owner});
            return reinterpret_cast<HANDLE>(value);
        }
    }
    return nullptr;
}

std::shared_ptr<KernelObject> HandleTable::Lookup(HANDLE handle) const {
    std::lock_guard guard(mutex_);
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    return it == handles_.end() ? nullptr : it->second.object;
}

bool HandleTable::Close(HANDLE handle) {
    std::shared_ptr<KernelObject> last;  // released outside the lock
    std::lock_guard guard(mutex_);
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) {
        return false;
    }
    last = std::move(it->second.object);
    handles_.erase(it);
    return true;
}

size_t HandleTable::CloseAllOf(uint32_t owner) {
    std::vector<std::shared_ptr<KernelObject>> closed;  // released outside the lock
    std::lock_guard guard(mutex_);
    for (auto it = handles_.begin(); it != handles_.end();) {
        if (it->second.owner == owner) {
            closed.push_back(std::move(it->second.object));
            it = handles_.erase(it);
        } else {
            ++it;
        }
    }
    return closed.size();
}

std::map<std::string, size_t> HandleTable::CountByType() const {
    std::lock_guard guard(mutex_);
    std::map<std::string, size_t> counts;
    for (const auto& [value, entry] : handles_) {
        ++counts[entry.object->TypeName()];
    }
    return counts;
}

std::shared_ptr<KernelObject> HandleTable::FindNamed(const std::wstring& name) const {
    std::lock_guard guard(mutex_);
    auto it = named_.find(name);
    return it == named_.end() ? nullptr : it->second.lock();
}

HANDLE HandleTable::CreateOrOpenNamed(const std::wstring& name,
                                      const std::function<bool(const KernelObject&)>& fits,
                                      const std::function<std::shared_ptr<KernelObject>()>& make,
                                      bool* existed, DWORD* error) {
    std::shared_ptr<KernelObject> object;  // a new one that lost its handle goes outside the lock
    const uint32_t owner = processes::CurrentProcessId();
    std::lock_guard guard(mutex_);
    *existed = false;
    auto found = named_.find(name);
    if (found != named_.end()) {
        if (std::shared_ptr<KernelObject> existing = found->second.lock()) {
            if (!fits(*existing)) {
                *error = ERROR_INVALID_HANDLE;
                return nullptr;
            }
            *existed = true;
            HANDLE handle = InsertLocked(std::move(existing), owner);
            *error = handle ? ERROR_ALREADY_EXISTS : ERROR_OUTOFMEMORY;
            return handle;
        }
    }
    object = make();
    object->set_name(name);
    HANDLE handle = InsertLocked(object, owner);
    if (!handle) {
        *error = ERROR_OUTOFMEMORY;
        return nullptr;
    }
    named_[name] = object;
    *error = ERROR_SUCCESS;
    return handle;
}

HandleTable& Handles() {
    return Device::Current().handles();
}

void SetError(DWORD error) {
    t_last_error = error;
}

}  // namespace tovarin::kernel

extern "C" {

DWORD WINAPI GetLastError(void) {
    return tovarin::kernel::t_last_error;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    tovarin::kernel::t_last_error = dwErrCode;
}
}
