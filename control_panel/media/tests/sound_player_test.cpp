// SoundPlayer in simulated time: plays to the end by itself, stops within a polling period, and
// stays harmless without a file or a graph.
#include "sound_player.h"

#include <fstream>

#include "host/audio.h"
#include "host/amr_nb.h"
#include "testing/media_device_fixture.h"

namespace {

class SoundPlayerTest : public tovarin::media::testing::MediaDeviceTest {
  protected:
    void WriteAmr(const char* relative, int ms) {
        std::vector<int16_t> pcm(static_cast<size_t>(ms) * 8, 3000);
        const std::vector<uint8_t> amr = tovarin::media::EncodeAmrFile(pcm);
        std::ofstream(HostPath(relative), std::ios::binary)
            .write(reinterpret_cast<const char*>(amr.data()),
                   static_cast<std::streamsize>(amr.size()));
    }
};

TEST_F(SoundPlayerTest, AShortFileCompletesByItselfAndDestroyStillSucceeds) {
    WriteAmr("Windows/kiss.amr", 1200);
    SoundPlayer* player = new SoundPlayer;
    ASSERT_EQ(player->RenderFile(L"\\Windows\\kiss.amr"), 0);
    player->SetVolume(-300);
    LONGLONG stop = 0;
    EXPECT_EQ(player->GetStopPosition(&stop), S_OK);
    EXPECT_EQ(stop, 12'000'000);
    player->Run();
    Sleep(600);
    EXPECT_EQ(player->IsCompleted(), 0u);
    ASSERT_EQ(tovarin::media::NowPlaying().size(), 1u);
    EXPECT_EQ(tovarin::media::NowPlaying()[0].volume, -300);
    Sleep(1100);  // the end, noticed within one polling period
    EXPECT_EQ(player->IsCompleted(), 1u);
    LONGLONG position = 0;
    player->GetCurrentPosition(&position);
    EXPECT_EQ(position, stop);
    player->Destroy();
    delete player;
    EXPECT_TRUE(tovarin::media::NowPlaying().empty());
}

TEST_F(SoundPlayerTest, DestroyWhilePlayingSilencesWithinOnePollingPeriod) {
    WriteAmr("Windows/Street.amr", 5000);
    SoundPlayer player;
    ASSERT_EQ(player.RenderFile(L"\\Windows\\Street.amr"), 0);
    player.Run();
    Sleep(1000);
    const DWORD before = GetTickCount();
    player.Destroy();
    EXPECT_LE(GetTickCount() - before, 500u);
    EXPECT_TRUE(tovarin::media::NowPlaying().empty());
    EXPECT_EQ(player.IsCompleted(), 0u);
}

TEST_F(SoundPlayerTest, MissingFilesAndUnbuiltPlayersAreHarmless) {
    SoundPlayer player;
    EXPECT_EQ(player.RenderFile(L"\\Windows\\none.amr"), 1);
    player.Destroy();  // right after create: at once, nothing started

    // After destroy every interface is empty, as in a player whose graph could not be built:
    // each operation only reports failure.
    SoundPlayer unbuilt;
    unbuilt.Destroy();
    EXPECT_EQ(unbuilt.RenderFile(L"\\Windows\\kiss.amr"), 1);
    unbuilt.SetVolume(-100);
    unbuilt.Run();
    LONGLONG position = 0;
    EXPECT_EQ(unbuilt.GetCurrentPosition(&position), E_POINTER);
    EXPECT_EQ(unbuilt.IsCompleted(), 0u);
    unbuilt.Destroy();
}

}  // namespace
