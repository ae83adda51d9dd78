// Device drivers, host side: the emulator registers a driver object under a device name
// ("WAV1:", "KBM0:", "BKL1:", "RUT1:"); CreateFileW on that name opens it and DeviceIoControl on
// the handle reaches IoControl. Every control call is recorded in the device log (device name,
// code, input bytes) before the driver sees it.
//
// Drivers belong to the device that is up: a new device starts with none registered.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tovarin::kernel {

class Driver {
  public:
    virtual ~Driver();
    // Handles one DeviceIoControl call. *bytes_returned starts at 0 and *error at
    // ERROR_SUCCESS; a driver that fails returns false and sets *error to the Win32 code the
    // caller's GetLastError will see. Calls may come from several device threads at once.
    virtual bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                           uint32_t* bytes_returned, uint32_t* error) = 0;
};

// Accepts every control code, writes no output and succeeds: for devices whose effect is only
// what the device log shows (the wave driver's messages, the keypad and backlight controls).
class RecordingDriver final : public Driver {
  public:
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override;
};

// Device names compare without regard to case ("wav1:" opens "WAV1:"). Registering a name again
// replaces its driver; handles opened on the old one fail from then on, as handles of a device
// that was removed do.
void RegisterDriver(std::wstring name, std::shared_ptr<Driver> driver);
void UnregisterDriver(const std::wstring& name);

// The hardware-abstraction layer's handler of KernelIoControl. Every call is recorded in the
// device log under the device name "HAL" before the handler sees it; with no handler set (a new
// device) the call fails with ERROR_NOT_SUPPORTED. Passing null removes the handler.
void SetKernelIoControlHandler(std::shared_ptr<Driver> handler);

}  // namespace tovarin::kernel
