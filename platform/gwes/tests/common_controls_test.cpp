// InitCommonControlsEx: the record is checked, and the classes asked for are remembered per device.
#include <windows.h>
#include <commctrl.h>

#include "gwes/commctrl/common_controls.h"
#include "testing/device_fixture.h"

namespace tovarin::gwes::testing {
namespace {

using CommonControlsTest = kernel::testing::SimulatedDeviceTest;

TEST_F(CommonControlsTest, ClassesAskedForAddUp) {
    EXPECT_EQ(0u, InitializedCommonControls());
    // What the call-recording service asks for: the bar classes, in an 8-byte record.
    INITCOMMONCONTROLSEX bars{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    EXPECT_EQ(8u, bars.dwSize);
    EXPECT_TRUE(InitCommonControlsEx(&bars));
    EXPECT_EQ(static_cast<uint32_t>(ICC_BAR_CLASSES), InitializedCommonControls());

    INITCOMMONCONTROLSEX more{sizeof(INITCOMMONCONTROLSEX),
                              ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    EXPECT_TRUE(InitCommonControlsEx(&more));
    EXPECT_EQ(static_cast<uint32_t>(ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES),
              InitializedCommonControls());
}

TEST_F(CommonControlsTest, AMissingOrMisSizedRecordIsRefused) {
    SetLastError(0);
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    for (DWORD size : {DWORD{0}, DWORD{4}, DWORD{12}}) {
        INITCOMMONCONTROLSEX record{size, ICC_BAR_CLASSES};
        SetLastError(0);
        EXPECT_FALSE(InitCommonControlsEx(&record)) << size;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    }
    EXPECT_EQ(0u, InitializedCommonControls());
}

// The classes belong to the device: the next one starts with none.
TEST(CommonControlsPerDeviceTest, ANewDeviceStartsWithNone) {
    INITCOMMONCONTROLSEX bars{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    {
        kernel::Device device{kernel::DeviceOptions{}};
        ASSERT_TRUE(InitCommonControlsEx(&bars));
    }
    kernel::Device device{kernel::DeviceOptions{}};
    EXPECT_EQ(0u, InitializedCommonControls());
}

}  // namespace
}  // namespace tovarin::gwes::testing
