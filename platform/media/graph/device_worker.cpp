#include "media/graph/device_worker.h"

#include <exception>

#include "host/device.h"

namespace tovarin::media {

DeviceWorker::DeviceWorker() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

DeviceWorker::~DeviceWorker() {
    const bool unwinding = std::uncaught_exceptions() > 0;
    Stop();
    if (!unwinding) {
        CloseHandle(stop_);  // the worker may still look at it while the device ends it
    }
}

bool DeviceWorker::Start(std::function<void(DeviceWorker&)> body) {
    Stop();
    ResetEvent(stop_);
    body_ = std::move(body);
    thread_ = CreateThread(nullptr, 0, &DeviceWorker::Entry, this, 0, &thread_id_);
    return thread_ != nullptr;
}

void DeviceWorker::Stop() {
    if (thread_ == nullptr) {
        return;
    }
    SetEvent(stop_);
    // A thread that the device is ending unwinds through here: waiting would throw again inside
    // a destructor. The device ends the worker as well.
    if (!OnWorkerThread() && std::uncaught_exceptions() == 0) {
        WaitForSingleObject(thread_, INFINITE);
    }
    CloseHandle(thread_);
    thread_ = nullptr;
}

bool DeviceWorker::OnWorkerThread() const {
    return thread_ != nullptr && GetCurrentThreadId() == thread_id_;
}

bool DeviceWorker::Sleep(uint32_t ms) {
    return WaitForSingleObject(stop_, ms) == WAIT_TIMEOUT;
}

bool DeviceWorker::StopRequested() const {
    return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0;
}

DWORD WINAPI DeviceWorker::Entry(LPVOID self) {
    auto* worker = static_cast<DeviceWorker*>(self);
    worker->body_(*worker);
    return 0;
}

REFERENCE_TIME DeviceTimeNow() {
    return static_cast<REFERENCE_TIME>(kernel::Device::Current().NowMs()) * 10000;
}

}  // namespace tovarin::media
