// KernelIoControl: every call recorded under "HAL", answered by the handler the host sets.
#include <windows.h>
#include <pkfuncs.h>

#include <cstdint>
#include <vector>

#include "host/device_log.h"
#include "host/drivers.h"
#include "testing/device_fixture.h"

namespace tovarin::kernel::testing {
namespace {

// Answers the keypad code by echoing its input word, and fails every other code.
class HalHandler final : public Driver {
  public:
    bool IoControl(uint32_t code, std::span<const uint8_t> input, std::span<uint8_t> output,
                   uint32_t* bytes_returned, uint32_t* error) override {
        ++calls;
        if (code != 0x01013FFC) {
            *error = ERROR_INVALID_PARAMETER;
            return false;
        }
        for (size_t i = 0; i < output.size() && i < input.size(); ++i) {
            output[i] = input[i];
        }
        *bytes_returned = 32;  // more than any caller's buffer: the platform cuts it
        return true;
    }
    int calls = 0;
};

std::vector<IoctlRecord> Ioctls(Device& device) {
    std::vector<IoctlRecord> records;
    for (const LogEntry& entry : device.log().Since(0)) {
        if (const auto* record = std::get_if<IoctlRecord>(&entry.what)) {
            records.push_back(*record);
        }
    }
    return records;
}

using KernelIoControlTest = SimulatedDeviceTest;

TEST_F(KernelIoControlTest, WithoutAHandlerTheCallFailsButIsRecorded) {
    DWORD flag = 1;
    DWORD returned = 77;
    SetLastError(0);
    EXPECT_FALSE(KernelIoControl(0x01013FFC, &flag, sizeof flag, nullptr, 0, &returned));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), GetLastError());
    EXPECT_EQ(0u, returned);

    std::vector<IoctlRecord> records = Ioctls(device_);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(L"HAL", records[0].device);
    EXPECT_EQ(0x01013FFCu, records[0].code);
    EXPECT_EQ((std::vector<uint32_t>{1}), records[0].InputWords());
}

TEST_F(KernelIoControlTest, TheHandlerAnswersWithItsOutputAndErrors) {
    auto handler = std::make_shared<HalHandler>();
    SetKernelIoControlHandler(handler);

    DWORD flag = 0x0A0B0C0D;
    uint8_t output[2] = {};
    DWORD returned = 0;
    EXPECT_TRUE(KernelIoControl(0x01013FFC, &flag, sizeof flag, output, sizeof output, &returned));
    EXPECT_EQ(2u, returned);
    EXPECT_EQ(0x0D, output[0]);
    EXPECT_EQ(0x0C, output[1]);
    // The keypad call as the listener makes it: no output, no returned count.
    EXPECT_TRUE(KernelIoControl(0x01013FFC, &flag, sizeof flag, nullptr, 0, nullptr));

    SetLastError(0);
    EXPECT_FALSE(KernelIoControl(0x0101000F, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(3, handler->calls);

    std::vector<IoctlRecord> records = Ioctls(device_);
    ASSERT_EQ(3u, records.size());
    for (const IoctlRecord& record : records) {
        EXPECT_EQ(L"HAL", record.device);
    }
    EXPECT_EQ((std::vector<uint32_t>{0x0A0B0C0D}), records[1].InputWords());
    EXPECT_EQ(0x0101000Fu, records[2].code);
    EXPECT_TRUE(records[2].input.empty());

    // Taking the handler away leaves the calls unanswered again.
    SetKernelIoControlHandler(nullptr);
    EXPECT_FALSE(KernelIoControl(0x01013FFC, &flag, sizeof flag, nullptr, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), GetLastError());
    EXPECT_EQ(3, handler->calls);
}

TEST(KernelIoControlPerDeviceTest, ANewDeviceStartsWithoutAHandler) {
    DeviceOptions options;
    auto handler = std::make_shared<HalHandler>();
    {
        Device device(options);
        SetKernelIoControlHandler(handler);
        EXPECT_TRUE(KernelIoControl(0x01013FFC, nullptr, 0, nullptr, 0, nullptr));
    }
    Device device(options);
    EXPECT_FALSE(KernelIoControl(0x01013FFC, nullptr, 0, nullptr, 0, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_SUPPORTED), GetLastError());
    EXPECT_EQ(1, handler->calls);
}

}  // namespace
}  // namespace tovarin::kernel::testing
