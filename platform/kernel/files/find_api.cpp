// FindFirstFileW, FindNextFileW and FindClose.
#include <sys/stat.h>

#include <windows.h>

#include "kernel/files/api_paths.h"
#include "kernel/files/file_search.h"
#include "kernel/files/host_errors.h"
#include "kernel/handles.h"

using namespace tovarin::kernel;

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// "\My Documents\*.amr" -> folder "\My Documents" and pattern "*.amr".
void SplitPattern(const std::wstring& path, std::wstring* folder, std::wstring* pattern) {
    size_t last = path.size();
    while (last > 0 && !IsSeparator(path[last - 1])) {
        --last;
    }
    *pattern = path.substr(last);
    *folder = last <= 1 ? L"\\" : path.substr(0, last - 1);
}

HANDLE Fail(DWORD error) {
    SetError(error);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

extern "C" {

HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    if (!lpFileName || !lpFindFileData) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    DWORD error = CheckPathText(lpFileName, PathUse::Pattern);
    if (error != ERROR_SUCCESS) {
        return Fail(error);
    }
    std::wstring folder;
    std::wstring pattern;
    SplitPattern(AbsoluteDevicePath(lpFileName), &folder, &pattern);
    // Wildcards stand only in the last component.
    std::optional<std::filesystem::path> host =
        HostPathForApi(folder.c_str(), PathUse::Entry, &error);
    if (!host) {
        return Fail(error);
    }
    struct stat status {};
    if (::stat(host->c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return Fail(ERROR_PATH_NOT_FOUND);
    }
    if (pattern.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    auto search = std::make_shared<FileSearch>(*host, FileSearch::Collect(*host, pattern));
    if (!search->Next(lpFindFileData)) {
        return Fail(ERROR_FILE_NOT_FOUND);
    }
    HANDLE handle = Handles().Insert(search);
    if (!handle) {
        return Fail(ERROR_TOO_MANY_OPEN_FILES);
    }
    SetError(ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    std::shared_ptr<FileSearch> search = Handles().LookupAs<FileSearch>(hFindFile);
    if (!search) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpFindFileData) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!search->Next(lpFindFileData)) {
        SetError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (!Handles().LookupAs<FileSearch>(hFindFile) || !Handles().Close(hFindFile)) {
        SetError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
