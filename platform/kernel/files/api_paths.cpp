#include "kernel/files/api_paths.h"

#include <winerror.h>

#include "host/device_paths.h"

namespace tovarin::kernel {
namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsForbidden(wchar_t c, PathUse use) {
    if (c < 0x20) {
        return true;
    }
    switch (c) {
        case L'<':
        case L'>':
        case L':':
        case L'"':
        case L'|':
            return true;
        case L'*':
        case L'?':
            return use == PathUse::Entry;
        default:
            return false;
    }
}

bool HasParentComponent(std::wstring_view path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        if (path.substr(start, end - start) == L"..") {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

std::wstring AbsoluteDevicePath(std::wstring_view path) {
    if (!path.empty() && IsSeparator(path.front())) {
        return std::wstring(path);
    }
    return L"\\" + std::wstring(path);
}

bool IsRootPath(std::wstring_view device_path) {
    if (device_path.empty()) {
        return false;
    }
    for (wchar_t c : device_path) {
        if (!IsSeparator(c)) {
            return false;
        }
    }
    return true;
}

DWORD CheckPathText(std::wstring_view path, PathUse use) {
    if (path.empty()) {
        return ERROR_PATH_NOT_FOUND;
    }
    for (wchar_t c : path) {
        if (IsForbidden(c, use)) {
            return ERROR_INVALID_NAME;
        }
    }
    return HasParentComponent(path) ? ERROR_INVALID_NAME : ERROR_SUCCESS;
}

std::optional<std::filesystem::path> HostPathForApi(LPCWSTR path, PathUse use, DWORD* error) {
    if (!path) {
        *error = ERROR_INVALID_PARAMETER;
        return std::nullopt;
    }
    *error = CheckPathText(path, use);
    if (*error != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::optional<std::filesystem::path> host = HostPathFor(AbsoluteDevicePath(path));
    if (!host) {
        *error = ERROR_PATH_NOT_FOUND;
    }
    return host;
}

}  // namespace tovarin::kernel
