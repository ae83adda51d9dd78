#include "host/wave_volume.h"

#include <atomic>

#include <mmsystem.h>

#include "kernel/device_local.h"

namespace tovarin::media {
namespace {

struct DeviceVolume {
    std::atomic<uint32_t> level{kDefaultWaveVolume};
};

std::shared_ptr<DeviceVolume> Volume() {
    static kernel::DeviceLocal<DeviceVolume>* volume = new kernel::DeviceLocal<DeviceVolume>;
    return volume->Get();
}

// Handle values below the kernel's first handle are device ids. The device has one wave-out
// device; no waveOutOpen handle exists yet, so any larger value is an invalid handle.
constexpr uintptr_t kFirstHandleValue = 0x1000;

MMRESULT CheckDevice(HWAVEOUT device) {
    const auto value = reinterpret_cast<uintptr_t>(device);
    if (value == 0) {
        return MMSYSERR_NOERROR;
    }
    return value < kFirstHandleValue ? MMSYSERR_BADDEVICEID : MMSYSERR_INVALHANDLE;
}

}  // namespace

uint32_t WaveVolume() {
    return Volume()->level.load();
}

void SetWaveVolume(uint32_t volume) {
    Volume()->level.store(volume);
}

}  // namespace tovarin::media

extern "C" {

MMRESULT WINAPI waveOutGetVolume(HWAVEOUT hwo, LPDWORD pdwVolume) {
    MMRESULT result = tovarin::media::CheckDevice(hwo);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    if (!pdwVolume) {
        return MMSYSERR_INVALPARAM;
    }
    *pdwVolume = tovarin::media::WaveVolume();
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume) {
    MMRESULT result = tovarin::media::CheckDevice(hwo);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    tovarin::media::SetWaveVolume(dwVolume);
    return MMSYSERR_NOERROR;
}

}  // extern "C"
