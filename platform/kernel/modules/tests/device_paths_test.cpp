// Device paths onto the image folder (the UTF-8 codec they rest on is tested with the strings).
#include <gtest/gtest.h>

#include "host/device.h"
#include "host/device_paths.h"
#include "testing/temp_image.h"

namespace tovarin::kernel {
namespace {

using std::filesystem::path;

class DevicePathsTest : public ::testing::Test {
  protected:
    DevicePathsTest() {
        image_.AddFile("Windows/TestModule.dll", "");
        image_.AddFile(u8path("My Documents/Записи/Звонок 1.amr"), "");
    }

    static path u8path(std::string_view utf8) { return path(std::string(utf8)); }

    testing::TempImage image_;
    Device device_{{.clock = ClockMode::Simulated, .image_root = image_.root()}};
};

TEST_F(DevicePathsTest, ExistingEntriesKeepTheirHostSpelling) {
    EXPECT_EQ(HostPathFor(L"\\windows\\TESTMODULE.DLL"),
              image_.root() / "Windows" / "TestModule.dll");
    EXPECT_EQ(HostPathFor(L"\\my documents\\ЗАПИСИ\\звонок 1.AMR"),
              image_.root() / u8path("My Documents/Записи/Звонок 1.amr"));
}

TEST_F(DevicePathsTest, MissingComponentsAreTakenAsWritten) {
    EXPECT_EQ(HostPathFor(L"\\WINDOWS\\New Folder\\Запись.amr"),
              image_.root() / "Windows" / "New Folder" / u8path("Запись.amr"));
    EXPECT_EQ(HostPathFor(L"\\Storage Card"), image_.root() / "Storage Card");
}

TEST_F(DevicePathsTest, AnExactMatchWinsOverOtherSpellings) {
    image_.AddFolder("Windows/Case");
    image_.AddFolder("Windows/CASE");
    EXPECT_EQ(HostPathFor(L"\\Windows\\Case"), image_.root() / "Windows" / "Case");
    EXPECT_EQ(HostPathFor(L"\\Windows\\CASE"), image_.root() / "Windows" / "CASE");
    // Without an exact match the choice does not depend on the order of the directory.
    EXPECT_EQ(HostPathFor(L"\\Windows\\case"), image_.root() / "Windows" / "CASE");
}

TEST_F(DevicePathsTest, SeparatorsAndDotsAreNormalised) {
    const path expected = image_.root() / "Windows" / "TestModule.dll";
    EXPECT_EQ(HostPathFor(L"\\Windows\\\\TestModule.dll"), expected);
    EXPECT_EQ(HostPathFor(L"/Windows/./TestModule.dll"), expected);
    EXPECT_EQ(HostPathFor(L"\\"), image_.root());
}

TEST_F(DevicePathsTest, PathsThatAreNotAbsoluteOrLeaveTheRootAreRefused) {
    EXPECT_EQ(HostPathFor(L"\\Windows\\..\\..\\etc\\passwd"), std::nullopt);
    EXPECT_EQ(HostPathFor(L"\\.."), std::nullopt);
    EXPECT_EQ(HostPathFor(L"/Windows/../Windows/TestModule.dll"), std::nullopt);
    EXPECT_EQ(HostPathFor(L"Windows\\TestModule.dll"), std::nullopt);
    EXPECT_EQ(HostPathFor(L""), std::nullopt);
    EXPECT_EQ(HostPathFor(std::wstring_view(L"\\Windows\0\\x", 12)), std::nullopt);
}

TEST_F(DevicePathsTest, DevicePathOfAHostPath) {
    EXPECT_EQ(DevicePathFor(image_.root() / u8path("My Documents/Записи")),
              L"\\My Documents\\Записи");
    EXPECT_EQ(DevicePathFor(image_.root()), L"\\");
    EXPECT_EQ(DevicePathFor(*HostPathFor(L"\\MY DOCUMENTS\\записи\\ЗВОНОК 1.amr")),
              L"\\My Documents\\Записи\\Звонок 1.amr");
}

TEST_F(DevicePathsTest, HostPathsOutsideTheRootHaveNoDevicePath) {
    EXPECT_EQ(DevicePathFor("/etc/passwd"), L"");
    EXPECT_EQ(DevicePathFor(image_.root() / ".." / "elsewhere"), L"");
    EXPECT_EQ(DevicePathFor(image_.root().parent_path()), L"");
}

TEST(DevicePathsWithoutImage, NothingMapsWithoutAnImageRoot) {
    EXPECT_EQ(HostPathFor(L"\\Windows"), std::nullopt);  // no device up
    Device device({.clock = ClockMode::Simulated});
    EXPECT_EQ(HostPathFor(L"\\Windows"), std::nullopt);
    EXPECT_EQ(DevicePathFor("/tmp"), L"");
}

TEST(DeviceNames, CompareWithoutRegardToCase) {
    EXPECT_TRUE(DeviceNamesEqual(L"ЗАПИСЬ Ёлки.amr", L"запись ёлки.AMR"));
    EXPECT_FALSE(DeviceNamesEqual(L"Запись", L"Записи"));
    EXPECT_FALSE(DeviceNamesEqual(L"a", L"ab"));
}

}  // namespace
}  // namespace tovarin::kernel
