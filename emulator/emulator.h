// The booted phone: the device on its image, with its drivers, the phone application, the shell's
// taskbar and the services. The thread that boots it takes part in the device's time (it is
// attached) and must be the one that destroys it.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "drivers/device_drivers.h"
#include "hosts/service_host.h"
#include "host/device.h"
#include "host/device_log.h"
#include "phone/phone_application.h"
#include "sip/sip_address.h"

namespace tovarin::emulator {

// The wave-out volume the phone boots with: both channels at 60 %, a user's everyday level, so
// that a change of volume and its restoration can be told apart from the full volume.
inline constexpr uint32_t kBootWaveVolume = 0x99999999;

struct BootOptions {
    std::filesystem::path image_root;  // a prepared image (see image/device_image.h)
    kernel::ClockMode clock = kernel::ClockMode::Simulated;
    // Sees every entry of the device log from the first one on, on the thread that writes it.
    std::function<void(const kernel::LogEntry&)> log_listener;
    // The phone's SIP line listens here once the phone is up (real time only).
    std::optional<sip::SipAddress> sip;
};

namespace sip {
class SipLine;
}

class Emulator {
  public:
    // Boots the device: PowerOn, then Start. nullptr, with a description, when it cannot boot.
    static std::unique_ptr<Emulator> Boot(const BootOptions& options, std::string* error);
    // The device before its boot: the registry of the image loaded and the device's own state
    // (files, free space, power) ready, but nothing of the phone running, so that the console can
    // prepare the image and the initial state. The device runs on battery in the system power
    // state "on". nullptr, with a description, when the device cannot start.
    static std::unique_ptr<Emulator> PowerOn(const BootOptions& options, std::string* error);
    // Boots a powered-on device: the drivers, the phone state, the taskbar, the phone
    // application, then the services. False, with a description, when it cannot boot; the
    // emulator is then only fit to be destroyed.
    bool Start(std::string* error);
    bool started() const { return started_; }
    // Shuts the device down: every device thread ends and the registry is saved.
    ~Emulator();
    Emulator(const Emulator&) = delete;
    Emulator& operator=(const Emulator&) = delete;

    // Saves the pending registry changes of the emulator that is up, from any thread (a signal
    // that ends the process). False when no device is up or a hive could not be written.
    static bool FlushRegistryOfRunningDevice();

    kernel::Device& device() { return *device_; }
    phone::PhoneApplication& phone() { return phone_; }
    ServiceHost& services() { return services_; }
    const DeviceDrivers& drivers() const { return drivers_; }
    // The SIP line, when the phone has one; nullptr otherwise.
    const sip::SipLine* sip_line() const { return sip_line_.get(); }

  private:
    Emulator() = default;

    // The destructor shuts the device down first: its threads use the members below.
    std::unique_ptr<kernel::Device> device_;
    std::filesystem::path image_root_;  // where the clock is kept when the device shuts down
    std::optional<kernel::AttachedThread> attached_;
    int log_subscription_ = 0;
    bool started_ = false;
    DeviceDrivers drivers_;
    phone::PhoneApplication phone_;
    ServiceHost services_;
    std::optional<sip::SipAddress> sip_address_;
    // Goes first when the device shuts down: its calls use the phone.
    std::unique_ptr<sip::SipLine> sip_line_;
};

}  // namespace tovarin::emulator
