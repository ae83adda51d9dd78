// The console's file write on a volume without room: the file it would replace stays as it was,
// and no empty file is left where there was none.
#include "console/device_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/device.h"
#include "host/free_space.h"
#include "testing/temp_image.h"

namespace tovarin::emulator::console {
namespace {

class DeviceFilesTest : public ::testing::Test {
  protected:
    std::string Read(const char* relative) const {
        std::ifstream in(image_.root() / relative, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    kernel::testing::TempImage image_;
    const std::filesystem::path folder_ = image_.AddFolder("My Documents");
    kernel::Device device_{{.clock = kernel::ClockMode::Simulated, .image_root = image_.root()}};
    kernel::AttachedThread self_{"test"};  // leaves the device before it goes
};

TEST_F(DeviceFilesTest, AWriteWithoutRoomChangesNothing) {
    ASSERT_EQ("", WriteDeviceFile(L"\\My Documents\\note.txt", "the old text"));
    kernel::SetSimulatedFreeSpace(L"\\My Documents", 4);
    const std::string error = WriteDeviceFile(L"\\My Documents\\note.txt", "a longer new text");
    EXPECT_NE(std::string::npos, error.find("no room")) << error;
    EXPECT_EQ("the old text", Read("My Documents/note.txt"));
    EXPECT_NE("", WriteDeviceFile(L"\\My Documents\\new.txt", "a longer new text"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "new.txt"));
    // Nothing of the attempt is left beside them.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder_)) {
        ++entries;
    }
    EXPECT_EQ(1, entries);

    // With room again, the write replaces the file whole.
    kernel::SetSimulatedFreeSpace(L"\\My Documents", std::nullopt);
    EXPECT_EQ("", WriteDeviceFile(L"\\My Documents\\note.txt", "the new text"));
    EXPECT_EQ("the new text", Read("My Documents/note.txt"));
}

}  // namespace
}  // namespace tovarin::emulator::console
