// State that belongs to the device that is up and goes with it (drivers, simulated volumes, the
// wave volume, the window manager): the next device starts with a fresh one.
#pragma once

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "host/device.h"

namespace tovarin::kernel {

// The device's per-device states, each under the key of its DeviceLocal. The device owns them
// and destroys them, newest first, when it shuts down; device code has no handle to them, so no
// CloseHandle can take one away while the device runs.
class DeviceStates {
  public:
    ~DeviceStates() { Clear(); }

    std::shared_ptr<void> Find(const void* key) const {
        std::lock_guard guard(mutex_);
        for (const auto& [owner, state] : states_) {
            if (owner == key) {
                return state;
            }
        }
        return nullptr;
    }
    void Add(const void* key, std::shared_ptr<void> state) {
        std::lock_guard guard(mutex_);
        states_.emplace_back(key, std::move(state));
    }
    // Destroys the states newest first, without the lock: a state's destructor may look up
    // another.
    void Clear() {
        for (;;) {
            std::shared_ptr<void> last;
            {
                std::lock_guard guard(mutex_);
                if (states_.empty()) {
                    return;
                }
                last = std::move(states_.back().second);
                states_.pop_back();
            }
        }
    }

  private:
    mutable std::mutex mutex_;
    std::vector<std::pair<const void*, std::shared_ptr<void>>> states_;
};

// One T per device, made on first use and held by the device (Device::states()). A DeviceLocal
// is a process-wide object (a leaked function-local static); Get() needs a device up, as every
// platform call does.
template <typename T>
class DeviceLocal {
  public:
    std::shared_ptr<T> Get() {
        DeviceStates& states = Device::Current().states();
        // Held while T is made, so that two threads never make two; T's constructor may use
        // other DeviceLocals, which have their own locks.
        std::lock_guard guard(mutex_);
        if (std::shared_ptr<T> state = std::static_pointer_cast<T>(states.Find(this))) {
            return state;
        }
        auto state = std::make_shared<T>();
        states.Add(this, state);
        return state;
    }
    // The current device's T if one was made; never makes one. Null with no device up.
    std::shared_ptr<T> Find() const {
        if (!Device::IsUp()) {
            return nullptr;
        }
        return std::static_pointer_cast<T>(Device::Current().states().Find(this));
    }

  private:
    std::mutex mutex_;
};

}  // namespace tovarin::kernel
