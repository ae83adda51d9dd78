// A fresh simulated device on a fresh image for each test of the control panel, with the applet's
// string table loaded as its module and its module-wide storage state started anew.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "testing/image_device.h"

namespace marrowfen_testing {

class ControlPanelTest : public tovarin::kernel::testing::ImageDeviceTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    static void SetDword(LPCWSTR key, LPCWSTR name, DWORD value);
    static void SetString(LPCWSTR key, LPCWSTR name, LPCWSTR text);
    // The value as stored, or "missing".
    static std::wstring StoredString(LPCWSTR key, LPCWSTR name);
    static DWORD StoredDword(LPCWSTR key, LPCWSTR name);
};

}  // namespace marrowfen_testing
