// Registry change notifications of the shell: to a callback on the notification thread, or as a
// packet into a named message queue at the change.
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include <windows.h>
#include <msgqueue.h>
#include <regext.h>

#include "host/device.h"
#include "kernel/registry/registry.h"
#include "kernel/registry/registry_log.h"
#include "shell/registry_condition.h"

using tovarin::kernel::Device;
using tovarin::kernel::registry::Delivery;
using tovarin::kernel::registry::NotificationSink;
using tovarin::kernel::registry::RegValue;
using tovarin::shell::NotifyCondition;

namespace {

// A packet in the queue: notification handle, user data and data size (32 bits each), then the
// value's data.
constexpr size_t kPacketHeaderSize = 3 * sizeof(uint32_t);
// Size of the messages of a queue that the notification has to create itself.
constexpr DWORD kCreatedQueueMessageSize = kPacketHeaderSize + 4096;

HREGNOTIFY ToHandle(uint32_t value) {
    return reinterpret_cast<HREGNOTIFY>(static_cast<uintptr_t>(value));
}

class CallbackSink final : public NotificationSink {
  public:
    CallbackSink(NotifyCondition condition, REGISTRYNOTIFYCALLBACK callback, DWORD user_data)
        : condition_(std::move(condition)), callback_(callback), user_data_(user_data) {}

    bool Wants(const RegValue* before, const RegValue* after) const override {
        return condition_.Wants(before, after);
    }
    void Deliver(uint32_t handle, uint8_t* data, uint32_t size) override {
        callback_(ToHandle(handle), user_data_, data, size);
    }

  private:
    const NotifyCondition condition_;
    const REGISTRYNOTIFYCALLBACK callback_;
    const DWORD user_data_;
};

class QueueSink final : public NotificationSink {
  public:
    QueueSink(NotifyCondition condition, HANDLE queue, std::wstring queue_name, DWORD user_data)
        : condition_(std::move(condition)),
          queue_(queue),
          queue_name_(std::move(queue_name)),
          user_data_(user_data) {}
    ~QueueSink() override {
        if (Device::IsUp()) {
            CloseMsgQueue(queue_);
        }
    }

    bool Wants(const RegValue* before, const RegValue* after) const override {
        return condition_.Wants(before, after);
    }

    // Runs inside the registry call of the writing thread: its last-error value is kept.
    void Deliver(uint32_t handle, uint8_t* data, uint32_t size) override {
        const DWORD caller_error = GetLastError();
        std::vector<uint8_t> packet(kPacketHeaderSize + size);
        const uint32_t header[3] = {handle, user_data_, size};
        std::memcpy(packet.data(), header, sizeof header);
        if (size > 0) {
            std::memcpy(packet.data() + kPacketHeaderSize, data, size);
        }
        // A full queue (or one nobody reads) loses this notification rather than stall the writer.
        if (!WriteMsgQueue(queue_, packet.data(), static_cast<DWORD>(packet.size()), 0, 0)) {
            tovarin::kernel::registry::TraceNote(L"notification to message queue \"" + queue_name_ +
                                                 L"\" dropped (error " +
                                                 std::to_wstring(GetLastError()) + L")");
        }
        SetLastError(caller_error);
    }

  private:
    const NotifyCondition condition_;
    const HANDLE queue_;
    const std::wstring queue_name_;
    const DWORD user_data_;
};

// A write end of the named queue; the queue is created when nobody has made it yet.
HANDLE OpenQueueForWriting(LPCWSTR name) {
    MSGQUEUEOPTIONS options{};
    options.dwSize = sizeof options;
    options.bReadAccess = FALSE;
    if (HANDLE existing = CreateMsgQueue(name, &options)) {
        return existing;
    }
    options.dwFlags = MSGQUEUE_NOPRECOMMIT;
    options.cbMaxMessage = kCreatedQueueMessageSize;
    return CreateMsgQueue(name, &options);
}

HRESULT Watch(HKEY key, LPCTSTR sub_key, LPCTSTR value_name,
              const std::shared_ptr<NotificationSink>& sink, Delivery delivery,
              HREGNOTIFY* handle) {
    uint32_t value = 0;
    LONG error =
        Device::Current().registry().AddWatch(key, sub_key, value_name, sink, delivery, &value);
    if (error == ERROR_INVALID_HANDLE) {
        return E_INVALIDARG;
    }
    if (error != ERROR_SUCCESS) {
        return HRESULT_FROM_WIN32(error);
    }
    *handle = ToHandle(value);
    return S_OK;
}

}  // namespace

extern "C" {

HRESULT WINAPI RegistryNotifyCallback(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                      REGISTRYNOTIFYCALLBACK pfnRegistryNotifyCallback,
                                      DWORD dwUserData, NOTIFICATIONCONDITION* pCondition,
                                      HREGNOTIFY* phNotify) {
    if (!hKey || !pfnRegistryNotifyCallback || !phNotify) {
        return E_INVALIDARG;
    }
    try {
        auto condition = NotifyCondition::From(pCondition);
        if (!condition) {
            return E_INVALIDARG;
        }
        auto sink = std::make_shared<CallbackSink>(std::move(*condition), pfnRegistryNotifyCallback,
                                                   dwUserData);
        return Watch(hKey, pszSubKey, pszValueName, sink, Delivery::NotificationThread, phNotify);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

HRESULT WINAPI RegistryNotifyMsgQueue(HKEY hKey, LPCTSTR pszSubKey, LPCTSTR pszValueName,
                                      LPCTSTR pszMsgQueue, DWORD dwUserData,
                                      NOTIFICATIONCONDITION* pCondition, HREGNOTIFY* phNotify) {
    if (!hKey || !pszMsgQueue || !*pszMsgQueue || !phNotify) {
        return E_INVALIDARG;
    }
    try {
        auto condition = NotifyCondition::From(pCondition);
        if (!condition) {
            return E_INVALIDARG;
        }
        HANDLE queue = OpenQueueForWriting(pszMsgQueue);
        if (!queue) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        auto sink =
            std::make_shared<QueueSink>(std::move(*condition), queue, pszMsgQueue, dwUserData);
        return Watch(hKey, pszSubKey, pszValueName, sink, Delivery::AtChange, phNotify);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

HRESULT WINAPI RegistryCloseNotification(HREGNOTIFY hNotify) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(hNotify);
    if (value == 0 || value > UINT32_MAX) {
        return E_INVALIDARG;
    }
    try {
        return Device::Current().registry().notifier().Close(static_cast<uint32_t>(value))
                   ? S_OK
                   : E_INVALIDARG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception&) {
        return E_FAIL;
    }
}

}  // extern "C"
