// A booted phone for the tests: a fresh temporary image that holds the phone's string libraries,
// the emulator's stand-ins and what a test adds, but none of the suite's deliverables, so that
// what a test sees is the emulator's own doing. Simulated time; the test's thread is the
// console's.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator.h"
#include "hosts/service_list.h"
#include "image/built_files.h"
#include "image/temporary_image.h"

namespace tovarin::emulator::testing {

// Makes a fresh image at `root` that holds the phone's string libraries, the stand-ins and
// `extra`, and lists `services` under HKLM\Services besides the suite's own (which the image does
// not hold). A failure fails the test.
void PrepareTestImage(const std::filesystem::path& root, std::vector<BuiltFile> extra = {},
                      const std::vector<ServiceListing>& services = {});

// Runs `script` as `tovarin-emu --script` does, on an image made by PrepareTestImage with `probe`
// in \Windows and listed as a service; the script's exit code (-1 when no image could be made).
int RunScriptWithService(const std::string& script, const BuiltFile& probe,
                         const ServiceListing& service);

class BootedEmulatorTest : public ::testing::Test {
  protected:
    // Boots on an image made by PrepareTestImage; with a SIP line, in real time.
    void Boot(std::vector<BuiltFile> extra = {}, std::vector<ServiceListing> services = {},
              std::optional<sip::SipAddress> sip = {});
    void TearDown() override { emulator_.reset(); }

    Emulator& emulator() { return *emulator_; }
    // The trace lines since boot that hold `text`.
    size_t CountTraces(std::wstring_view text) const;

    TemporaryImage image_;
    std::unique_ptr<Emulator> emulator_;
};

}  // namespace tovarin::emulator::testing
