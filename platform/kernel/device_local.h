// State that belongs to the device that is up and goes with it (drivers, simulated volumes, the
// wave volume): the next device starts with a fresh one.
#pragma once

#include <memory>
#include <mutex>

#include <windef.h>

#include "kernel/device.h"
#include "kernel/handles.h"
#include "kernel/object.h"

namespace tovarin::kernel {

// One T per device, made on first use. The state is held by an object in the device's handle
// table whose handle no device code is given, so that it is destroyed together with the device.
// A DeviceLocal is a process-wide object (a leaked function-local static); Get() needs a device
// up, as every platform call does.
template <typename T>
class DeviceLocal {
  public:
    std::shared_ptr<T> Get() {
        HandleTable& handles = Device::Current().handles();
        std::lock_guard guard(mutex_);
        std::shared_ptr<Anchor> anchor = anchor_.lock();
        // A state that outlived its device through a caller's reference is not this device's.
        if (!anchor || handles.Lookup(handle_) != anchor) {
            anchor = std::make_shared<Anchor>();
            handle_ = handles.Insert(anchor);
            anchor_ = anchor;
        }
        return std::shared_ptr<T>(anchor, &anchor->state);
    }

  private:
    struct Anchor final : KernelObject {
        const char* TypeName() const override { return "device state"; }
        T state{};
    };

    std::mutex mutex_;
    std::weak_ptr<Anchor> anchor_;
    HANDLE handle_ = nullptr;
};

}  // namespace tovarin::kernel
