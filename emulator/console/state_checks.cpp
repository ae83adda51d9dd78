#include "console/state_checks.h"

#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string_view>

#include "host/window_tree.h"
#include "host/device.h"
#include "host/device_paths.h"
#include "host/text.h"
#include "host/wildcard.h"

namespace tovarin::emulator::console {
namespace fs = std::filesystem;

namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::vector<std::wstring> SplitDevicePath(std::wstring_view path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of(L"\\/", start);
        if (end == std::wstring_view::npos) {
            end = path.size();
        }
        if (end > start) {
            parts.emplace_back(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return parts;
}

}  // namespace

RegReading ReadRegValue(const RegValueRef& ref) {
    RegReading reading;
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(ref.root), ref.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return reading;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, ref.value.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> data(size);
        if (RegQueryValueExW(key, ref.value.c_str(), nullptr, &type, data.data(), &size) ==
            ERROR_SUCCESS) {
            data.resize(size);
            reading.type = type;
            if (type == REG_DWORD && size == sizeof(DWORD)) {
                reading.kind = RegReading::Kind::Dword;
                std::memcpy(&reading.dword, data.data(), sizeof(DWORD));
            } else if (type == REG_SZ) {
                reading.kind = RegReading::Kind::Sz;
                std::wstring text(size / sizeof(wchar_t), L'\0');
                std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
                reading.sz = text.substr(0, text.find(L'\0'));
            } else {
                reading.kind = RegReading::Kind::Other;
            }
        }
    }
    RegCloseKey(key);
    return reading;
}

std::string FormatReading(const RegReading& reading) {
    switch (reading.kind) {
        case RegReading::Kind::Missing:
            return "missing";
        case RegReading::Kind::Dword:
            return "dword:" + std::to_string(reading.dword);
        case RegReading::Kind::Sz:
            return "sz:\"" + kernel::WideToUtf8(reading.sz) + "\"";
        case RegReading::Kind::Other:
            break;
    }
    return "type:" + std::to_string(reading.type);
}

std::vector<std::wstring> MatchingFiles(const std::wstring& pattern) {
    // Listed through the device's own file calls, so that what device code cannot see (the
    // registry's hives among them) is not found.
    std::vector<std::wstring> found = {L""};
    for (const std::wstring& part : SplitDevicePath(pattern)) {
        std::vector<std::wstring> next;
        for (const std::wstring& folder : found) {
            WIN32_FIND_DATAW entry;
            HANDLE search = FindFirstFileW((folder + L"\\" + part).c_str(), &entry);
            if (search == INVALID_HANDLE_VALUE) {
                continue;
            }
            do {
                const std::wstring name = entry.cFileName;
                if (name != L"." && name != L"..") {
                    next.push_back(folder + L"\\" + name);
                }
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        found = std::move(next);
    }
    if (found.size() == 1 && found.front().empty()) {
        found.clear();  // the root itself names no file
    }
    return found;
}

std::vector<std::string> DescribeTopLevelWindows() {
    std::vector<std::string> lines;
    for (const gwes::WindowInfo& window : gwes::TopLevelWindows()) {
        lines.push_back(kernel::WideToUtf8(window.window_class) + " \"" +
                        kernel::WideToUtf8(window.title) + "\"" +
                        (window.visible ? "" : " (hidden)"));
    }
    return lines;
}

bool TopLevelWindowExists(const std::wstring& window_class, const std::wstring& title) {
    for (const gwes::WindowInfo& window : gwes::TopLevelWindows()) {
        if (window.visible && kernel::DeviceNamesEqual(window.window_class, window_class) &&
            window.title == title) {
            return true;
        }
    }
    return false;
}

}  // namespace tovarin::emulator::console
