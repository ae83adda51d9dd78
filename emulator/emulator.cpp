#include "emulator.h"

#include "host_trace.h"
#include "hosts/taskbar.h"
#include "image/device_image.h"
#include "kernel/registry/registry.h"
#include "media/wave_volume.h"

namespace tovarin::emulator {

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
    try {
        emulator->device_ = std::make_unique<kernel::Device>(device_options);
    } catch (const std::exception& failure) {
        *error = std::string("the device cannot start: ") + failure.what();
        return nullptr;
    }
    if (options.log_listener) {
        emulator->log_subscription_ = emulator->device_->log().Subscribe(options.log_listener);
    }
    emulator->attached_.emplace("console");
    for (const std::wstring& message : emulator->device_->registry().LoadMessages()) {
        HostTrace(L"registry", message);
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
    return StartTaskbar(error) && phone_.Start(error) && services_.Start(error);
}

Emulator::~Emulator() {
    phone_.StopListening();
    if (device_ && log_subscription_ != 0) {
        device_->log().Unsubscribe(log_subscription_);
    }
    attached_.reset();
    device_.reset();
}

}  // namespace tovarin::emulator
