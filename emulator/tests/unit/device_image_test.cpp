#include "image/device_image.h"

#include <algorithm>
#include <windows.h>

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "common/names.h"
#include "hosts/service_registry.h"
#include "image/default_registry.h"
#include "image/temporary_image.h"
#include "host/registry.h"

namespace tovarin::emulator {
namespace {
namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class DeviceImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(build_.Make(&error)) << error;
        ASSERT_TRUE(image_.Make(&error)) << error;
        WriteText(build_.root() / "libansley.so", "ansley v1");
        WriteText(build_.root() / "oxbane.so", "oxbane v1");
        files_ = {{L"Ansley.dll", build_.root() / "libansley.so"},
                  {L"Oxbane.exe", build_.root() / "oxbane.so"}};
    }

    bool Prepare(PreparedImage* prepared) {
        std::string error;
        bool ok = PrepareImage(image_.root(), files_, prepared, &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }

    TemporaryImage build_;
    TemporaryImage image_;
    std::vector<BuiltFile> files_;
};

TEST_F(DeviceImageTest, AnExistingImageFollowsTheBuildAndKeepsItsRegistry) {
    PreparedImage first;
    ASSERT_TRUE(Prepare(&first));
    fs::path hkcu = RegistryFolderOf(image_.root()) / "HKCU.reg";
    std::string edited = ReadText(hkcu) + "\r\n[HKEY_CURRENT_USER\\Edited]\r\n";
    WriteText(hkcu, edited);
    WriteText(image_.root() / "My Documents" / "note.txt", "kept");

    PreparedImage unchanged;
    ASSERT_TRUE(Prepare(&unchanged));
    EXPECT_FALSE(unchanged.made);
    EXPECT_TRUE(unchanged.copied.empty());

    WriteText(build_.root() / "libansley.so", "ansley v2, rebuilt");
    PreparedImage rebuilt;
    ASSERT_TRUE(Prepare(&rebuilt));
    EXPECT_EQ(rebuilt.copied, std::vector<std::wstring>{L"Ansley.dll"});
    EXPECT_EQ(ReadText(image_.root() / "Windows" / "Ansley.dll"), "ansley v2, rebuilt");
    EXPECT_EQ(ReadText(hkcu), edited);
    EXPECT_EQ(ReadText(image_.root() / "My Documents" / "note.txt"), "kept");
}

TEST_F(DeviceImageTest, TemporariesOfUnfinishedSavesGoAtTheNextStart) {
    PreparedImage first;
    ASSERT_TRUE(Prepare(&first));
    const fs::path windows = image_.root() / "Windows";
    const fs::path documents = image_.root() / "My Documents";
    WriteText(windows / "Quellbrooks.xml", "<Quellbrooks/>");
    WriteText(windows / "Quellbrooks.xml.tmp.aB3dE9", "<Quellb");  // a killed save
    WriteText(documents / "list.xml.tmp.000001", "<a");
    WriteText(documents / "draft.tmp", "kept");      // a person's own file
    WriteText(documents / "notes.tmp.txt", "kept");  // names that only look alike
    WriteText(documents / "x.tmp.toolong", "kept");
    WriteText(documents / ".tmp.abcdef", "kept");

    PreparedImage next;
    ASSERT_TRUE(Prepare(&next));
    std::vector<fs::path> removed = next.removed_temporaries;
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (std::vector<fs::path>{documents / "list.xml.tmp.000001",
                                              windows / "Quellbrooks.xml.tmp.aB3dE9"}));
    EXPECT_EQ(ReadText(windows / "Quellbrooks.xml"), "<Quellbrooks/>");
    EXPECT_EQ(ReadText(documents / "notes.tmp.txt"), "kept");
    EXPECT_EQ(ReadText(documents / "x.tmp.toolong"), "kept");
    EXPECT_EQ(ReadText(documents / "draft.tmp"), "kept");
    EXPECT_EQ(ReadText(documents / ".tmp.abcdef"), "kept");
}

TEST_F(DeviceImageTest, AMissingBuiltFileIsReported) {
    files_.push_back({L"Callisk.dll", build_.root() / "not-built.so"});
    PreparedImage prepared;
    std::string error;
    EXPECT_FALSE(PrepareImage(image_.root(), files_, &prepared, &error));
    EXPECT_NE(error.find("not-built.so"), std::string::npos);
    EXPECT_FALSE(fs::exists(image_.root() / "Windows" / "Callisk.dll.copying"));
}

TEST_F(DeviceImageTest, AnImageWhoseLayoutIsWrongIsRefusedNamingThePath) {
    PreparedImage first;
    ASSERT_TRUE(Prepare(&first));
    struct Damage {
        fs::path path;
        bool make_folder;  // else a file
        const char* what;
    };
    const Damage damages[] = {
        {image_.root() / "registry", false, "must be a folder, but it is a file"},
        {image_.root() / "Windows" / "Ansley.dll", true, "must be a file, but it is a folder"},
        {image_.root() / "registry" / "HKLM.reg", true, "must be a file, but it is a folder"},
    };
    for (const Damage& damage : damages) {
        fs::remove_all(damage.path);
        if (damage.make_folder) {
            fs::create_directories(damage.path / "inside");
        } else {
            WriteText(damage.path, "in the way");
        }
        PreparedImage prepared;
        std::string error;
        EXPECT_FALSE(PrepareImage(image_.root(), files_, &prepared, &error)) << damage.what;
        EXPECT_NE(error.find(damage.path.string()), std::string::npos) << error;
        EXPECT_NE(error.find(damage.what), std::string::npos) << error;
        fs::remove_all(damage.path);
        ASSERT_TRUE(Prepare(&prepared));  // mended: the image is whole again
    }
}

TEST(TemporaryImage, IsRemovedWithTheObject) {
    fs::path root;
    {
        TemporaryImage image;
        std::string error;
        ASSERT_TRUE(image.Make(&error)) << error;
        root = image.root();
        WriteText(root / "file", "x");
        ASSERT_TRUE(fs::exists(root / "file"));
    }
    EXPECT_FALSE(fs::exists(root));
}

}  // namespace
}  // namespace tovarin::emulator
