#include "kernel/files/volumes.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <map>
#include <mutex>

#include <winbase.h>

#include "kernel/device_local.h"
#include "kernel/files/api_paths.h"
#include "kernel/files/attributes.h"
#include "host/device_paths.h"
#include "kernel/handles.h"

namespace tovarin::kernel {
namespace {

struct SimulatedSpace {
    std::mutex mutex;
    std::map<std::wstring, uint64_t> free_by_volume;
    std::map<std::wstring, uint64_t> total_free_by_volume;
};

std::shared_ptr<SimulatedSpace> Simulated() {
    static DeviceLocal<SimulatedSpace>* space = new DeviceLocal<SimulatedSpace>;
    return space->Get();
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring_view FirstComponent(std::wstring_view path) {
    size_t start = 0;
    while (start < path.size() && IsSeparator(path[start])) {
        ++start;
    }
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) {
        ++end;
    }
    return path.substr(start, end - start);
}

}  // namespace

std::wstring VolumeOf(std::wstring_view device_path) {
    if (DeviceNamesEqual(FirstComponent(device_path), kStorageCardFolder)) {
        return std::wstring(L"\\") + kStorageCardFolder;
    }
    return L"\\";
}

void SetSimulatedFreeSpace(std::wstring device_path, std::optional<uint64_t> bytes) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    std::wstring volume = VolumeOf(device_path);
    if (bytes) {
        space->free_by_volume[volume] = *bytes;
    } else {
        space->free_by_volume.erase(volume);
    }
}

void SetSimulatedTotalFreeSpace(std::wstring device_path, std::optional<uint64_t> bytes) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    std::wstring volume = VolumeOf(device_path);
    if (bytes) {
        space->total_free_by_volume[volume] = *bytes;
    } else {
        space->total_free_by_volume.erase(volume);
    }
}

std::optional<uint64_t> SimulatedTotalFreeSpace(std::wstring_view device_path) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    auto found = space->total_free_by_volume.find(VolumeOf(device_path));
    if (found == space->total_free_by_volume.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<uint64_t> SimulatedFreeSpace(std::wstring_view device_path) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    auto found = space->free_by_volume.find(VolumeOf(device_path));
    if (found == space->free_by_volume.end()) {
        return std::nullopt;
    }
    return found->second;
}

bool TakeSimulatedSpace(const std::wstring& volume, uint64_t bytes) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    auto found = space->free_by_volume.find(volume);
    if (found == space->free_by_volume.end()) {
        return true;
    }
    if (bytes > found->second) {
        return false;
    }
    found->second -= bytes;
    return true;
}

void GiveBackSimulatedSpace(const std::wstring& volume, uint64_t bytes) {
    std::shared_ptr<SimulatedSpace> space = Simulated();
    std::lock_guard guard(space->mutex);
    auto found = space->free_by_volume.find(volume);
    if (found != space->free_by_volume.end()) {
        found->second += std::min(bytes, UINT64_MAX - found->second);
    }
}

}  // namespace tovarin::kernel

using namespace tovarin::kernel;

extern "C" {

BOOL WINAPI GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName,
                                PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                PULARGE_INTEGER lpTotalNumberOfBytes,
                                PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
    // No folder asks about the object store, the root volume.
    const wchar_t* folder = lpDirectoryName ? lpDirectoryName : L"\\";
    DWORD error = ERROR_SUCCESS;
    std::optional<std::filesystem::path> host = HostPathForApi(folder, PathUse::Entry, &error);
    if (!host) {
        SetError(error);
        return FALSE;
    }
    struct stat status {};
    struct statvfs volume {};
    if (::stat(host->c_str(), &status) != 0 || ::statvfs(host->c_str(), &volume) != 0) {
        SetError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const uint64_t unit = volume.f_frsize;
    uint64_t total = static_cast<uint64_t>(volume.f_blocks) * unit;
    uint64_t free = static_cast<uint64_t>(volume.f_bfree) * unit;
    uint64_t available = static_cast<uint64_t>(volume.f_bavail) * unit;
    if (std::optional<uint64_t> simulated = SimulatedFreeSpace(AbsoluteDevicePath(folder))) {
        available = *simulated;
        // The volume never has fewer free bytes than the caller may use.
        free = std::max(available, SimulatedTotalFreeSpace(AbsoluteDevicePath(folder)).value_or(0));
        total = std::max(total, free);
    }
    if (lpFreeBytesAvailableToCaller) {
        lpFreeBytesAvailableToCaller->QuadPart = available;
    }
    if (lpTotalNumberOfBytes) {
        lpTotalNumberOfBytes->QuadPart = total;
    }
    if (lpTotalNumberOfFreeBytes) {
        lpTotalNumberOfFreeBytes->QuadPart = free;
    }
    return TRUE;
}

}  // extern "C"
