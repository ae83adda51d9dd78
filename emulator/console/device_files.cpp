#include "console/device_files.h"

#include <windows.h>

#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

const char* MeaningOf(DWORD error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
            return "the file is in use (a loaded module or an open file)";
        case ERROR_DISK_FULL:
            return "the volume has no room for it";
        case ERROR_INVALID_NAME:
            return "not a valid device file name";
        case ERROR_ACCESS_DENIED:
            return "access denied (a folder, a read-only file or a protected place)";
        case ERROR_PATH_NOT_FOUND:
            return "the path cannot be reached";
        default:
            return nullptr;
    }
}

// Makes every missing folder above the file, from the root down.
DWORD MakeFoldersAbove(const std::wstring& device_path) {
    for (size_t separator = device_path.find(L'\\', 1); separator != std::wstring::npos;
         separator = device_path.find(L'\\', separator + 1)) {
        const std::wstring folder = device_path.substr(0, separator);
        if (folder.empty() || folder.back() == L'\\') {
            continue;
        }
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return GetLastError();
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::string FileErrorText(const char* what, unsigned long error) {
    const char* meaning = MeaningOf(error);
    return std::string(what) + ": " + (meaning ? std::string(meaning) + " " : std::string()) +
           "(error " + std::to_string(error) + ")";
}

std::string WriteDeviceFile(const std::wstring& device_path, const std::string& content) {
    const std::wstring path =
        !device_path.empty() && device_path.front() == L'\\' ? device_path : L"\\" + device_path;
    if (DWORD error = MakeFoldersAbove(path); error != ERROR_SUCCESS) {
        return FileErrorText("cannot make the folder", error);
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FileErrorText(("cannot write " + kernel::WideToUtf8(path)).c_str(), GetLastError());
    }
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    const DWORD error = wrote ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    if (!wrote || written != content.size()) {
        return FileErrorText(("cannot write " + kernel::WideToUtf8(path)).c_str(), error);
    }
    return {};
}

}  // namespace tovarin::emulator::console
