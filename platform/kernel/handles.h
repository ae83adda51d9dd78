// The device's handle table and its namespace of named objects.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <windef.h>

#include "kernel/object.h"

namespace tovarin::kernel {

class HandleTable {
  public:
    // Handle values are multiples of 4 from 0x1000 on and stay below 0x10000000, so that they fit
    // in the 32-bit fields of the device's records and never meet registry or module handles.
    HANDLE Insert(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> Lookup(HANDLE handle) const;
    template <typename T>
    std::shared_ptr<T> LookupAs(HANDLE handle) const {
        return std::dynamic_pointer_cast<T>(Lookup(handle));
    }
    bool Close(HANDLE handle);
    // Open handles by the type of their object (the census of live objects counts them).
    std::map<std::string, size_t> CountByType() const;

    // Named objects live while any handle to them is open.
    std::shared_ptr<KernelObject> FindNamed(const std::wstring& name) const;
    void AddNamed(const std::wstring& name, const std::shared_ptr<KernelObject>& object);

  private:
    mutable std::mutex mutex_;
    std::map<uintptr_t, std::shared_ptr<KernelObject>> handles_;
    std::map<std::wstring, std::weak_ptr<KernelObject>> named_;
    uintptr_t next_ = 0x1000;
};

HandleTable& Handles();

// The calling thread's last-error value.
void SetError(DWORD error);

}  // namespace tovarin::kernel
