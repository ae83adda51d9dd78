#include "kernel/power/power_manager.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

#include <windows.h>
#include <msgqueue.h>
#include <pm.h>

#include "kernel/device_local.h"
#include "kernel/handles.h"
#include "kernel/msgqueue.h"
#include "kernel/object.h"
#include "kernel/power/system_power_states.h"

namespace tovarin::kernel::power {

// What RequestPowerNotifications returns: the subscription of one queue. The power manager
// writes through its own writing end of the queue, so the queue lives on while it is subscribed
// even if its reader goes away.
class PowerNotification final : public KernelObject {
  public:
    PowerNotification(HANDLE writer, DWORD kinds) : writer_(writer), kinds_(kinds) {}
    const char* TypeName() const override { return "power notification"; }

    HANDLE writer() const { return writer_; }
    DWORD kinds() const { return kinds_; }
    HANDLE handle() const { return handle_; }
    void set_handle(HANDLE handle) { handle_ = handle; }

  private:
    const HANDLE writer_;
    const DWORD kinds_;
    HANDLE handle_ = nullptr;
};

namespace {

// A POWER_BROADCAST as the queue carries it: the three words and Length bytes of name.
std::vector<uint8_t> BroadcastBytes(DWORD kind, DWORD flags, std::wstring_view state_name) {
    const DWORD length =
        state_name.empty() ? 0 : static_cast<DWORD>((state_name.size() + 1) * sizeof(WCHAR));
    constexpr size_t kNameOffset = offsetof(POWER_BROADCAST, SystemPowerState);
    std::vector<uint8_t> bytes(kNameOffset + length);  // zeroed: the name's terminator
    auto put = [&bytes](size_t offset, DWORD value) {
        std::memcpy(bytes.data() + offset, &value, sizeof value);
    };
    put(offsetof(POWER_BROADCAST, Message), kind);
    put(offsetof(POWER_BROADCAST, Flags), flags);
    put(offsetof(POWER_BROADCAST, Length), length);
    if (!state_name.empty()) {  // an empty view may carry no pointer at all
        std::memcpy(bytes.data() + kNameOffset, state_name.data(),
                    state_name.size() * sizeof(WCHAR));
    }
    return bytes;
}

// Writes without waiting: a queue that is full, or whose messages are too small for the
// broadcast, misses it. The power manager never waits for a reader.
void Deliver(HANDLE writer, std::vector<uint8_t>& bytes) {
    MSGQUEUEINFO info{};
    info.dwSize = sizeof info;
    if (!GetMsgQueueInfo(writer, &info) || info.wNumReaders == 0) {
        return;  // nobody reads the queue any more
    }
    WriteMsgQueue(writer, bytes.data(), static_cast<DWORD>(bytes.size()), 0, 0);
}

}  // namespace

PowerManager::PowerManager() {
    status_.ACLineStatus = AC_LINE_OFFLINE;
    status_.BatteryFlag = BATTERY_FLAG_HIGH;
    status_.BatteryLifePercent = 100;
    status_.BatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status_.BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    status_.BackupBatteryFlag = BATTERY_FLAG_UNKNOWN;
    status_.BackupBatteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
    status_.BackupBatteryLifeTime = BATTERY_LIFE_UNKNOWN;
    status_.BackupBatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
    state_ = {L"on", POWER_STATE_ON};
}

SYSTEM_POWER_STATUS_EX PowerManager::Status() const {
    std::lock_guard guard(mutex_);
    return status_;
}

SystemPowerState PowerManager::State() const {
    std::lock_guard guard(mutex_);
    return state_;
}

void PowerManager::SetExternalPower(bool online) {
    std::lock_guard guard(mutex_);
    const BYTE line = online ? AC_LINE_ONLINE : AC_LINE_OFFLINE;
    if (status_.ACLineStatus == line) {
        return;
    }
    status_.ACLineStatus = line;
    // The battery charges while the phone is plugged in.
    status_.BatteryFlag = static_cast<BYTE>(online ? status_.BatteryFlag | BATTERY_FLAG_CHARGING
                                                   : status_.BatteryFlag & ~BATTERY_FLAG_CHARGING);
    Broadcast(PBT_POWERSTATUSCHANGE, 0, {});
}

bool PowerManager::EnterState(std::wstring_view name) {
    std::optional<SystemPowerStateDefinition> state = FindSystemPowerState(name);
    if (!state) {
        return false;
    }
    std::lock_guard guard(mutex_);
    state_ = {std::wstring(state->name), state->flags};
    Broadcast(PBT_TRANSITION, state->flags, state->name);
    return true;
}

HANDLE PowerManager::Subscribe(HANDLE read_end, DWORD kinds) {
    if (!IsMessageQueueReadEnd(read_end)) {
        SetError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (kinds == 0) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.bReadAccess = FALSE;
    HANDLE writer = OpenMsgQueue(GetCurrentProcess(), read_end, &options);
    if (!writer) {
        return nullptr;  // the queue's error stands
    }
    auto subscription = std::make_shared<PowerNotification>(writer, kinds);
    HANDLE handle = Handles().Insert(subscription);
    if (!handle) {
        CloseHandle(writer);
        SetError(ERROR_OUTOFMEMORY);
        return nullptr;
    }
    subscription->set_handle(handle);
    std::lock_guard guard(mutex_);
    DropClosedSubscriptions();
    subscriptions_.push_back(std::move(subscription));
    return handle;
}

DWORD PowerManager::Unsubscribe(HANDLE subscription) {
    std::lock_guard guard(mutex_);
    DropClosedSubscriptions();
    auto found = std::find_if(subscriptions_.begin(), subscriptions_.end(),
                              [&](const auto& s) { return s->handle() == subscription; });
    if (!subscription || found == subscriptions_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    CloseHandle((*found)->writer());
    Handles().Close(subscription);
    subscriptions_.erase(found);
    return ERROR_SUCCESS;
}

void PowerManager::DropClosedSubscriptions() {
    // A subscription whose handle was closed with CloseHandle instead of StopPowerNotifications
    // ends all the same; its writing end is let go here.
    std::erase_if(subscriptions_, [](const std::shared_ptr<PowerNotification>& subscription) {
        if (Handles().Lookup(subscription->handle()) == subscription) {
            return false;
        }
        CloseHandle(subscription->writer());
        return true;
    });
}

void PowerManager::Broadcast(DWORD kind, DWORD flags, std::wstring_view state_name) {
    // The host thread that changed the power keeps its own last error.
    const DWORD caller_error = GetLastError();
    DropClosedSubscriptions();
    std::vector<uint8_t> bytes = BroadcastBytes(kind, flags, state_name);
    for (const std::shared_ptr<PowerNotification>& subscription : subscriptions_) {
        if (subscription->kinds() & kind) {
            Deliver(subscription->writer(), bytes);
        }
    }
    SetLastError(caller_error);
}

std::shared_ptr<PowerManager> CurrentPowerManager() {
    static auto* manager = new DeviceLocal<PowerManager>;
    return manager->Get();
}

}  // namespace tovarin::kernel::power
