#include "emulator.h"

#include "host_trace.h"
#include "hosts/taskbar.h"
#include "image/device_clock.h"
#include "image/device_image.h"
#include "kernel/files/utf8.h"
#include "kernel/registry/registry.h"
#include "media/wave_volume.h"

namespace tovarin::emulator {

std::unique_ptr<Emulator> Emulator::Boot(const BootOptions& options, std::string* error) {
    std::unique_ptr<Emulator> emulator(new Emulator());
    kernel::DeviceOptions device_options;
    device_options.clock = options.clock;
    device_options.image_root = options.image_root;
    device_options.registry_dir = RegistryFolderOf(options.image_root);
    device_options.boot_unix_ms = ReadImageClock(options.image_root);
    emulator->image_root_ = options.image_root;
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

    emulator->drivers_ = RegisterDeviceDrivers();
    media::SetWaveVolume(kBootWaveVolume);
    if (!emulator->phone_.TurnRadioOn()) {
        *error = "cannot publish the phone state";
        return nullptr;
    }
    if (!StartTaskbar(error) || !emulator->phone_.Start(error) ||
        !emulator->services_.Start(error)) {
        return nullptr;
    }
    return emulator;
}

Emulator::~Emulator() {
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
