#include "kernel/handles.h"

#include <winbase.h>

#include "host/device.h"

namespace tovarin::kernel {
namespace {
thread_local DWORD t_last_error = ERROR_SUCCESS;
constexpr uintptr_t kFirstHandle = 0x1000;
constexpr uintptr_t kHandleLimit = 0x10000000;
}  // namespace

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
    std::lock_guard guard(mutex_);
    return InsertLocked(std::move(object));
}

HANDLE HandleTable::InsertLocked(std::shared_ptr<KernelObject> object) {
    // Values are reused only after the range has wrapped, so a stale handle rarely meets a new
    // object.
    for (uintptr_t tries = 0; tries < (kHandleLimit - kFirstHandle) / 4; ++tries) {
        uintptr_t value = next_;
        next_ = (next_ + 4 >= kHandleLimit) ? kFirstHandle : next_ + 4;
        if (!handles_.contains(value)) {
            handles_.emplace(value, std::move(object));
            return reinterpret_cast<HANDLE>(value);
        }
    }
    return nullptr;
}

std::shared_ptr<KernelObject> HandleTable::Lookup(HANDLE handle) const {
    std::lock_guard guard(mutex_);
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    return it == handles_.end() ? nullptr : it->second;
}

bool HandleTable::Close(HANDLE handle) {
    std::shared_ptr<KernelObject> last;  // released outside the lock
    std::lock_guard guard(mutex_);
    auto it = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (it == handles_.end()) {
        return false;
    }
    last = std::move(it->second);
    handles_.erase(it);
    return true;
}

std::map<std::string, size_t> HandleTable::CountByType() const {
    std::lock_guard guard(mutex_);
    std::map<std::string, size_t> counts;
    for (const auto& [value, object] : handles_) {
        ++counts[object->TypeName()];
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
            HANDLE handle = InsertLocked(std::move(existing));
            *error = handle ? ERROR_ALREADY_EXISTS : ERROR_OUTOFMEMORY;
            return handle;
        }
    }
    object = make();
    object->set_name(name);
    HANDLE handle = InsertLocked(object);
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
