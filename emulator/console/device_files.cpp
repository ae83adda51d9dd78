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

// The suffix of the file that a write fills before it takes the target's place.
constexpr wchar_t kStagedSuffix[] = L".console-write";

// Creates the file anew with exactly these bytes: ERROR_SUCCESS, or why not.
DWORD WriteWholeFile(const std::wstring& path, const std::string& content) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    DWORD error = wrote ? ERROR_SUCCESS : GetLastError();
    if (wrote && written != content.size()) {
        error = ERROR_DISK_FULL;
    }
    CloseHandle(file);
    return error;
}

}  // namespace

std::string FileErrorText(const char* what, unsigned long error) {
    const char* meaning = MeaningOf(error);
    return std::string(what) + ": " + (meaning ? std::string(meaning) + " " : std::string()) +
           "(error " + std::to_string(error) + ")";
}

std::optional<std::string> ReadDeviceFile(const std::wstring& device_path) {
    HANDLE file = CreateFileW(device_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        content.append(buffer, read);
    }
    CloseHandle(file);
    return content;
}

std::string WriteDeviceFile(const std::wstring& device_path, const std::string& content) {
    const std::wstring path =
        !device_path.empty() && device_path.front() == L'\\' ? device_path : L"\\" + device_path;
    const std::string what = "cannot write " + kernel::WideToUtf8(path);
    if (DWORD error = MakeFoldersAbove(path); error != ERROR_SUCCESS) {
        return FileErrorText("cannot make the folder", error);
    }
    // The content goes into a file of its own beside the target first: a write that fails (no
    // room) leaves the target as it was and makes no empty file.
    const std::wstring staged = path + kStagedSuffix;
    if (DWORD error = WriteWholeFile(staged, content); error != ERROR_SUCCESS) {
        DeleteFileW(staged.c_str());
        return FileErrorText(what.c_str(), error);
    }
    // A target in use (a loaded module) or that is a folder cannot be replaced: it stays.
    if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        const DWORD error = GetLastError();
        DeleteFileW(staged.c_str());
        return FileErrorText(what.c_str(), error);
    }
    if (!MoveFileW(staged.c_str(), path.c_str())) {
        const DWORD error = GetLastError();
        DeleteFileW(staged.c_str());
        return FileErrorText(what.c_str(), error);
    }
    return {};
}

}  // namespace tovarin::emulator::console
