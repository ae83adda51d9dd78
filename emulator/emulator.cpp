#include "emulator.h"

#include <mutex>

#include "host_trace.h"
#include "hosts/boot_programs.h"
#include "hosts/program_shutdown.h"
#include "hosts/taskbar.h"
#include "image/default_registry.h"
#include "image/device_clock.h"
#include "image/device_image.h"
#include "host/text.h"
#include "host/registry.h"
#include "host/wave_volume.h"
#include "sip/sip_line.h"

namespace tovarin::emulator {
namespace {

// The device that a signal may flush; the mutex keeps it from going while it is flushed.
std::mutex g_running_mutex;
kernel::Device* g_running_device = nullptr;

}  // namespace

bool Emulator::FlushRegistryOfRunningDevice() {
    std::lock_guard lock(g_running_mutex);
    return g_running_device && kernel::HostRegistry(*g_running_device).Flush();
}

std::unique_ptr<Emulator> Emulator::Boot(const BootOptions& options, std::string* error) {
    std::unique_ptr<Emulator> emulator = PowerOn(options, error);
    if (!emulator || !emulator->Start(error)) {
        return nullptr;
    }
    return emulator;
}

std::unique_ptr<Emulator> Emulator::PowerOn(const BootOptions& options, std::string* error) {
    std::unique_ptr<Emulator> emulator(new Emulator());
    kernel::DeviceOptions device_options;
    device_options.clock = options.clock;
    device_options.image_root = options.image_root;
    device_options.registry_dir = RegistryFolderOf(options.image_root);
    device_options.boot_unix_ms = ReadImageClock(options.image_root);
    emulator->image_root_ = options.image_root;
    emulator->sip_address_ = options.sip;
    try {
        emulator->device_ = std::make_unique<kernel::Device>(device_options);
    } catch (const std::exception& failure) {
        *error = std::string("the device cannot start: ") + failure.what();
        return nullptr;
    }
    {
        std::lock_guard lock(g_running_mutex);
        g_running_device = emulator->device_.get();
    }
    if (options.log_listener) {
        emulator->log_subscription_ = emulator->device_->log().Subscribe(options.log_listener);
    }
    emulator->attached_.emplace("console");
    kernel::HostRegistry registry(*emulator->device_);
    for (const std::wstring& message : registry.LoadMessages()) {
        HostTrace(L"registry", message);
    }
    // A phone whose hive is gone still boots as a phone: with the services listed and the
    // default values, never with nothing running.
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        if (registry.LoadedFromFile(root)) {
            continue;
        }
        const bool machine = root == HKEY_LOCAL_MACHINE;
        const std::filesystem::path file =
            RegistryFolderOf(options.image_root) / (machine ? "HKLM.reg" : "HKCU.reg");
        std::error_code failed;
        HostTrace(L"registry",
                  kernel::Utf8ToWide(file.string()) +
                      (std::filesystem::exists(file, failed) ? L" cannot be read"
                                                             : L" is missing or was set aside") +
                      L"; " + (machine ? L"HKEY_LOCAL_MACHINE" : L"HKEY_CURRENT_USER") +
                      L" starts from the image's default registry");
        if (!FillDefaultHive(registry, root, error)) {
            return nullptr;
        }
    }
    return emulator;
}

bool Emulator::Start(std::string* error) {
    if (started_) {
        *error = "the device is up already";
        return false;
    }
    started_ = true;
    drivers_ = RegisterDeviceDrivers();
    media::SetWaveVolume(kBootWaveVolume);
    if (!phone_.TurnRadioOn()) {
        *error = "cannot publish the phone state";
        return false;
    }
    if (!StartTaskbar(error) || !phone_.Start(error) || !services_.Start(error)) {
        return false;
    }
    StartBootPrograms();
    if (sip_address_) {
        if (device_->options().clock != kernel::ClockMode::Real) {
            *error = "the SIP line needs real time";
            return false;
        }
        sip_line_ = sip::SipLine::Start(*sip_address_, phone_, error);
        if (!sip_line_) {
            return false;
        }
    }
    return true;
}

Emulator::~Emulator() {
    if (started_ && device_) {
        // A second of device time is plenty for a program to stop its sound and close its file.
        constexpr uint32_t kProgramCloseMs = 1000;
        if (size_t left = CloseRunningPrograms(kProgramCloseMs); left != 0) {
            HostTrace(L"shutdown", std::to_wstring(left) +
                                       L" program(s) did not close; they end with the device");
        }
    }
    {
        std::lock_guard lock(g_running_mutex);
        if (g_running_device == device_.get()) {
            g_running_device = nullptr;  // the shutdown below saves the registry itself
        }
    }
    sip_line_.reset();
    phone_.StopListening();
    if (device_ && log_subscription_ != 0) {
        device_->log().Unsubscribe(log_subscription_);
    }
    if (device_) {
        std::string error;
        if (!WriteImageClock(image_root_,
                             device_->BootUnixMs() + static_cast<int64_t>(device_->NowMs()),
                             &error)) {
            HostTrace(L"clock", kernel::Utf8ToWide(error));
        }
    }
    attached_.reset();
    device_.reset();
}

}  // namespace tovarin::emulator
