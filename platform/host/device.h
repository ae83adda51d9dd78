// The device: one simulated phone per host process. This header is the host side of the platform,
// used by the emulator and by tests; deliverables never include it.
//
// A device is booted with DeviceOptions and shut down by destroying the Device object. While it is
// up, every platform call acts on it. Shutting down ends every device thread (a thread blocked in a
// platform wait leaves it as if it had called ExitThread), saves the registry and unloads modules.
#pragma once

#include <chrono>
#include <cstdint>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace tovarin::kernel {

enum class ClockMode {
    Real,       // the device clock follows the host's steady clock
    Simulated,  // time moves only when every device thread is blocked in a platform wait
};

struct DeviceOptions {
    ClockMode clock = ClockMode::Simulated;
    // Host folder that holds the device's file system (the folder of "\" on the device). Empty:
    // a device without files (unit tests of the kernel).
    std::filesystem::path image_root;
    // Folder of the registry hives (.reg files). Empty: the registry lives in memory only.
    std::filesystem::path registry_dir;
    // Wall-clock time of the device at boot, in milliseconds since 1970-01-01 UTC. 0 takes the
    // host's current time. The device's local time is UTC plus utc_offset_minutes.
    int64_t boot_unix_ms = 0;
    int utc_offset_minutes = 0;
    // What GetVersionExW reports: the phone's Windows CE 5.2.
    uint32_t os_major_version = 5;
    uint32_t os_minor_version = 2;
    uint32_t os_build_number = 0;
    // What GetUserDefaultUILanguage reports: Russian.
    uint16_t ui_language = 0x0419;
    // Host milliseconds that WaitForDeviceIdle waits before it names the threads that keep the
    // device from settling (they run, or block outside the platform's waits).
    uint32_t settle_watchdog_ms = 10'000;
    // The locale that LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT stand for: Russian.
    uint32_t user_locale = 0x0419;
};

class DeviceLog;
class DeviceStates;
class HandleTable;
class LocalHeap;
class Registry;
class Scheduler;
class Trace;

class Device {
  public:
    explicit Device(const DeviceOptions& options);
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // The device that is up. Calling a platform function with no device up is a host bug and
    // aborts with a message.
    static Device& Current();
    static bool IsUp();

    const DeviceOptions& options() const { return options_; }
    Scheduler& scheduler() { return *scheduler_; }
    HandleTable& handles() { return *handles_; }
    Registry& registry() { return *registry_; }
    Trace& trace() { return *trace_; }
    // Everything scripts can assert: traces (copied from the trace), driver calls, keys, programs
    // started, window messages.
    DeviceLog& log() { return *log_; }
    // LocalAlloc's blocks; what is left of them goes when the device shuts down.
    LocalHeap& local_heap() { return *local_heap_; }
    // The per-device state of the platform's subsystems (see DeviceLocal).
    DeviceStates& states() { return *states_; }

    // Device time in milliseconds since boot.
    uint64_t NowMs() const;
    // Wall-clock time of the boot, in milliseconds since 1970-01-01 UTC.
    int64_t BootUnixMs() const { return boot_unix_ms_.load(); }
    // Sets the wall clock (the device's time is set by the user): from now on the wall-clock
    // time is unix_ms plus the device time that passes. Tick counts are not affected.
    void SetWallClockMs(int64_t unix_ms) {
        boot_unix_ms_.store(unix_ms - static_cast<int64_t>(NowMs()));
    }

  private:
    DeviceOptions options_;
    std::atomic<int64_t> boot_unix_ms_;
    std::unique_ptr<Trace> trace_;
    std::unique_ptr<DeviceLog> log_;
    std::unique_ptr<Scheduler> scheduler_;
    std::unique_ptr<HandleTable> handles_;
    std::unique_ptr<Registry> registry_;
    std::unique_ptr<LocalHeap> local_heap_;
    std::unique_ptr<DeviceStates> states_;
};

// Acting on a device from host code (tests, the emulator's console).
//
// A host thread that is not a device thread may call any platform function; its waits are measured
// in device time but do not hold the clock back. To take part in the device's time, a host thread
// attaches itself: while an attached thread runs, simulated time stands still, and when it sleeps
// or waits, time may move on to the earliest deadline.
class AttachedThread {
  public:
    explicit AttachedThread(std::string name);
    ~AttachedThread();
    AttachedThread(const AttachedThread&) = delete;
    AttachedThread& operator=(const AttachedThread&) = delete;
};

// Called from an attached thread: returns once every other device thread is blocked in a platform
// wait and, in simulated mode, no deadline is due at the current device time (time does not move
// while it waits). So a console command that sets off work (an event the service waits for) sees
// it done before the next command, in real time too. In real time it waits at most one settle
// watchdog period.
void WaitForDeviceIdle();

// Lets ms of device time pass for the calling thread (Sleep for host code).
void AdvanceDeviceTime(uint32_t ms);

}  // namespace tovarin::kernel
