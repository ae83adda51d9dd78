// The device's handle table and its namespace of named objects.
#pragma once

#include <functional>
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
    // A handle belongs to the process of the thread that opened it (or to `owner`), which closes
    // it when it ends (CloseAllOf).
    HANDLE Insert(std::shared_ptr<KernelObject> object);
    HANDLE Insert(std::shared_ptr<KernelObject> object, uint32_t owner);
    std::shared_ptr<KernelObject> Lookup(HANDLE handle) const;
    template <typename T>
    std::shared_ptr<T> LookupAs(HANDLE handle) const {
        return std::dynamic_pointer_cast<T>(Lookup(handle));
    }
    bool Close(HANDLE handle);
    // Closes the handles that the process left open; returns how many.
    size_t CloseAllOf(uint32_t owner);
    // Open handles by the type of their object (the census of live objects counts them).
    std::map<std::string, size_t> CountByType() const;

    // Named objects live while any handle to them is open.
    std::shared_ptr<KernelObject> FindNamed(const std::wstring& name) const;

    // Finds the object of that name, or makes it with make(), and inserts a handle to it, all
    // under one lock: two threads creating one name get one object. *existed tells which.
    // Returns nullptr with *error set when the name belongs to an object that fits() refuses
    // (ERROR_INVALID_HANDLE) or no handle is free.
    HANDLE CreateOrOpenNamed(const std::wstring& name,
                             const std::function<bool(const KernelObject&)>& fits,
                             const std::function<std::shared_ptr<KernelObject>()>& make,
                             bool* existed, DWORD* error);

  private:
    struct Entry {
        std::shared_ptr<KernelObject> object;
        uint32_t owner = 0;  // a process id
    };

    HANDLE InsertLocked(std::shared_ptr<KernelObject> object, uint32_t owner);

    mutable std::mutex mutex_;
    std::map<uintptr_t, Entry> handles_;
    std::map<std::wstring, std::weak_ptr<KernelObject>> named_;
    uintptr_t next_ = 0x1000;
};

HandleTable& Handles();

// The calling thread's last-error value.
void SetError(DWORD error);

}  // namespace tovarin::kernel
