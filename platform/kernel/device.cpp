#include "host/device.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "kernel/device_local.h"
#include "host/device_log.h"
#include "kernel/handles.h"
#include "kernel/local_heap.h"
#include "kernel/modules/modules.h"
#include "kernel/registry/registry.h"
#include "kernel/scheduler.h"
#include "host/trace.h"

namespace tovarin::kernel {
namespace {
std::atomic<Device*> g_current{nullptr};

int64_t HostUnixMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}
}  // namespace

Device::Device(const DeviceOptions& options)
    : options_(options),
      boot_unix_ms_(options.boot_unix_ms != 0 ? options.boot_unix_ms : HostUnixMs()) {
    Device* expected = nullptr;
    if (!g_current.compare_exchange_strong(expected, this)) {
        std::fputs("tovarin: a second device was booted in one process\n", stderr);
        std::abort();
    }
    local_heap_ = std::make_unique<LocalHeap>();
    trace_ = std::make_unique<Trace>();
    log_ = std::make_unique<DeviceLog>();
    trace_->Subscribe([log = log_.get()](const TraceLine& line) {
        log->Add({line.tick_ms, line});
    });
    scheduler_ = std::make_unique<Scheduler>(options.clock);
    scheduler_->set_settle_watchdog(std::chrono::milliseconds(options.settle_watchdog_ms));
    handles_ = std::make_unique<HandleTable>();
    states_ = std::make_unique<DeviceStates>();
    registry_ = std::make_unique<Registry>(options.registry_dir);
    modules::RegisterPlatformBuiltins();
}

Device::~Device() {
    scheduler_->Shutdown();
    // A module's DllMain may still use the registry and handles while it detaches.
    modules::UnloadAll();
    registry_.reset();
    // Handles first: an object that a handle held may still reach its subsystem's state.
    handles_.reset();
    states_->Clear();
    local_heap_.reset();
    g_current.store(nullptr);
}

Device& Device::Current() {
    Device* device = g_current.load(std::memory_order_acquire);
    if (!device) {
        std::fputs("tovarin: a platform function was called with no device up\n", stderr);
        std::abort();
    }
    return *device;
}

bool Device::IsUp() {
    return g_current.load(std::memory_order_acquire) != nullptr;
}

uint64_t Device::NowMs() const {
    return scheduler_->NowMs();
}

AttachedThread::AttachedThread(std::string name) {
    CurrentScheduler().Attach(std::move(name));
}

AttachedThread::~AttachedThread() {
    CurrentScheduler().Detach();
}

void WaitForDeviceIdle() {
    CurrentScheduler().WaitForIdle();
}

void AdvanceDeviceTime(uint32_t ms) {
    if (ms > 0) {
        CurrentScheduler().Wait({}, false, ms, nullptr);
    }
}

}  // namespace tovarin::kernel
