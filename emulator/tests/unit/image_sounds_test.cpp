// The built-in sounds that a device image takes into \Windows: each is an AMR-NB file of a few
// seconds that ffmpeg decodes, and no two are the same.
#include <dshow.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "image/built_files.h"
#include "host/amr_nb.h"
#include "testing/media_device_fixture.h"

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

// Each plays on the device to its end, and for as long as it lasts.
class ImageSoundsPlay : public media::testing::MediaDeviceTest {};

TEST_F(ImageSoundsPlay, EverySoundPlaysToItsEnd) {
    int played = 0;
    for (const BuiltFile& file : BuiltFiles()) {
        if (file.device_name.size() < 4 ||
            file.device_name.substr(file.device_name.size() - 4) != L".amr") {
            continue;
        }
        std::filesystem::copy_file(file.host_path, HostPath("Windows") / file.host_path.filename());
        const std::wstring path = L"\\Windows\\" + file.device_name;
        IGraphBuilder* graph = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IGraphBuilder, reinterpret_cast<void**>(&graph)));
        IMediaControl* control = nullptr;
        IMediaEvent* events = nullptr;
        IMediaSeeking* seeking = nullptr;
        graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
        graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
        graph->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
        ASSERT_EQ(S_OK, graph->RenderFile(path.c_str(), nullptr)) << file.host_path;
        LONGLONG length = 0;
        seeking->GetDuration(&length);
        const DWORD start = GetTickCount();
        control->Run();
        LONG code = 0;
        EXPECT_EQ(S_OK, events->WaitForCompletion(10000, &code)) << file.host_path;
        EXPECT_EQ(static_cast<LONGLONG>(GetTickCount() - start) * 10000, length) << file.host_path;
        control->Stop();
        seeking->Release();
        events->Release();
        control->Release();
        graph->Release();
        ++played;
    }
    EXPECT_EQ(played, 20);
}

}  // namespace
}  // namespace tovarin::emulator
