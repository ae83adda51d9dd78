// The greeting list's line scanner as the answering service runs it: the list file is opened on
// the device with _wfopen(L"r") (so a list with CR LF line ends is read as the device's runtime
// reads it) and scanned for the caller's number key. The input's first line is the caller's
// number as the radio publishes it (cut to the service's buffer); the rest is the list file.
// Whatever the file holds, a greeting is found whole and fits its buffers, or none is.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "common/names.h"
#include "fuzz_check.h"
#include "greeting_scan.h"
#include "host/device.h"
#include "host/text.h"

namespace {

constexpr size_t kCallerNumberChars = 50;  // the service's buffer for the caller's number

// A device whose file system is a temporary folder, up for the whole run.
class ListDevice {
  public:
    ListDevice() {
        // The list is written and opened once per input: in memory (tmpfs) where the host has
        // it, a disk file system spends more time on this than the scanner does.
        char in_memory[] = "/dev/shm/fuzz-greeting-list-XXXXXX";
        char on_disk[] = "/tmp/fuzz-greeting-list-XXXXXX";
        const char* made = mkdtemp(in_memory);
        root_ = made ? made : mkdtemp(on_disk);
        std::filesystem::create_directories(root_ / "Windows");
        tovarin::kernel::DeviceOptions options;
        options.image_root = root_;
        device_ = std::make_unique<tovarin::kernel::Device>(options);
    }
    ~ListDevice() {
        device_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::filesystem::path ListFile() const { return root_ / "Windows" / "Quellbrooks.xml"; }

  private:
    std::filesystem::path root_;
    std::unique_ptr<tovarin::kernel::Device> device_;
};

ListDevice& Device() {
    static ListDevice device;
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t line_end = input.find('\n');
    const std::string_view caller = input.substr(0, line_end);
    const std::string_view list =
        line_end == std::string_view::npos ? std::string_view() : input.substr(line_end + 1);

    WCHAR number[kCallerNumberChars] = L"";
    const std::wstring wide = tovarin::kernel::Utf8ToWide(caller);
    wcsncpy(number, wide.c_str(), kCallerNumberChars - 1);
    WCHAR numberKey[GREETING_NUMBER_KEY_CHARS];
    if (!BuildNumberKey(number, numberKey)) {
        return 0;
    }
    FUZZ_CHECK(wcslen(numberKey) < GREETING_NUMBER_KEY_CHARS);

    {
        std::ofstream file(Device().ListFile(), std::ios::binary | std::ios::trunc);
        file.write(list.data(), static_cast<std::streamsize>(list.size()));
    }
    FILE* file = _wfopen(kListFilePath, L"r");
    FUZZ_CHECK(file != nullptr);
    rewind(file);
    // Marks after each buffer's end show a write past it even where ASan cannot (inside one frame).
    struct {
        WCHAR playFile[GREETING_PLAY_FILE_CHARS];
        WCHAR playGuard;
        WCHAR answerTime[GREETING_ANSWER_TIME_CHARS];
        WCHAR timeGuard;
    } out = {L"", L'#', L"", L'#'};
    const GreetingScanResult result =
        ScanGreetingList(file, numberKey, out.playFile, out.answerTime);
    fclose(file);
    FUZZ_CHECK(out.playGuard == L'#' && out.timeGuard == L'#');
    FUZZ_CHECK(result == kGreetingFound || result == kGreetingNotFound ||
               result == kGreetingTooLong);
    if (result == kGreetingFound) {
        FUZZ_CHECK(wmemchr(out.playFile, L'\0', GREETING_PLAY_FILE_CHARS) != nullptr);
        FUZZ_CHECK(wmemchr(out.answerTime, L'\0', GREETING_ANSWER_TIME_CHARS) != nullptr);
    }
    return 0;
}
