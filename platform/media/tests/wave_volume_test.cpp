#include <windows.h>

#include <mmsystem.h>

#include "testing/device_fixture.h"
#include "host/wave_volume.h"

namespace tovarin::media {
namespace {

using WaveVolumeTest = kernel::testing::SimulatedDeviceTest;

TEST_F(WaveVolumeTest, DeviceZeroKeepsOneVolumeStartingAtFull) {
    DWORD volume = 0;
    ASSERT_EQ(waveOutGetVolume(nullptr, &volume), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(volume, 0xFFFFFFFFu);

    // What the answering service does around an answered call: save, raise, restore.
    EXPECT_EQ(waveOutSetVolume(0, 0x80004000), static_cast<MMRESULT>(MMSYSERR_NOERROR));
    EXPECT_EQ(WaveVolume(), 0x80004000u);
    DWORD saved = 0;
    waveOutGetVolume(0, &saved);
    EXPECT_EQ(saved, 0x80004000u);
    waveOutSetVolume(0, 0xFFFFFFFF);
    waveOutSetVolume(0, saved);
    EXPECT_EQ(WaveVolume(), 0x80004000u);

    SetWaveVolume(0x00010002);  // the emulator presets it
    waveOutGetVolume(0, &volume);
    EXPECT_EQ(volume, 0x00010002u);
}

TEST_F(WaveVolumeTest, OtherDevicesAndMissingPointersAreRefused) {
    DWORD volume = 5;
    EXPECT_EQ(waveOutGetVolume(reinterpret_cast<HWAVEOUT>(1), &volume),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(volume, 5u);
    EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(2), 0),
              static_cast<MMRESULT>(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(0x1234), 0),
              static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(WaveVolume(), kDefaultWaveVolume);
    EXPECT_EQ(waveOutGetVolume(nullptr, nullptr), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
}

TEST(WaveVolumeLifetimeTest, EachDeviceBootsAtTheDefaultVolume) {
    {
        kernel::Device first({.clock = kernel::ClockMode::Simulated});
        waveOutSetVolume(nullptr, 0x1111);
    }
    kernel::Device second({.clock = kernel::ClockMode::Simulated});
    EXPECT_EQ(WaveVolume(), kDefaultWaveVolume);
}

}  // namespace
}  // namespace tovarin::media
