// The console's file write on a volume without room: the file it would replace stays as it was,
// and no empty file is left where there was none.
#include "console/device_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

#include "host/device.h"
#include "host/free_space.h"

namespace tovarin::emulator::console {
namespace {

class DeviceFilesTest : public ::testing::Test {
  protected:
    DeviceFilesTest()
        : image_(MakeImage()),
          device_({.clock = kernel::ClockMode::Simulated, .image_root = image_}) {
        self_.emplace("test");
    }
    ~DeviceFilesTest() override {
        self_.reset();
        std::filesystem::remove_all(image_);
    }
    static std::filesystem::path MakeImage() {
        auto root = std::filesystem::temp_directory_path() /
                    ("device-files-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "My Documents");
        return root;
    }
    std::string Read(const char* relative) const {
        std::ifstream in(image_ / relative, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path image_;
    kernel::Device device_;
    std::optional<kernel::AttachedThread> self_;
};

TEST_F(DeviceFilesTest, AWriteWithoutRoomChangesNothing) {
    ASSERT_EQ("", WriteDeviceFile(L"\\My Documents\\note.txt", "the old text"));
    kernel::SetSimulatedFreeSpace(L"\\My Documents", 4);
    const std::string error = WriteDeviceFile(L"\\My Documents\\note.txt", "a longer new text");
    EXPECT_NE(std::string::npos, error.find("no room")) << error;
    EXPECT_EQ("the old text", Read("My Documents/note.txt"));
    EXPECT_NE("", WriteDeviceFile(L"\\My Documents\\new.txt", "a longer new text"));
    EXPECT_FALSE(std::filesystem::exists(image_ / "My Documents/new.txt"));
    // Nothing of the attempt is left beside them.
    int entries = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(image_ / "My Documents")) {
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
