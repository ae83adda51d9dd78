// Freeing Wexmoor.dll at once after EVL_Deinit: its watchers may not have left its code yet, so
// the library's detach waits for them before the code and their events go.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include <windows.h>

#include "common/names.h"
#include "host/device.h"
#include "host/drivers.h"
#include "testing/temp_image.h"

namespace {

using EntryProc = DWORD (*)(DWORD);

TEST(ListenerUnloadTest, FreeLibraryAfterDeinitWaitsForTheWatchers) {
    tovarin::kernel::testing::TempImage image;
    std::filesystem::path windows = image.AddFolder("Windows");
    std::filesystem::copy_file(WEXMOOR_FILE, windows / "Wexmoor.dll");
    tovarin::kernel::DeviceOptions options;
    options.clock = tovarin::kernel::ClockMode::Simulated;
    options.image_root = image.root();
    tovarin::kernel::Device device(options);
    tovarin::kernel::AttachedThread self("test");
    tovarin::kernel::SetKernelIoControlHandler(
        std::make_shared<tovarin::kernel::RecordingDriver>());
    tovarin::kernel::RegisterDriver(kDeviceRingToneRouter,
                                    std::make_shared<tovarin::kernel::RecordingDriver>());
    tovarin::kernel::RegisterDriver(kDeviceBacklight,
                                    std::make_shared<tovarin::kernel::RecordingDriver>());

    for (int round = 0; round < 20; ++round) {
        HMODULE library = LoadLibraryW(L"Wexmoor.dll");
        ASSERT_NE(nullptr, library);
        auto init = reinterpret_cast<EntryProc>(GetProcAddressW(library, L"EVL_Init"));
        auto deinit = reinterpret_cast<EntryProc>(GetProcAddressW(library, L"EVL_Deinit"));
        ASSERT_NE(nullptr, init);
        ASSERT_NE(nullptr, deinit);
        EXPECT_EQ(1u, init(0));
        EXPECT_EQ(0u, deinit(0));
        EXPECT_TRUE(FreeLibrary(library));  // the watchers have been told to stop, no more
        tovarin::kernel::AdvanceDeviceTime(1000);
        tovarin::kernel::WaitForDeviceIdle();
    }
}

}  // namespace
