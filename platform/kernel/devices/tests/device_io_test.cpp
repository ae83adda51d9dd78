#include <windows.h>

#include <cstdint>
#include <vector>

#include "host/device_log.h"
#include "host/drivers.h"
#include "kernel/devices/driver_table.h"
#include "testing/image_device.h"

namespace tovarin::kernel::testing {
namespace {

// A driver that answers one code with output bytes and fails every other with its own error.
class EchoDriver final : public Driver {
  public:
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override {
        ++calls;
        if (code != 7) {
            *error = ERROR_INVALID_PARAMETER;
            return false;
        }
        for (size_t i = 0; i < output.size() && i < input.size(); ++i) {
            output[i] = static_cast<uint8_t>(input[i] + 1);
        }
        *bytes_returned = 64;  // more than any caller's buffer: the platform cuts it
        return true;
    }
    int calls = 0;
};

class DeviceIoTest : public ImageDeviceTest {
  protected:
    std::vector<IoctlRecord> Ioctls() {
        std::vector<IoctlRecord> records;
        for (const LogEntry& entry : device_.log().Since(0)) {
            if (const auto* record = std::get_if<IoctlRecord>(&entry.what)) {
                records.push_back(*record);
            }
        }
        return records;
    }
};

TEST_F(DeviceIoTest, TheWaveMessageIsRecordedWithItsExactWords) {
    RegisterDriver(L"WAV1:", std::make_shared<RecordingDriver>());
    HANDLE wave = CreateFileW(L"WAV1:", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_ARCHIVE, nullptr);
    ASSERT_NE(wave, INVALID_HANDLE_VALUE);
    DWORD message[5] = {0, 0x614, 0, 0, 0};
    DWORD output = 0xAAAAAAAA;
    EXPECT_TRUE(DeviceIoControl(wave, 0x001D000C, message, sizeof message, &output, sizeof output,
                                nullptr, nullptr));
    EXPECT_EQ(output, 0xAAAAAAAAu);  // the recording driver writes nothing
    EXPECT_TRUE(CloseHandle(wave));

    std::vector<IoctlRecord> records = Ioctls();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].device, L"WAV1:");
    EXPECT_EQ(records[0].code, 0x001D000Cu);
    EXPECT_EQ(records[0].input.size(), 20u);
    EXPECT_EQ(records[0].InputWords(), (std::vector<uint32_t>{0, 0x614, 0, 0, 0}));
}

TEST_F(DeviceIoTest, DriversAnswerWithTheirOutputAndErrorsAndAreRecordedFirst) {
    auto echo = std::make_shared<EchoDriver>();
    RegisterDriver(L"RUT1:", echo);
    // Device names are matched without regard to case; access rights are the driver's business.
    HANDLE device = CreateFileW(L"rut1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(device, INVALID_HANDLE_VALUE);

    uint8_t input[4] = {1, 2, 3, 4};
    uint8_t output[2] = {};
    DWORD returned = 99;
    EXPECT_TRUE(
        DeviceIoControl(device, 7, input, sizeof input, output, sizeof output, &returned, nullptr));
    EXPECT_EQ(output[0], 2);
    EXPECT_EQ(output[1], 3);
    EXPECT_EQ(returned, 2u);

    DWORD words[2] = {0x5A00, 0x5A01};
    EXPECT_FALSE(DeviceIoControl(device, 1, words, sizeof words, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(echo->calls, 2);

    std::vector<IoctlRecord> records = Ioctls();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].device, L"RUT1:");
    EXPECT_EQ(records[1].code, 1u);
    EXPECT_EQ(records[1].InputWords(), (std::vector<uint32_t>{0x5A00, 0x5A01}));
    CloseHandle(device);
}

TEST_F(DeviceIoTest, AMissingDriverCannotBeOpened) {
    HANDLE missing = CreateFileW(L"BKL1:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(missing, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Ioctls().empty());
}

TEST_F(DeviceIoTest, AHandleOfAnUnregisteredDriverNoLongerReachesIt) {
    auto first = std::make_shared<EchoDriver>();
    RegisterDriver(L"KBM0:", first);
    HANDLE stale = CreateFileW(L"KBM0:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(stale, INVALID_HANDLE_VALUE);

    auto second = std::make_shared<EchoDriver>();
    RegisterDriver(L"kbm0:", second);  // replaces the first
    EXPECT_FALSE(DeviceIoControl(stale, 7, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(first->calls, 0);

    HANDLE fresh = CreateFileW(L"KBM0:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(DeviceIoControl(fresh, 7, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(second->calls, 1);

    UnregisterDriver(L"KBM0:");
    EXPECT_FALSE(DeviceIoControl(fresh, 7, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(CreateFileW(L"KBM0:", 0, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(Ioctls().size(), 1u);  // only the call that reached a driver
    CloseHandle(stale);
    CloseHandle(fresh);
}

TEST_F(DeviceIoTest, OtherHandlesAreNoDevices) {
    HANDLE file = CreateFileW(L"\\plain.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(DeviceIoControl(file, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    CloseHandle(file);
    EXPECT_FALSE(DeviceIoControl(file, 1, nullptr, 0, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(Ioctls().empty());
}

TEST(DeviceNameTest, ThreeLettersADigitAndAColon) {
    EXPECT_EQ(DeviceNameOf(L"wav1:"), std::optional<std::wstring>(L"WAV1:"));
    EXPECT_EQ(DeviceNameOf(L"BKL1:"), std::optional<std::wstring>(L"BKL1:"));
    EXPECT_EQ(DeviceNameOf(L"WAV1"), std::nullopt);
    EXPECT_EQ(DeviceNameOf(L"WAV10:"), std::nullopt);
    EXPECT_EQ(DeviceNameOf(L"W4V1:"), std::nullopt);
    EXPECT_EQ(DeviceNameOf(L"\\WAV1:"), std::nullopt);
}

TEST(DriverLifetimeTest, DriversGoWithTheirDevice) {
    std::weak_ptr<Driver> watched;
    {
        Device first({.clock = ClockMode::Simulated});
        auto driver = std::make_shared<RecordingDriver>();
        watched = driver;
        RegisterDriver(L"WAV1:", std::move(driver));
        EXPECT_NE(FindDriver(L"WAV1:"), nullptr);
    }
    EXPECT_TRUE(watched.expired());
    Device second({.clock = ClockMode::Simulated});
    EXPECT_EQ(FindDriver(L"WAV1:"), nullptr);
}

}  // namespace
}  // namespace tovarin::kernel::testing
