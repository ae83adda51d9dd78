// A fresh simulated device for each test, with the test thread attached to it.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "host/device.h"

namespace tovarin::kernel::testing {

class SimulatedDeviceTest : public ::testing::Test {
  protected:
    SimulatedDeviceTest() : device_(Options()) { self_.emplace("test"); }
    ~SimulatedDeviceTest() override { self_.reset(); }

    static DeviceOptions Options() {
        DeviceOptions options;
        options.clock = ClockMode::Simulated;
        options.boot_unix_ms = 1'700'000'000'000;  // 2023-11-14 22:13:20 UTC
        return options;
    }

    Device device_;
    std::optional<AttachedThread> self_;
};

}  // namespace tovarin::kernel::testing
