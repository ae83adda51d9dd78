#include "booted_emulator.h"

#include <cstdio>
#include <fstream>

#include "console/script_runner.h"

#include "common/names.h"
#include "hosts/service_registry.h"
#include "image/device_image.h"
#include "host/device_log.h"
#include "host/device_paths.h"
#include "host/registry.h"

namespace tovarin::emulator::testing {
namespace {

bool IsSuiteDeliverable(const std::wstring& name) {
    for (const wchar_t* deliverable : {kLibraryAnsley, kLibraryCallisk, kLibraryWexmoor,
                                       kLibraryMarrowfen, kProgramQuellbrooksFileName}) {
        if (kernel::DeviceNamesEqual(name, deliverable)) {
            return true;
        }
    }
    return false;
}

LONG SetString(kernel::HostRegistry& registry, HKEY key, const wchar_t* name,
               const std::wstring& text) {
    return registry.SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Adds services to the list of an image that is not up.
void ListServices(const std::filesystem::path& hives, const std::vector<ServiceListing>& services) {
    kernel::HostRegistry registry(hives);
    for (const ServiceListing& service : services) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(registry.CreateKey(HKEY_LOCAL_MACHINE,
                                     (std::wstring(kKeyServices) + L"\\" + service.key).c_str(),
                                     &key, &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(SetString(registry, key, kValueServiceDll, service.library), ERROR_SUCCESS);
        EXPECT_EQ(SetString(registry, key, kValueServicePrefix, service.prefix), ERROR_SUCCESS);
        registry.CloseKey(key);
    }
    ASSERT_TRUE(registry.Flush());
}

}  // namespace

void PrepareTestImage(const std::filesystem::path& root, std::vector<BuiltFile> extra,
                      const std::vector<ServiceListing>& services) {
    std::vector<BuiltFile> files = std::move(extra);
    for (const BuiltFile& file : BuiltFiles()) {
        if (!IsSuiteDeliverable(file.device_name)) {
            files.push_back(file);
        }
    }
    PreparedImage prepared;
    std::string error;
    ASSERT_TRUE(PrepareImage(root, files, &prepared, &error)) << error;
    ListServices(RegistryFolderOf(root), services);
}

void BootedEmulatorTest::Boot(std::vector<BuiltFile> extra, std::vector<ServiceListing> services,
                              std::optional<sip::SipAddress> sip) {
    std::string error;
    ASSERT_TRUE(image_.Make(&error)) << error;
    PrepareTestImage(image_.root(), std::move(extra), services);
    if (::testing::Test::HasFatalFailure()) {
        return;
    }
    BootOptions options{
        image_.root(), sip ? kernel::ClockMode::Real : kernel::ClockMode::Simulated, {}};
    options.sip = std::move(sip);
    emulator_ = Emulator::Boot(options, &error);
    ASSERT_NE(emulator_, nullptr) << error;
    kernel::WaitForDeviceIdle();
}

size_t BootedEmulatorTest::CountTraces(std::wstring_view text) const {
    size_t count = 0;
    for (const kernel::LogEntry& entry : emulator_->device().log().Since(0)) {
        const auto* line = std::get_if<kernel::TraceLine>(&entry.what);
        if (line != nullptr && line->text.find(text) != std::wstring::npos) {
            ++count;
        }
    }
    return count;
}

int RunScriptWithService(const std::string& script, const BuiltFile& probe,
                         const ServiceListing& service) {
    TemporaryImage image;
    std::string error;
    if (!image.Make(&error)) {
        ADD_FAILURE() << error;
        return -1;
    }
    PrepareTestImage(image.root(), {probe}, {service});
    const std::filesystem::path path = image.root() / "test.scn";
    std::ofstream(path) << script;
    EmulatorOptions options;
    options.device_dir = image.root();
    options.script = path;
    std::fflush(stdout);
    console::Output output(stdout);
    return console::RunScript(options, output);
}

}  // namespace tovarin::emulator::testing
