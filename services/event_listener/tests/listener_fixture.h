// A simulated device with the drivers that the listener drives (the hardware-abstraction layer,
// "RUT1:", "BKL1:") and the theme library, and helpers to look at what the listener did.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <msgqueue.h>
#include <regext.h>

#include <memory>
#include <string>
#include <vector>

#include "common/names.h"
#include "host/device.h"
#include "host/device_log.h"
#include "host/drivers.h"
#include "testing/device_fixture.h"
#include "host/trace.h"
#include "wexmoor.h"

namespace wexmoor_testing {

using tovarin::kernel::IoctlRecord;
using tovarin::kernel::RecordingDriver;

// How often the theme library's InitializeThemeNotify ran on this device.
extern int g_themeNotifyCalls;
// Makes "Glimmerset.dll" available with InitializeThemeNotify, or without any export.
void ProvideThemeLibrary(bool withExport);

// A driver that takes `busyMs` of device time over every control call.
class BusyDriver final : public tovarin::kernel::Driver {
  public:
    explicit BusyDriver(DWORD busyMs) : busyMs_(busyMs) {}
    bool IoControl(uint32_t, std::span<const uint8_t>, std::span<uint8_t>, uint32_t*,
                   uint32_t*) override {
        Sleep(busyMs_);
        return true;
    }

  private:
    const DWORD busyMs_;
};

class ListenerTest : public tovarin::kernel::testing::SimulatedDeviceTest {
  protected:
    ListenerTest();
    ~ListenerTest() override;

    // EVL_Init, then lets the watchers reach their waits.
    void StartListener();
    // Forgets what the log holds so far.
    void Mark() { mark_ = device_.log().Size(); }
    // Control calls on `device` ("HAL", "RUT1:", "BKL1:") since the mark.
    std::vector<IoctlRecord> IoctlsSinceMark(const std::wstring& device);
    bool TraceContains(const std::wstring& text);

    // Writes a value under "\Software\VarnholtCM\My Setting" and lets the watchers react.
    static void SetMySetting(LPCWSTR value, DWORD data);
    // Readers of the named queue at this moment (0 when no watcher holds it).
    static int QueueReaders(LPCWSTR name);
    // Writes "BacklightOnTap" and "ACBacklightOnTap" under "\ControlPanel\Backlight".
    static void SetBacklightTaps(DWORD onBattery, DWORD onExternalPower);
    static void SignalBacklightChange();

  private:
    size_t mark_ = 0;
};

}  // namespace wexmoor_testing
