// The device's power manager: the status of the supply and the batteries, the system power state,
// and the message queues that asked for power broadcasts.
//
// One per device (a new device boots on battery, "on"). The emulator's console thread and tests
// change the power while device threads read it and subscribe; one lock guards it all, and a
// broadcast goes out under that lock, so that queues see the changes in the order they were made.
#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include <winbase.h>

#include "host/power.h"

namespace tovarin::kernel::power {

class PowerNotification;

class PowerManager {
  public:
    PowerManager();

    SYSTEM_POWER_STATUS_EX Status() const;
    SystemPowerState State() const;

    // Host side: both broadcast what changed to the queues that asked for it.
    void SetExternalPower(bool online);
    bool EnterState(std::wstring_view name);

    // RequestPowerNotifications: the handle of the subscription, or nullptr with the last error
    // set.
    HANDLE Subscribe(HANDLE read_end, DWORD kinds);
    // StopPowerNotifications: ERROR_SUCCESS or ERROR_INVALID_HANDLE.
    DWORD Unsubscribe(HANDLE subscription);

  private:
    // Both with mutex_ held.
    void DropClosedSubscriptions();
    void Broadcast(DWORD kind, DWORD flags, std::wstring_view state_name);

    mutable std::mutex mutex_;
    SYSTEM_POWER_STATUS_EX status_{};
    SystemPowerState state_;
    std::vector<std::shared_ptr<PowerNotification>> subscriptions_;
};

// The power manager of the device that is up.
std::shared_ptr<PowerManager> CurrentPowerManager();

}  // namespace tovarin::kernel::power
