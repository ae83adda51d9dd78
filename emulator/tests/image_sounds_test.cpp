// The built-in sounds that a device image takes into \Windows: each is an AMR-NB file of a few
// seconds that ffmpeg decodes, and no two are the same.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "image/built_files.h"
#include "media/codec/amr_nb.h"
#include "media/tests/media_device_fixture.h"

namespace tovarin::emulator {
namespace {

TEST(ImageSounds, TheGreetingTheBackgroundsAndTheEffectsAreDistinctFewSecondAmrFiles) {
    std::set<std::wstring> names;
    std::set<std::string> contents;
    for (const BuiltFile& file : BuiltFiles()) {
        if (file.device_name.size() < 4 ||
            file.device_name.substr(file.device_name.size() - 4) != L".amr") {
            continue;
        }
        names.insert(file.device_name);
        std::ifstream in(file.host_path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        auto frames = media::SplitAmrFrames(
            std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        ASSERT_TRUE(frames.has_value()) << file.host_path;
        const long ms = static_cast<long>(frames->size() * media::kAmrFrameMs);
        EXPECT_GE(ms, 2000) << file.host_path;
        EXPECT_LE(ms, 4500) << file.host_path;
        EXPECT_EQ(media::testing::FfmpegDurationMs(file.host_path), ms) << file.host_path;
        EXPECT_TRUE(contents.insert(bytes).second) << file.host_path << " repeats another sound";
    }
    EXPECT_EQ(names.size(), 20u);
    for (const wchar_t* name :
         {L"greeting.amr", L"Air.amr", L"MRT.amr", L"Street.amr", L"applaud.amr", L"whistle.amr"}) {
        EXPECT_EQ(names.count(name), 1u) << "missing";
    }
}

}  // namespace
}  // namespace tovarin::emulator
