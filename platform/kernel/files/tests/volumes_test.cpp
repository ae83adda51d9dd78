#include <sys/statvfs.h>

#include <windows.h>

#include <cstdint>

#include "testing/image_device.h"
#include "kernel/files/volumes.h"

namespace tovarin::kernel::testing {
namespace {

struct Space {
    uint64_t available = 0;
    uint64_t total = 0;
    uint64_t free = 0;
};

Space Query(const wchar_t* folder) {
    ULARGE_INTEGER available{}, total{}, free{};
    EXPECT_TRUE(GetDiskFreeSpaceExW(folder, &available, &total, &free)) << GetLastError();
    return {available.QuadPart, total.QuadPart, free.QuadPart};
}

// Other programs write to the host's disk while the tests run: free space is compared within
// a margin far larger than they write, and far smaller than the values the tests simulate.
constexpr uint64_t kHostDrift = 1ull << 30;

bool Near(uint64_t a, uint64_t b) {
    return (a > b ? a - b : b - a) < kHostDrift;
}

using VolumeTest = ImageDeviceTest;

TEST_F(VolumeTest, ReportsTheHostsSpaceForThePathsFileSystem) {
    image_.AddFolder("My Documents");
    struct statvfs host {};
    ASSERT_EQ(statvfs(image_.root().c_str(), &host), 0);
    const uint64_t unit = host.f_frsize;

    Space space = Query(L"\\My Documents");
    EXPECT_EQ(space.total, static_cast<uint64_t>(host.f_blocks) * unit);
    EXPECT_TRUE(Near(space.free, static_cast<uint64_t>(host.f_bfree) * unit));
    EXPECT_TRUE(Near(space.available, static_cast<uint64_t>(host.f_bavail) * unit));
    EXPECT_LE(space.available, space.free);

    Space object_store = Query(nullptr);  // no folder: the root volume
    EXPECT_EQ(object_store.total, space.total);
}

TEST_F(VolumeTest, ASimulatedValueReplacesBothFreeCountsOfItsVolumeOnly) {
    image_.AddFolder("My Documents/Greetings");
    image_.AddFolder("Storage Card/Records");
    const Space card_before = Query(L"\\Storage Card");

    SetSimulatedFreeSpace(L"\\My Documents", 512 * 1024);
    Space root = Query(L"\\my documents\\greetings");
    EXPECT_EQ(root.free, 512u * 1024);
    EXPECT_EQ(root.available, 512u * 1024);
    EXPECT_EQ(root.total, card_before.total);  // the capacity stays the host's
    EXPECT_EQ(Query(L"\\").free, 512u * 1024);
    EXPECT_TRUE(Near(Query(L"\\Storage Card\\Records").free, card_before.free));

    // The card is a volume of its own; naming any path on it names it.
    SetSimulatedFreeSpace(L"\\STORAGE CARD\\Records\\x.amr", 3u << 20);
    EXPECT_EQ(Query(L"\\Storage Card").available, 3u << 20);
    EXPECT_EQ(SimulatedFreeSpace(L"\\Storage Card\\Records"), std::optional<uint64_t>(3u << 20));
    EXPECT_EQ(Query(L"\\My Documents").free, 512u * 1024);

    SetSimulatedFreeSpace(L"\\", std::nullopt);
    EXPECT_TRUE(Near(Query(L"\\My Documents").free, card_before.free));
    EXPECT_EQ(SimulatedFreeSpace(L"\\Windows"), std::nullopt);
}

TEST_F(VolumeTest, AMissingFolderHasNoFreeSpace) {
    SetSimulatedFreeSpace(L"\\", 10u << 20);
    ULARGE_INTEGER available{}, total{}, free{};
    EXPECT_FALSE(GetDiskFreeSpaceExW(L"\\Storage Card\\Records", &available, &total, &free));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(GetDiskFreeSpaceExW(L"\\Missing", &available, &total, &free));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(VolumeNamesTest, TheCardFolderAndEverythingBelowItIsTheCardVolume) {
    EXPECT_EQ(VolumeOf(L"\\Storage Card"), L"\\Storage Card");
    EXPECT_EQ(VolumeOf(L"/storage card/a/b.amr"), L"\\Storage Card");
    EXPECT_EQ(VolumeOf(L"\\Storage Cards\\a"), L"\\");
    EXPECT_EQ(VolumeOf(L"\\My Documents\\Storage Card"), L"\\");
    EXPECT_EQ(VolumeOf(L"\\"), L"\\");
}

TEST(VolumeLifetimeTest, ANewDeviceStartsWithoutSimulatedValues) {
    TempImage image;
    {
        Device first({.clock = ClockMode::Simulated, .image_root = image.root()});
        SetSimulatedFreeSpace(L"\\", 1234);
        EXPECT_EQ(SimulatedFreeSpace(L"\\"), std::optional<uint64_t>(1234));
    }
    Device second({.clock = ClockMode::Simulated, .image_root = image.root()});
    EXPECT_EQ(SimulatedFreeSpace(L"\\"), std::nullopt);
}

}  // namespace
}  // namespace tovarin::kernel::testing

namespace tovarin::kernel::testing {
namespace {

using SimulatedSpaceTest = ImageDeviceTest;

TEST_F(SimulatedSpaceTest, WritesUseUpTheSimulatedSpaceAndOneThatDoesNotFitFails) {
    image_.AddFolder("My Documents");
    image_.AddFolder("Storage Card");
    SetSimulatedFreeSpace(L"\\", 10);
    HANDLE file =
        CreateFileW(L"\\My Documents\\a.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    EXPECT_TRUE(WriteFile(file, "123456", 6, &done, nullptr));
    ULARGE_INTEGER available{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"\\My Documents", &available, nullptr, nullptr));
    EXPECT_EQ(available.QuadPart, 4u);

    EXPECT_FALSE(WriteFile(file, "789012", 6, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(done, 0u);
    // Writing over what the file holds takes no new space.
    ASSERT_EQ(SetFilePointer(file, 0, nullptr, FILE_BEGIN), 0u);
    EXPECT_TRUE(WriteFile(file, "abcdef", 6, &done, nullptr));
    EXPECT_TRUE(WriteFile(file, "ghij", 4, &done, nullptr));
    ASSERT_TRUE(GetDiskFreeSpaceExW(L"\\My Documents", &available, nullptr, nullptr));
    EXPECT_EQ(available.QuadPart, 0u);
    CloseHandle(file);
    EXPECT_EQ(HostContent("My Documents/a.bin"), "abcdefghij");

    // The card is a volume of its own, with the host's space.
    HANDLE card =
        CreateFileW(L"\\Storage Card\\b.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(card, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteFile(card, "123456", 6, &done, nullptr));
    CloseHandle(card);
}

TEST_F(SimulatedSpaceTest, DeletingTruncatingAndMovingAwayGiveTheSpaceBack) {
    image_.AddFolder("My Documents");
    image_.AddFolder("Storage Card");
    SetSimulatedFreeSpace(L"\\", 10);
    auto write_six = [](const wchar_t* path) {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD done = 0;
        const bool written =
            file != INVALID_HANDLE_VALUE && WriteFile(file, "123456", 6, &done, nullptr);
        CloseHandle(file);
        return written;
    };
    auto available = [](const wchar_t* folder) {
        ULARGE_INTEGER bytes{};
        EXPECT_TRUE(GetDiskFreeSpaceExW(folder, &bytes, nullptr, nullptr));
        return bytes.QuadPart;
    };
    ASSERT_TRUE(write_six(L"\\My Documents\\a.bin"));
    // Written again from the start: the truncation gives the first six bytes back.
    ASSERT_TRUE(write_six(L"\\My Documents\\a.bin"));
    EXPECT_EQ(available(L"\\"), 4u);
    ASSERT_TRUE(DeleteFileW(L"\\My Documents\\a.bin"));
    EXPECT_EQ(available(L"\\"), 10u);

    ASSERT_TRUE(write_six(L"\\My Documents\\b.bin"));
    SetSimulatedFreeSpace(L"\\Storage Card", 5);
    EXPECT_FALSE(MoveFileW(L"\\My Documents\\b.bin", L"\\Storage Card\\b.bin"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    SetSimulatedFreeSpace(L"\\Storage Card", 6);
    ASSERT_TRUE(MoveFileW(L"\\My Documents\\b.bin", L"\\Storage Card\\b.bin"));
    EXPECT_EQ(available(L"\\"), 10u);
    EXPECT_EQ(available(L"\\Storage Card"), 0u);
}

}  // namespace
}  // namespace tovarin::kernel::testing
