// Images that a person or a crash damaged: a missing or unreadable hive, a wrong layout.
#include <windows.h>

#include <fstream>

#include <gtest/gtest.h>

#include "booted_emulator.h"
#include "common/names.h"
#include "hosts/service_registry.h"
#include "image/device_image.h"

namespace tovarin::emulator::testing {
namespace {
namespace fs = std::filesystem;

class DamagedImageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(image_.Make(&error)) << error;
        PrepareTestImage(image_.root());
    }
    void TearDown() override { emulator_.reset(); }

    fs::path Hive(const char* name) const { return RegistryFolderOf(image_.root()) / name; }

    std::unique_ptr<Emulator> Boot(std::string* error) {
        return Emulator::Boot({image_.root(), kernel::ClockMode::Simulated, {}}, error);
    }

    size_t CountTraces(std::wstring_view text) const {
        size_t count = 0;
        for (const kernel::LogEntry& entry : emulator_->device().log().Since(0)) {
            const auto* line = std::get_if<kernel::TraceLine>(&entry.what);
            count += line != nullptr && line->text.find(text) != std::wstring::npos ? 1 : 0;
        }
        return count;
    }

    static std::wstring ServiceLibrary(const wchar_t* service_key) {
        wchar_t text[MAX_PATH] = {};
        DWORD size = sizeof text;
        HKEY key = nullptr;
        const std::wstring path = std::wstring(kKeyServices) + L"\\" + service_key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, 0, &key) != ERROR_SUCCESS) {
            return L"<no key>";
        }
        LONG result = RegQueryValueExW(key, kValueServiceDll, nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? text : L"<no value>";
    }

    TemporaryImage image_;
    std::unique_ptr<Emulator> emulator_;
};

TEST_F(DamagedImageTest, AMissingMachineHiveBootsFromTheDefaultRegistry) {
    fs::remove(Hive("HKLM.reg"));
    std::string error;
    emulator_ = Boot(&error);
    ASSERT_NE(emulator_, nullptr) << error;
    EXPECT_EQ(ServiceLibrary(L"Ansley"), kLibraryAnsley);
    EXPECT_EQ(CountTraces(L"HKEY_LOCAL_MACHINE starts from the image's default registry"), 1u);
    EXPECT_EQ(CountTraces(L"HKEY_CURRENT_USER starts"), 0u);
}

TEST_F(DamagedImageTest, ASetAsideMachineHiveBootsFromTheDefaultRegistry) {
    std::ofstream(Hive("HKLM.reg"), std::ios::binary) << "not a hive\n";
    std::string error;
    emulator_ = Boot(&error);
    ASSERT_NE(emulator_, nullptr) << error;
    EXPECT_TRUE(fs::exists(Hive("HKLM.reg.bad")));
    EXPECT_EQ(ServiceLibrary(L"Wexmoor"), kLibraryWexmoor);
    EXPECT_EQ(CountTraces(L"HKEY_LOCAL_MACHINE starts from the image's default registry"), 1u);
    EXPECT_EQ(CountTraces(L"was moved to"), 1u);
    // The trace line's module names the registry; the text does not say it again.
    EXPECT_EQ(CountTraces(L"registry: "), 0u);
}

}  // namespace
}  // namespace tovarin::emulator::testing
