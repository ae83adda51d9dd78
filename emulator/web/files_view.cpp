#include "web/files_view.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "host/amr_nb.h"
#include "host/text.h"
#include "host/wave_file.h"
#include "web/frame_pump.h"

namespace tovarin::emulator::web {
namespace {

using Json = nlohmann::json;

std::string TimeText(const FILETIME& time) {
    SYSTEMTIME at{};
    if (!FileTimeToSystemTime(&time, &at)) {
        return "";
    }
    char text[64];
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", at.wYear, at.wMonth, at.wDay,
                  at.wHour, at.wMinute, at.wSecond);
    return text;
}

std::wstring FolderPath(const std::string& path) {
    std::wstring folder = kernel::Utf8ToWide(path);
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

Json ListDeviceFolder(const std::string& path) {
    const std::wstring pattern = FolderPath(path) + L"\\*";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    Json entries = Json::array();
    if (search == INVALID_HANDLE_VALUE) {
        if (GetLastError() != ERROR_NO_MORE_FILES && GetLastError() != ERROR_FILE_NOT_FOUND) {
            return Json{{"error", (path.empty() ? "\\" : path) + " is not a folder there is"}};
        }
        return Json{{"entries", entries}};
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        entries.push_back(Json{{"name", kernel::WideToUtf8(name)},
                               {"folder", (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0},
                               {"size", found.nFileSizeLow},
                               {"time", TimeText(found.ftLastWriteTime)}});
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end(), [](const Json& a, const Json& b) {
        if (a["folder"] != b["folder"]) {
            return a["folder"].get<bool>();
        }
        return a["name"] < b["name"];
    });
    return Json{{"entries", entries}};
}

namespace {

// The AMR-NB file's bytes as a WAVE file, or nullopt when they are not an AMR-NB file.
std::optional<std::vector<uint8_t>> AmrToWave(const std::vector<uint8_t>& amr) {
    auto frames = media::SplitAmrFrames(amr);
    if (!frames) {
        return std::nullopt;
    }
    media::AmrDecoder decoder;
    std::vector<int16_t> samples(frames->size() * media::kAmrFrameSamples);
    for (size_t i = 0; i < frames->size(); ++i) {
        decoder.DecodeFrame((*frames)[i], samples.data() + i * media::kAmrFrameSamples);
    }
    return media::MakeWave(samples);
}

}  // namespace

Json ReadDeviceFile(const std::string& path, bool as_wave) {
    const std::wstring device_path = kernel::Utf8ToWide(path);
    HANDLE file = CreateFileW(device_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Json{
            {"error", path + " cannot be opened (error " + std::to_string(GetLastError()) + ")"}};
    }
    const DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size > kMaxDownloadBytes) {
        CloseHandle(file);
        return Json{{"error", path + " is larger than the page downloads (8 MB)"}};
    }
    std::vector<uint8_t> bytes(size);
    DWORD read = 0;
    const BOOL ok = size == 0 || ReadFile(file, bytes.data(), size, &read, nullptr);
    CloseHandle(file);
    if (!ok || read != size) {
        return Json{{"error", path + " cannot be read"}};
    }
    const size_t slash = path.find_last_of('\\');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (as_wave) {
        std::optional<std::vector<uint8_t>> wave = AmrToWave(bytes);
        if (!wave) {
            return Json{{"error", path + " is not an AMR-NB file"}};
        }
        bytes = std::move(*wave);
        name = name.substr(0, name.find_last_of('.')) + ".wav";
    }
    return Json{{"name", name}, {"size", bytes.size()}, {"base64", Base64(bytes)}};
}

}  // namespace tovarin::emulator::web
