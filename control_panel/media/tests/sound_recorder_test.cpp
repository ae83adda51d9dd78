// SoundRecorder in simulated time: what it records, its clock, how the capture format is chosen,
// and that it never hangs or touches what it does not hold.
#include "sound_recorder.h"

#include <fstream>

#include "host/audio.h"
#include "testing/media_device_fixture.h"

namespace {

using tovarin::media::PcmFormat;

class SoundRecorderTest : public tovarin::media::testing::MediaDeviceTest {
  protected:
    // The format the capture pin was left with.
    PcmFormat CaptureFormat(SoundRecorder& recorder) {
        IPin* pin = NULL;
        IAMStreamConfig* config = NULL;
        PcmFormat format{0, 0, 0};
        EXPECT_EQ(S_OK, recorder.CaptureFilter()->FindPin(L"Capture", &pin));
        EXPECT_EQ(S_OK,
                  pin->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&config)));
        AM_MEDIA_TYPE* mt = NULL;
        if (SUCCEEDED(config->GetFormat(&mt))) {
            const WAVEFORMATEX* wave = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
            format = {wave->nSamplesPerSec, wave->nChannels, wave->wBitsPerSample};
            DeleteMediaType(mt);
        }
        config->Release();
        pin->Release();
        return format;
    }
};

TEST_F(SoundRecorderTest, RecordsTheMicrophoneIntoAnAmrFileThatFfmpegReads) {
    tovarin::media::SetMicrophone(tovarin::media::SoundSpec::Tone(700));
    SoundRecorder* recorder = new SoundRecorder;
    ASSERT_EQ(recorder->SetOutputFile(L"\\My Documents\\gr142530.amr"), 0);
    ASSERT_EQ(recorder->Start(), 0);
    DWORD elapsed = 0;
    Sleep(1000);
    recorder->GetElapsed(&elapsed);
    EXPECT_EQ(elapsed, 1000u);
    Sleep(1000);
    recorder->GetElapsed(&elapsed);
    EXPECT_EQ(elapsed, 2000u);
    Sleep(1000);
    const DWORD before = GetTickCount();
    recorder->Close();
    EXPECT_LT(GetTickCount() - before, 500u);  // the stream ends at the next chunk
    delete recorder;
    EXPECT_EQ(tovarin::media::testing::FfmpegDurationMs(HostPath("My Documents/gr142530.amr")),
              3000);
}

TEST_F(SoundRecorderTest, ChoosesEightKilohertzMonoOrMakesTheLastCapabilityIt) {
    tovarin::media::SetCaptureFormats({{44100, 2, 16}, {8000, 1, 16}, {22050, 1, 8}});
    SoundRecorder offered;
    EXPECT_EQ(CaptureFormat(offered), (PcmFormat{8000, 1, 16}));
    offered.Close();

    // Every capability faster and in stereo: the last one, rewritten.
    tovarin::media::SetCaptureFormats({{44100, 2, 16}, {22050, 2, 8}});
    SoundRecorder rewritten;
    EXPECT_EQ(CaptureFormat(rewritten), (PcmFormat{8000, 1, 16}));
    ASSERT_EQ(rewritten.SetOutputFile(L"\\My Documents\\od000000.amr"), 0);
    rewritten.Close();
}

TEST_F(SoundRecorderTest, ARecorderThatCannotBeWiredNeverRunsAndReportsNothingElapsed) {
    tovarin::media::SetCaptureFormats({});  // no capture hardware
    SoundRecorder recorder;
    EXPECT_EQ(recorder.SetOutputFile(L"\\My Documents\\none.amr"), 1);
    EXPECT_EQ(recorder.Start(), 1);
    Sleep(1000);
    DWORD elapsed = 123;
    recorder.GetElapsed(&elapsed);
    EXPECT_EQ(elapsed, 0u);
    const DWORD before = GetTickCount();
    recorder.Close();
    recorder.Close();  // twice is harmless
    EXPECT_EQ(GetTickCount() - before, 0u);
    EXPECT_FALSE(std::filesystem::exists(HostPath("My Documents/none.amr")));

    SoundRecorder unset;  // never given a file
    EXPECT_EQ(unset.Start(), 1);
    unset.Close();
}

TEST_F(SoundRecorderTest, StopIsBoundedWhenTheStreamNeverEndsByItself) {
    // Records into `path` for 2 s, then closes: the device milliseconds the close took.
    auto closeTime = [](LPCWSTR path) -> DWORD {
        SoundRecorder recorder;
        EXPECT_EQ(recorder.SetOutputFile(path), 0);
        EXPECT_EQ(recorder.Start(), 0);
        Sleep(2000);
        const DWORD before = GetTickCount();
        recorder.Close();
        EXPECT_EQ(recorder.CaptureFilter(), nullptr);
        return GetTickCount() - before;
    };
    // A capture driver that ignores the stop: 15.5 s for the stream, then the graph is stopped
    // and the watch thread ends with it; the file holds all that was captured.
    tovarin::media::SetCaptureIgnoresStop(true);
    EXPECT_EQ(closeTime(L"\\My Documents\\stuck.amr"), 15500u);
    EXPECT_EQ(tovarin::media::testing::FfmpegDurationMs(HostPath("My Documents/stuck.amr")), 17500);
    tovarin::media::SetCaptureIgnoresStop(false);

    // A writer that cannot write (its file is a folder): neither the stream's stop nor the
    // graph's ends the watch thread's wait, and still the recorder lets everything go by 16 s.
    ASSERT_TRUE(CreateDirectoryW(L"\\My Documents\\folder.amr", NULL));
    EXPECT_LE(closeTime(L"\\My Documents\\folder.amr"), 16000u);
}

}  // namespace
