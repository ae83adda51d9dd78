// A fresh simulated device for each test of the call-recording service: its \Windows holds the
// string files the test asks for, "KBM0:" records the controls it receives, and the service's
// state starts empty.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "callisk.h"
#include "testing/gwes_fixture.h"
#include "host/device.h"
#include "host/device_log.h"
#include "testing/temp_image.h"

namespace callisk_testing {

using tovarin::gwes::testing::PumpingThread;

struct ImageFile {
    const char* built;  // PHONE_STRINGS_FILE, ... of the build
    const char* name;   // its name in \Windows
};

struct Version {
    uint32_t major = 5;
    uint32_t minor = 2;
    uint16_t language = 0x0419;
};

class DeviceTest : public ::testing::Test {
  protected:
    ~DeviceTest() override { Shutdown(); }

    // Boots a new device on a new image.
    void Boot(const std::vector<ImageFile>& files, Version version = {});
    void Shutdown();

    template <typename Record>
    static std::vector<Record> Logged() {
        std::vector<Record> found;
        for (const auto& entry : tovarin::kernel::Device::Current().log().Since(0)) {
            if (const Record* record = std::get_if<Record>(&entry.what)) {
                found.push_back(*record);
            }
        }
        return found;
    }
    static std::vector<uint32_t> KeyboardCodes();
    static size_t TracesContaining(const std::wstring& text);

    std::optional<tovarin::kernel::testing::TempImage> image_;
    std::optional<tovarin::kernel::Device> device_;
    std::optional<tovarin::kernel::AttachedThread> self_;
};

// The service on a Russian 5.2 device with call recording switched on.
class ServiceTest : public DeviceTest {
  protected:
    void SetUp() override;

    static void SetDword(LPCWSTR key, LPCWSTR name, DWORD value);
    static void SetActivate(DWORD value);
    static void SetActiveCallCount(DWORD value);
    static void Status(DWORD status);
    // The same on a thread of its own, as the notification thread runs it; false when that
    // thread is still blocked once the device has nothing left to do.
    static bool StatusOnOwnThread(DWORD status);
    static void PressRecordKey();
    // Whether another window could take the record key as its hot key.
    static bool RecordKeyIsFree();

    // The phone's call dialog on a thread of its own. Its own procedure counts the hot keys it is
    // passed.
    HWND ShowCallDialog();
    static int HotKeysSeenByPhone();
    // The next change of a window procedure fails as it does on a window that has just gone
    // (ERROR_INVALID_WINDOW_HANDLE). The test program is linked with SetWindowLongW wrapped.
    static void FailNextWindowProcedureChange();

    std::optional<PumpingThread> phone_;
};

}  // namespace callisk_testing
